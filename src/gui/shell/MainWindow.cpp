// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/MainWindow.h"

#include "core/common/Strings.h"
#include "core/editors/PictureAttachment.h"
#include "core/favorites/FavoritesExchange.h"
#include "core/outline/BackgroundTitles.h"
#include "core/outline/ClipboardCommands.h"
#include "core/outline/LinkIntake.h"
#include "core/pages/BrowserOpening.h"
#include "core/pages/HelpFileBuilder.h"
#include "core/settings/ListFont.h"
#include "gui/browsers/BrowserCommands.h"
#include "gui/commands/CommandBar.h"
#include "gui/commands/CommandBinding.h"
#include "gui/editors/BookmarkDialog.h"
#include "gui/favorites/FavoritesCommands.h"
#include "gui/links/LinkCheckDialog.h"
#include "gui/outline/ClientArea.h"
#include "gui/outline/DragViews.h"
#include "gui/outline/HeadingTreeBinding.h"
#include "gui/pages/DescriptionPane.h"
#include "gui/search/DuplicatesDialog.h"
#include "gui/search/FindDialog.h"
#include "gui/shell/LinkRequests.h"
#include "gui/shell/StatusBar.h"
#include "gui/shell/ToolsCommands.h"
#include "gui/shell/WindowPlacement.h"
#include "gui/snapshots/SnapshotDialog.h"

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

namespace {

// The View toggles and the window setting each one shows and stores.
const std::pair<const char *, bool WindowSettings::*> kViewToggles[] = {
    {"miVToolBox", &WindowSettings::showToolbox},
    {"miVNavPanel", &WindowSettings::showPanel},
    {"miVDescription", &WindowSettings::showDescrip},
};

} // namespace

MainWindow::MainWindow(Overrides overrides, QWidget *parent)
    : QMainWindow(parent)
    , m_qtMessages(this)
    , m_qtFileDialogs(this)
{
    setObjectName(QStringLiteral("frmMain"));
    buildWindow();
    m_statusView = std::make_unique<platform::QtStatusView>(m_statusPanel);
    m_progressView = std::make_unique<platform::QtProgressView>(m_proShow);
    outline::Workspace::Services services;
    services.messages = overrides.messages ? overrides.messages : &m_qtMessages;
    services.fileDialogs = overrides.fileDialogs ? overrides.fileDialogs : &m_qtFileDialogs;
    services.desktop = overrides.desktop ? overrides.desktop : &m_qtDesktop;
    services.description = m_webDescrip;
    services.status = m_statusView.get();
    services.progress = m_progressView.get();
    services.systemClipboard = &m_systemClipboard;
    m_workspace = std::make_unique<outline::Workspace>(services);
    m_lifecycle = std::make_unique<shell::DocumentLifecycle>(*m_workspace);
    favorites::installStartupImport(*m_workspace, *m_lifecycle);
    if (overrides.fetchTitles)
        m_workspace->setTitleFetcher(new outline::BackgroundTitles(*m_workspace, this));
    m_linkRequests = new LinkRequests(*this);

    m_workspace->loadSettings();
    const QFont listFont = resolveListFont(m_workspace->optionSettings(), font());
    m_treContent->setFont(listFont);
    m_lvwBookmark->setFont(listFont);
    m_commands = new commands::CommandBar(this);
    addToolBar(Qt::LeftToolBarArea, m_commands->toolbox());
    m_commands->setRecentFiles(m_workspace->windowSettings().mru);
    connect(m_workspace.get(), &outline::Workspace::recentFilesChanged, this,
        [this] { m_commands->setRecentFiles(m_workspace->windowSettings().mru); });
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
        outline::toPixels(outline::kMinWindowWidth), outline::toPixels(outline::kMinWindowHeight));
    // The bars are shown and hidden through the View menu only.
    setContextMenuPolicy(Qt::NoContextMenu);
    m_picClient = new outline::ClientArea(this);
    m_treContent = new outline::HeadingTreeView(&m_drag, m_picClient);
    m_treContent->setObjectName(QStringLiteral("treContent"));
    m_treContent->setHeaderHidden(true);
    m_treContent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwBookmark = new outline::BookmarkListView(
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
    // The View toggles' check marks come from config.ini.
    for (const auto &[key, flag] : kViewToggles)
        m_commands->action(QLatin1String(key))->setChecked(settings.*flag);
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
    outline::HeadingTreeModel &tree = m_workspace->tree();
    outline::BookmarkList &list = m_workspace->list();
    m_treContent->setModel(&tree);
    static_cast<outline::HeadingTreeView *>(m_treContent)->onDrop = [this](const QString &target) {
        commands::reportEngineErrors(
            *m_workspace, [&] { outline::dropOnHeading(*m_workspace, m_drag, target); });
    };
    static_cast<outline::HeadingTreeView *>(m_treContent)->onLinksDropped
        = [this](const QString &target, const QMimeData &data) { dropLinks(target, data); };
    static_cast<outline::BookmarkListView *>(m_lvwBookmark)->onLinksDropped
        = [this](const QMimeData &data) { dropLinks(m_workspace->list().listedHeading(), data); };
    // Current heading, click and key-release listing, expansion, pictures.
    new outline::HeadingTreeBinding(m_treContent, m_lvwBookmark, *m_workspace, this);
    connect(
        &tree, &outline::HeadingTreeModel::currentChanged, this, &MainWindow::syncTreeSelection);
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
    connect(&list.model(), &outline::BookmarkListModel::sortChanged, this,
        [header](int column, Qt::SortOrder order) { header->setSortIndicator(column, order); });
    connect(&list, &outline::BookmarkList::scrollToRow, this,
        [this](int row) { m_lvwBookmark->scrollTo(m_workspace->list().model().index(row, 0)); });
    connect(m_lvwBookmark, &QAbstractItemView::clicked, this,
        [this] { m_workspace->list().syncDescriptionWithSelection(); });
    connect(m_lvwBookmark, &QAbstractItemView::doubleClicked, this,
        [this] { m_workspace->list().openRowLink(m_workspace->list().selectedRow()); });
    connect(m_lvwBookmark, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_commands->listPopup()->popup(m_lvwBookmark->viewport()->mapToGlobal(pos));
    });
}

