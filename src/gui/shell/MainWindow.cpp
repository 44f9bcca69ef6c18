#include "shell/MainWindow.h"

#include "pages/DescriptionPane.h"
#include "shell/CommandBar.h"
#include "shell/Strings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

namespace quillet::shell {

MainWindow::MainWindow(Overrides overrides, QWidget *parent)
    : QMainWindow(parent)
    , m_qtMessages(this)
    , m_qtFileDialogs(this)
{
    setObjectName(QStringLiteral("frmMain"));
    buildWindow();
    m_statusView = std::make_unique<platform::QtStatusView>(m_statusPanel);
    m_progressView = std::make_unique<platform::QtProgressView>(m_proShow);
    Workspace::Services services;
    services.messages = overrides.messages ? overrides.messages : &m_qtMessages;
    services.fileDialogs = overrides.fileDialogs ? overrides.fileDialogs : &m_qtFileDialogs;
    services.desktop = overrides.desktop ? overrides.desktop : &m_qtDesktop;
    services.description = m_webDescrip;
    services.status = m_statusView.get();
    services.progress = m_progressView.get();
    m_workspace = std::make_unique<Workspace>(services);
    m_lifecycle = std::make_unique<store::DocumentLifecycle>(*m_workspace);

    m_workspace->loadSettings();
    m_commands = new CommandBar(this);
    addToolBar(Qt::LeftToolBarArea, m_commands->toolbox());
    m_commands->setRecentFiles(m_workspace->windowSettings().mru);
    connect(m_workspace.get(), &Workspace::recentFilesChanged, this,
        [this] { m_commands->setRecentFiles(m_workspace->windowSettings().mru); });
    connect(m_commands, &CommandBar::triggered, this, &MainWindow::dispatch);
    registerCommands();
    connectViews();

    setWindowTitle(m_workspace->document().caption());
    connect(
        &m_workspace->document(), &store::Document::captionChanged, this, &QWidget::setWindowTitle);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // Views first: they hold pointers into the workspace's models.
    m_treContent->setModel(nullptr);
    m_lvwBookmark->setModel(nullptr);
}

void MainWindow::buildWindow()
{
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("drgV"));
    m_treContent = new QTreeView(split);
    m_treContent->setObjectName(QStringLiteral("treContent"));
    m_treContent->setHeaderHidden(true);
    m_treContent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *right = new QSplitter(Qt::Vertical, split);
    right->setObjectName(QStringLiteral("drgH"));
    m_lvwBookmark = new QTreeView(right);
    m_lvwBookmark->setObjectName(QStringLiteral("lvwBookmark"));
    m_lvwBookmark->setRootIsDecorated(false);
    m_lvwBookmark->setUniformRowHeights(true);
    m_lvwBookmark->setAllColumnsShowFocus(true);
    m_lvwBookmark->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvwBookmark->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvwBookmark->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwBookmark->setContextMenuPolicy(Qt::CustomContextMenu);
    m_webDescrip = new pages::DescriptionPane(right);
    split->setStretchFactor(1, 1);
    right->setStretchFactor(0, 1);
    setCentralWidget(split);

    m_statusPanel = new QLabel(QString::fromLatin1(strings::kStatusIdle), this);
    m_statusPanel->setObjectName(QStringLiteral("staTipPanel1"));
    m_proShow = new QProgressBar(this);
    m_proShow->setObjectName(QStringLiteral("proShow"));
    m_proShow->setTextVisible(false);
    m_proShow->setMaximumWidth(200);
    m_proShow->setVisible(false);
    statusBar()->setObjectName(QStringLiteral("staTip"));
    statusBar()->addWidget(m_statusPanel, 1);
    statusBar()->addWidget(m_proShow);
    resize(1000, 680);
}

