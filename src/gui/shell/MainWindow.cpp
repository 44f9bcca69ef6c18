#include "shell/MainWindow.h"

#include "browser/ClientArea.h"
#include "browser/DragViews.h"
#include "browser/HeadingTreeBinding.h"
#include "editors/BookmarkDialog.h"
#include "pages/BrowserOpening.h"
#include "pages/DescriptionPane.h"
#include "shell/CommandBar.h"
#include "shell/ListFont.h"
#include "shell/StatusBar.h"
#include "shell/Strings.h"
#include "shell/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QProgressBar>
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
    m_lifecycle = std::make_unique<shell::DocumentLifecycle>(*m_workspace);

    m_workspace->loadSettings();
    const QFont listFont = resolveListFont(m_workspace->optionSettings(), font());
    m_treContent->setFont(listFont);
    m_lvwBookmark->setFont(listFont);
    m_commands = new CommandBar(this);
    addToolBar(Qt::LeftToolBarArea, m_commands->toolbox());
    m_commands->setRecentFiles(m_workspace->windowSettings().mru);
    connect(m_workspace.get(), &Workspace::recentFilesChanged, this,
        [this] { m_commands->setRecentFiles(m_workspace->windowSettings().mru); });
    connect(m_commands, &CommandBar::triggered, this, &MainWindow::dispatch);
    registerCommands();
    connectViews();
    applyWindowLayout();

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
    setMinimumSize(
        browser::toPixels(browser::kMinWindowWidth), browser::toPixels(browser::kMinWindowHeight));
    // The bars are shown and hidden through the View menu only.
    setContextMenuPolicy(Qt::NoContextMenu);
    m_picClient = new browser::ClientArea(this);
    m_treContent = new browser::HeadingTreeView(&m_drag, m_picClient);
    m_treContent->setObjectName(QStringLiteral("treContent"));
    m_treContent->setHeaderHidden(true);
    m_treContent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwBookmark = new browser::BookmarkListView(
        &m_drag, [this] { return m_workspace->list().listedHeading(); }, m_picClient);
    m_lvwBookmark->setObjectName(QStringLiteral("lvwBookmark"));
    m_lvwBookmark->setRootIsDecorated(false);
    m_lvwBookmark->setUniformRowHeights(true);
    m_lvwBookmark->setAllColumnsShowFocus(true);
    m_lvwBookmark->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvwBookmark->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvwBookmark->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwBookmark->setContextMenuPolicy(Qt::CustomContextMenu);
    m_webDescrip = new pages::DescriptionPane(m_picClient);
    m_picClient->setPanes(m_treContent, m_lvwBookmark, m_webDescrip);
    setCentralWidget(m_picClient);

    auto *status = new StatusBar(this);
    setStatusBar(status);
    m_statusPanel = status->textPanel();
    m_proShow = status->progressBar();
}

void MainWindow::applyWindowLayout()
{
    WindowSettings &settings = m_workspace->windowSettings();
    // The View toggles: check marks from config.ini; a click stores the new
    // mark and lays the window out again.
    const std::pair<const char *, bool WindowSettings::*> toggles[] = {
        {"miVToolBox", &WindowSettings::showToolbox},
        {"miVNavPanel", &WindowSettings::showPanel},
        {"miVDescription", &WindowSettings::showDescrip},
    };
    for (const auto &[key, flag] : toggles) {
        QAction *action = m_commands->action(QLatin1String(key));
        action->setChecked(settings.*flag);
        m_handlers.insert(QLatin1String(key), [this, action, flag = flag] {
            m_workspace->windowSettings().*flag = action->isChecked();
            m_commands->toolbox()->setVisible(m_workspace->windowSettings().showToolbox);
            m_picClient->relayout();
        });
    }
    m_commands->toolbox()->setVisible(settings.showToolbox);
    m_picClient->setSettings(&settings);
    m_placement = new WindowPlacement(this, &settings);
    // The views get their sizes now, not only at the first show (a hidden
    // widget's resize events wait for the show).
    layout()->activate();
    m_picClient->relayout();
}