void MainWindow::syncTreeSelection(outline::HeadingNode *node)
{
    const QModelIndex index = m_workspace->tree().indexOf(node);
    if (!index.isValid())
        return;
    if (m_treContent->currentIndex() != index) {
        m_syncingTree = true;
        if (node && !node->parent)
            m_treContent->expand(index);
        m_treContent->setCurrentIndex(index);
        m_syncingTree = false;
    }
    // The view's own scrolling is off for dragging; a heading made current
    // by a command (added, moved, found) is brought into sight here.
    m_treContent->scrollTo(index);
}

void MainWindow::dropLinks(const QString &headingKey, const QMimeData &data)
{
    const outline::IncomingLinks links = outline::readIncomingLinks(data);
    commands::reportEngineErrors(
        *m_workspace, [&] { outline::takeLinks(*m_workspace, headingKey, links); });
}

QString MainWindow::selectedHeadingKey() const
{
    const outline::HeadingNode *node = m_workspace->tree().current();
    return node ? node->key : QString();
}

void MainWindow::registerCommands()
{
    commands::CommandBinding commands(*m_commands, *m_workspace);
    bindFileCommands(commands);
    bindEditCommands(commands);
    bindViewCommands(commands);
    bindHeadingCommands(commands);
    bindListCommands(commands);
    bindToolWindows(commands);
    bindHelpCommands(commands);
    bindToolsCommands(commands, *m_workspace, *m_lifecycle, this, {m_treContent, m_lvwBookmark});
    browsers::bindBrowserCommands(commands, *m_workspace, this);
    favorites::bindFavoritesCommands(commands, *m_workspace, *m_lifecycle);

    commands.requireComplete();
}