void MainWindow::connectViews()
{
    browser::HeadingTreeModel &tree = m_workspace->tree();
    browser::BookmarkList &list = m_workspace->list();
    m_treContent->setModel(&tree);
    connect(m_treContent->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) {
            if (m_syncingTree)
                return;
            m_workspace->selectHeading(m_workspace->tree().nodeAt(current));
        });
    connect(
        &tree, &browser::HeadingTreeModel::currentChanged, this, &MainWindow::syncTreeSelection);
    connect(&tree, &QAbstractItemModel::modelReset, this, [this] {
        // A loaded tree opens with the root expanded and selected.
        syncTreeSelection(m_workspace->tree().current());
    });

    m_lvwBookmark->setModel(&list.model());
    m_lvwBookmark->setSelectionModel(&list.selection());
    QHeaderView *header = m_lvwBookmark->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    header->setStretchLastSection(false);
    // Column widths in twips: 2500, 4000, 2000 (15 twips to a pixel).
    header->resizeSection(0, 2500 / 15);
    header->resizeSection(1, 4000 / 15);
    header->resizeSection(2, 2000 / 15);
    connect(header, &QHeaderView::sectionClicked, this,
        [this](int column) { m_workspace->list().model().clickColumn(column); });
    connect(&list.model(), &browser::BookmarkListModel::sortChanged, this,
        [header](int column, Qt::SortOrder order) { header->setSortIndicator(column, order); });
    connect(&list, &browser::BookmarkList::scrollToRow, this,
        [this](int row) { m_lvwBookmark->scrollTo(m_workspace->list().model().index(row, 0)); });
    connect(m_lvwBookmark, &QAbstractItemView::clicked, this,
        [this] { m_workspace->list().syncDescriptionWithSelection(); });
    connect(m_lvwBookmark, &QAbstractItemView::doubleClicked, this,
        [this] { m_workspace->list().openRowLink(m_workspace->list().selectedRow()); });
    connect(m_lvwBookmark, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_commands->listPopup()->popup(m_lvwBookmark->viewport()->mapToGlobal(pos));
    });
}

void MainWindow::syncTreeSelection(browser::HeadingNode *node)
{
    const QModelIndex index = m_workspace->tree().indexOf(node);
    if (!index.isValid() || m_treContent->currentIndex() == index)
        return;
    m_syncingTree = true;
    if (node && !node->parent)
        m_treContent->expand(index);
    m_treContent->setCurrentIndex(index);
    m_syncingTree = false;
}

QString MainWindow::selectedHeadingKey() const
{
    const browser::HeadingNode *node = m_workspace->tree().current();
    return node ? node->key : QString();
}

void MainWindow::registerCommands()
{
    browser::BookmarkList &list = m_workspace->list();
    m_handlers = {
        {QStringLiteral("miFNew"), [this] { m_lifecycle->fileNew(); }},
        {QStringLiteral("miFOpen"), [this] { m_lifecycle->fileOpen(); }},
        {QStringLiteral("miFSave"), [this] { m_lifecycle->fileSave(); }},
        {QStringLiteral("miFSaveAs"), [this] { m_lifecycle->fileSaveAs(); }},
        {QStringLiteral("miFMRU1"),
            [this] { m_lifecycle->openDocumentFile(m_workspace->windowSettings().mru[0]); }},
        {QStringLiteral("miFMRU2"),
            [this] { m_lifecycle->openDocumentFile(m_workspace->windowSettings().mru[1]); }},
        {QStringLiteral("miFMRU3"),
            [this] { m_lifecycle->openDocumentFile(m_workspace->windowSettings().mru[2]); }},
        {QStringLiteral("miFExit"), [this] { close(); }},
        {QStringLiteral("miESelectAll"), [&list] { list.selectAll(); }},
        {QStringLiteral("miEDelete"),
            [this, &list] { list.deleteBookmarks(selectedHeadingKey(), true); }},
        {QStringLiteral("miLOpen"),
            [this, &list] { list.openSelectedBookmarks(selectedHeadingKey()); }},
        {QStringLiteral("miLView"),
            [this, &list] { list.viewBookmarkPicture(selectedHeadingKey(), list.selectedKey()); }},
    };
}

void MainWindow::dispatch(const QString &key)
{
    const auto handler = m_handlers.constFind(key);
    if (handler == m_handlers.constEnd())
        return; // commands still to come do nothing yet
    try {
        (*handler)();
    } catch (const store::EngineError &e) {
        // The command's own transaction has rolled back; tell the user.
        m_workspace->message(e.description(), platform::MessageIcon::Critical);
    }
}

QString MainWindow::statusText() const
{
    return m_statusPanel->text();
}

void MainWindow::loadStartupDocument(const QStringList &arguments, platform::ProgressView *progress)
{
    m_lifecycle->loadStartupDocument(arguments, progress);
    syncTreeSelection(m_workspace->tree().current());
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    // Only keys meant for this window; each reaches the filter once, at the
    // widget that has the focus.
    if (!widget || widget->window() != this || !widget->hasFocus())
        return QMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    browser::BookmarkList &list = m_workspace->list();
    if (event->type() == QEvent::KeyPress) {
        if (key->key() == Qt::Key_F1
            && !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
            dispatch(QStringLiteral("miHContent"));
            return true;
        }
        try {
            if (list.keyPressed(key->key(), key->modifiers()))
                return true;
        } catch (const store::EngineError &e) {
            m_workspace->message(e.description(), platform::MessageIcon::Critical);
            return true;
        }
    } else {
        list.keyReleased(key->key());
        if (watched == m_lvwBookmark)
            list.syncDescriptionWithSelection();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !m_lifecycle->closeDocumentForExit()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_workspace->saveSettings();
    event->accept();
}

} // namespace quillet::shell
