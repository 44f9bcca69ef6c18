// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/DragAndDrop.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "gui/platform/QtDesktopServices.h"
#include "gui/platform/QtFileDialogs.h"
#include "gui/platform/QtMessageBoxes.h"
#include "gui/platform/QtProgressView.h"
#include "gui/platform/QtSystemClipboard.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QMimeData;
class QProgressBar;
class QTreeView;

namespace quillet::pages {
class DescriptionPane;
}

namespace quillet::outline {
class ClientArea;
}

namespace quillet::commands {
class CommandBar;
class CommandBinding;
}

namespace quillet::shell {

class LinkRequests;
class WindowPlacement;

// Services left null are the real desktop's; tests pass scripted ones.
struct MainWindowOverrides
{
    platform::MessageBoxes *messages = nullptr;
    platform::FileDialogs *fileDialogs = nullptr;
    platform::DesktopServices *desktop = nullptr;
    // Page titles are read for links that come in without one.
    bool fetchTitles = true;
};

// frmMain: the heading tree, the bookmark list, the description pane, the
// command bar and the status bar.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    using Overrides = MainWindowOverrides;
    explicit MainWindow(QWidget *parent = nullptr)
        : MainWindow(Overrides(), parent)
    {
    }
    explicit MainWindow(Overrides overrides, QWidget *parent = nullptr);
    ~MainWindow() override;

    outline::Workspace &workspace() { return *m_workspace; }
    shell::DocumentLifecycle &lifecycle() { return *m_lifecycle; }
    commands::CommandBar &commandBar() { return *m_commands; }
    // Links handed in by `quillet --add` and quillet: links.
    LinkRequests &linkRequests() { return *m_linkRequests; }
    QTreeView *headingView() const { return m_treContent; }
    QTreeView *bookmarkView() const { return m_lvwBookmark; }
    QString statusText() const;
    QProgressBar *progressBar() const { return m_proShow; }

    // Chooses and opens the first document; `progress` is the splash
    // window's bar.
    // False when no document could be made (the user has been told).
    bool loadStartupDocument(const QStringList &arguments, common::ProgressView *progress);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    // ApplyWindowLayout: View toggles, panels and the window's place.
    void applyWindowLayout();
    void connectViews();
    void registerCommands();
    void bindFileCommands(commands::CommandBinding &commands);
    void bindEditCommands(commands::CommandBinding &commands);
    void bindViewCommands(commands::CommandBinding &commands);
    void bindHeadingCommands(commands::CommandBinding &commands);
    void bindListCommands(commands::CommandBinding &commands);
    void bindToolWindows(commands::CommandBinding &commands);
    void bindHelpCommands(commands::CommandBinding &commands);
    void syncTreeSelection(outline::HeadingNode *node);
    void refreshUndoItems();
    // Links another program dropped on the tree or the list.
    void dropLinks(const QString &headingKey, const QMimeData &data);
    QString selectedHeadingKey() const;

    platform::QtMessageBoxes m_qtMessages;
    platform::QtFileDialogs m_qtFileDialogs;
    platform::QtDesktopServices m_qtDesktop;
    platform::QtSystemClipboard m_systemClipboard;
    outline::ClientArea *m_picClient = nullptr;
    WindowPlacement *m_placement = nullptr;
    QTreeView *m_treContent = nullptr;
    QTreeView *m_lvwBookmark = nullptr;
    pages::DescriptionPane *m_webDescrip = nullptr;
    QLabel *m_statusPanel = nullptr;
    QProgressBar *m_proShow = nullptr;
    std::unique_ptr<platform::QtStatusView> m_statusView;
    std::unique_ptr<platform::QtProgressView> m_progressView;
    std::unique_ptr<outline::Workspace> m_workspace;
    std::unique_ptr<shell::DocumentLifecycle> m_lifecycle;
    commands::CommandBar *m_commands = nullptr;
    LinkRequests *m_linkRequests = nullptr;
    outline::DragState m_drag;
    bool m_closing = false;
    bool m_syncingTree = false;
};

} // namespace quillet::shell