// The File menu: the document's life and the recent files.
void MainWindow::bindFileCommands(commands::CommandBinding &commands)
{
    commands.bind(QStringLiteral("miFNew"), [this] { m_lifecycle->fileNew(); });
    commands.bind(QStringLiteral("miFOpen"), [this] { m_lifecycle->fileOpen(); });
    commands.bind(QStringLiteral("miFSave"), [this] { m_lifecycle->fileSave(); });
    commands.bind(QStringLiteral("miFSaveAs"), [this] { m_lifecycle->fileSaveAs(); });
    for (int k = 0; k < 3; ++k) {
        commands.bind(QStringLiteral("miFMRU%1").arg(k + 1),
            [this, k] { m_lifecycle->openDocumentFile(m_workspace->windowSettings().mru[k]); });
    }
    commands.bind(QStringLiteral("miFExit"), [this] { close(); });
}

// The Edit menu: undo and redo, the clipboards, select all and delete.
void MainWindow::bindEditCommands(commands::CommandBinding &commands)
{
    outline::BookmarkList &list = m_workspace->list();
    outline::EditHistory &history = m_workspace->history();
    commands.bind(QStringLiteral("miEUndo"), [&history] { history.undo(); });
    commands.bind(QStringLiteral("miERedo"), [&history] { history.redo(); });
    m_commands->action(QStringLiteral("miERedo"))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(&history, &outline::EditHistory::changed, this, &MainWindow::refreshUndoItems);
    refreshUndoItems();
    commands.bind(QStringLiteral("miESelectAll"), [&list] { list.selectAll(); });
    commands.bind(QStringLiteral("miECut"),
        [this] { outline::cutToClipboards(*m_workspace, selectedHeadingKey()); });
    commands.bind(QStringLiteral("miECopy"),
        [this] { outline::copyToClipboards(*m_workspace, selectedHeadingKey()); });
    commands.bind(QStringLiteral("miEPaste"),
        [this] { outline::pasteFromClipboards(*m_workspace, selectedHeadingKey()); });
    commands.bind(QStringLiteral("miEDelete"),
        [this, &list] { list.deleteBookmarks(selectedHeadingKey(), true); });
}

// The View menu's toggles.
void MainWindow::bindViewCommands(commands::CommandBinding &commands)
{
    // A View toggle stores its new mark and lays the window out again.
    for (const auto &[key, flag] : kViewToggles) {
        QAction *action = m_commands->action(QLatin1String(key));
        commands.bind(QLatin1String(key), [this, action, flag = flag] {
            m_workspace->windowSettings().*flag = action->isChecked();
            m_commands->toolbox()->setVisible(m_workspace->windowSettings().showToolbox);
            m_picClient->relayout();
        });
    }
}

// The heading commands of the tree.
void MainWindow::bindHeadingCommands(commands::CommandBinding &commands)
{
    commands.bind(QStringLiteral("miNAddHead"),
        [this] { outline::showHeadingEditor(*m_workspace, false, this); });
    commands.bind(QStringLiteral("miNEdit"),
        [this] { outline::showHeadingEditor(*m_workspace, true, this); });
    commands.bind(QStringLiteral("miNDelete"),
        [this] { outline::deleteSelectedHeading(*m_workspace, m_treContent, m_lvwBookmark); });
    const std::pair<const char *, outline::HeadingMove> moves[] = {
        {"miNUp", outline::HeadingMove::Up},
        {"miNDown", outline::HeadingMove::Down},
        {"miNLeft", outline::HeadingMove::Left},
        {"miNRight", outline::HeadingMove::Right},
    };
    for (const auto &[key, direction] : moves) {
        commands.bind(QLatin1String(key), [this, direction = direction] {
            outline::moveSelectedHeading(*m_workspace, m_treContent, direction);
        });
    }
}