void MainWindow::connectViews()
{
    browser::HeadingTreeModel &tree = m_workspace->tree();
    browser::BookmarkList &list = m_workspace->list();
    m_treContent->setModel(&tree);
    static_cast<browser::HeadingTreeView *>(m_treContent)->onDrop = [this](const QString &target) {
        try {
            browser::dropOnHeading(*m_workspace, m_drag, target);
        } catch (const store::EngineError &e) {
            m_workspace->message(e.description(), platform::MessageIcon::Critical);
        }
    };
    // Current heading, click and key-release listing, expansion, pictures.
    new browser::HeadingTreeBinding(m_treContent, m_lvwBookmark, *m_workspace, this);
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
        {QStringLiteral("miECut"), [this, &list] { list.cutBookmarks(selectedHeadingKey()); }},
        {QStringLiteral("miECopy"), [this, &list] { list.copyBookmarks(selectedHeadingKey()); }},
        {QStringLiteral("miEPaste"), [this, &list] { list.pasteBookmarks(selectedHeadingKey()); }},
        {QStringLiteral("miEDelete"),
            [this, &list] { list.deleteBookmarks(selectedHeadingKey(), true); }},
        {QStringLiteral("miNAddHead"),
            [this] { browser::showHeadingEditor(*m_workspace, false, this); }},
        {QStringLiteral("miNEdit"),
            [this] { browser::showHeadingEditor(*m_workspace, true, this); }},
        {QStringLiteral("miNDelete"),
            [this] { browser::deleteSelectedHeading(*m_workspace, m_treContent, m_lvwBookmark); }},
        {QStringLiteral("miNUp"),
            [this] {
                browser::moveSelectedHeading(*m_workspace, m_treContent, browser::HeadingMove::Up);
            }},
        {QStringLiteral("miNDown"),
            [this] {
                browser::moveSelectedHeading(
                    *m_workspace, m_treContent, browser::HeadingMove::Down);
            }},
        {QStringLiteral("miNLeft"),
            [this] {
                browser::moveSelectedHeading(
                    *m_workspace, m_treContent, browser::HeadingMove::Left);
            }},
        {QStringLiteral("miNRight"),
            [this] {
                browser::moveSelectedHeading(
                    *m_workspace, m_treContent, browser::HeadingMove::Right);
            }},
        {QStringLiteral("miLOpen"),
            [this, &list] { list.openSelectedBookmarks(selectedHeadingKey()); }},
        {QStringLiteral("miLView"),
            [this, &list] { list.viewBookmarkPicture(selectedHeadingKey(), list.selectedKey()); }},
        {QStringLiteral("miLNew"),
            [this] {
                editors::runBookmarkEditor(
                    *m_workspace, m_lvwBookmark, editors::BookmarkEditor::Mode::Add, this);
            }},
        {QStringLiteral("miLEdit"),
            [this] {
                editors::runBookmarkEditor(
                    *m_workspace, m_lvwBookmark, editors::BookmarkEditor::Mode::Edit, this);
            }},
    };

    // Help menu openings. The pane's links and OpenInBrowser's messages go
    // through the window's desktop and message boxes.
    m_qtDesktop.setMessages(m_workspace->services().messages);
    platform::DesktopServices *desktop = m_workspace->services().desktop;
    m_webDescrip->setDesktop(desktop);
    m_handlers.insert(
        QStringLiteral("miHContent"), [desktop] { pages::openHelpContent(*desktop); });
    m_handlers.insert(
        QStringLiteral("miHHomepage"), [desktop] { pages::openVendorHomePage(*desktop); });
    m_handlers.insert(
        QStringLiteral("miHSendMail"), [desktop] { pages::sendMailToVendor(*desktop); });
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
    m_placement->store();
    m_workspace->saveSettings();
    event->accept();
}

} // namespace quillet::shell