// The bookmark list's commands: open, view, add, edit, pictures, snapshots.
void MainWindow::bindListCommands(commands::CommandBinding &commands)
{
    outline::BookmarkList &list = m_workspace->list();
    commands.bind(QStringLiteral("miLOpen"),
        [this, &list] { list.openSelectedBookmarks(selectedHeadingKey()); });
    commands.bind(QStringLiteral("miLView"),
        [this, &list] { list.viewBookmarkPicture(selectedHeadingKey(), list.selectedKey()); });
    commands.bind(QStringLiteral("miLNew"), [this] {
        editors::runBookmarkEditor(
            *m_workspace, m_lvwBookmark, editors::BookmarkEditor::Mode::Add, this);
    });
    commands.bind(QStringLiteral("miLEdit"), [this] {
        editors::runBookmarkEditor(
            *m_workspace, m_lvwBookmark, editors::BookmarkEditor::Mode::Edit, this);
    });
    commands.bind(QStringLiteral("miLSearch"), [this] { editors::searchForPicture(*m_workspace); });
    commands.bind(QStringLiteral("miLMakeSnap"),
        [this] { snapshots::runSnapshotDialog(*m_workspace, this); });
}

// The windows of the Edit and Tools menus: find, duplicates, link check, help file.
void MainWindow::bindToolWindows(commands::CommandBinding &commands)
{
    commands.bind(QStringLiteral("miEFind"),
        [this] { search::runFindDialog(*m_workspace, m_lvwBookmark, this); });
    commands.bind(QStringLiteral("miTScan"),
        [this] { search::runDuplicatesDialog(*m_workspace, m_lvwBookmark, this); });
    commands.bind(QStringLiteral("miTCheckLinks"),
        [this] { links::runLinkCheckDialog(*m_workspace, m_lvwBookmark, this); });
    commands.bind(QStringLiteral("miLCheckLinks"), [this] {
        links::runLinkCheckDialog(*m_workspace, m_lvwBookmark, this, links::CheckScope::Selection);
    });
    commands.bind(QStringLiteral("miTMakeCHM"),
        [this] { pages::HelpFileBuilder(*m_workspace).makeChmFile(); });
}

// The Help menu's openings.
void MainWindow::bindHelpCommands(commands::CommandBinding &commands)
{
    // Help menu openings. The pane's links and OpenInBrowser's messages go
    // through the window's desktop and message boxes.
    m_qtDesktop.setMessages(m_workspace->services().messages);
    platform::DesktopServices *desktop = m_workspace->services().desktop;
    m_webDescrip->setDesktop(desktop);
    commands.bind(QStringLiteral("miHContent"), [desktop] { pages::openHelpContent(*desktop); });
    commands.bind(
        QStringLiteral("miHHomepage"), [desktop] { pages::openVendorHomePage(*desktop); });
    commands.bind(QStringLiteral("miHSendMail"), [desktop] { pages::sendMailToVendor(*desktop); });
}

void MainWindow::refreshUndoItems()
{
    // Each names the step it would play back, and is off when there is none.
    outline::EditHistory &history = m_workspace->history();
    const std::pair<QAction *, QString> items[] = {
        {m_commands->action(QStringLiteral("miEUndo")), QStringLiteral("Undo")},
        {m_commands->action(QStringLiteral("miERedo")), QStringLiteral("Redo")},
    };
    const QString steps[] = {history.undoName(), history.redoName()};
    for (int i = 0; i < 2; ++i) {
        const QString text
            = steps[i].isEmpty() ? items[i].second : items[i].second + QLatin1Char(' ') + steps[i];
        items[i].first->setText(text);
        items[i].first->setToolTip(text);
        items[i].first->setEnabled(!steps[i].isEmpty());
    }
}

QString MainWindow::statusText() const
{
    return m_statusPanel->text();
}

bool MainWindow::loadStartupDocument(const QStringList &arguments, common::ProgressView *progress)
{
    const bool started = m_lifecycle->loadStartupDocument(arguments, progress);
    syncTreeSelection(m_workspace->tree().current());
    return started;
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
    outline::BookmarkList &list = m_workspace->list();
    if (event->type() == QEvent::KeyPress) {
        if (key->key() == Qt::Key_F1
            && !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
            m_commands->trigger(QStringLiteral("miHContent"));
            return true;
        }
        bool handled = false;
        // A key whose command failed counts as handled.
        if (!commands::reportEngineErrors(
                *m_workspace, [&] { handled = list.keyPressed(key->key(), key->modifiers()); })
            || handled)
            return true;
    } else if (!key->isAutoRepeat()) {
        // A held key sends a release with every repeat: only the real
        // release ends the hold.
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
