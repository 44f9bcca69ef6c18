// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/DragAndDrop.h"
#include "platform/QtDesktopServices.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtProgressView.h"
#include "platform/QtSystemClipboard.h"
#include "shell/DocumentLifecycle.h"
#include "shell/Workspace.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QMimeData;
class QProgressBar;
class QTreeView;

namespace quillet::pages {
class DescriptionPane;
}

namespace quillet::browser {
class ClientArea;
}

namespace quillet::shell {

class CommandBar;
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

    Workspace &workspace() { return *m_workspace; }
    shell::DocumentLifecycle &lifecycle() { return *m_lifecycle; }
    CommandBar &commandBar() { return *m_commands; }
    // Links handed in by `quillet --add` and quillet: links.
    LinkRequests &linkRequests() { return *m_linkRequests; }
    QTreeView *headingView() const { return m_treContent; }
    QTreeView *bookmarkView() const { return m_lvwBookmark; }
    QString statusText() const;
    QProgressBar *progressBar() const { return m_proShow; }

    // Chooses and opens the first document; `progress` is the splash
    // window's bar.
    // False when no document could be made (the user has been told).
    bool loadStartupDocument(const QStringList &arguments, platform::ProgressView *progress);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    // ApplyWindowLayout: View toggles, panels and the window's place.
    void applyWindowLayout();
    void connectViews();
    void registerCommands();
    void syncTreeSelection(browser::HeadingNode *node);
    void refreshUndoItems();
    // Links another program dropped on the tree or the list.
    void dropLinks(const QString &headingKey, const QMimeData &data);
    QString selectedHeadingKey() const;

    platform::QtMessageBoxes m_qtMessages;
    platform::QtFileDialogs m_qtFileDialogs;
    platform::QtDesktopServices m_qtDesktop;
    platform::QtSystemClipboard m_systemClipboard;
    browser::ClientArea *m_picClient = nullptr;
    WindowPlacement *m_placement = nullptr;
    QTreeView *m_treContent = nullptr;
    QTreeView *m_lvwBookmark = nullptr;
    pages::DescriptionPane *m_webDescrip = nullptr;
    QLabel *m_statusPanel = nullptr;
    QProgressBar *m_proShow = nullptr;
    std::unique_ptr<platform::QtStatusView> m_statusView;
    std::unique_ptr<platform::QtProgressView> m_progressView;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<shell::DocumentLifecycle> m_lifecycle;
    CommandBar *m_commands = nullptr;
    LinkRequests *m_linkRequests = nullptr;
    browser::DragState m_drag;
    bool m_closing = false;
    bool m_syncingTree = false;
};

} // namespace quillet::shell
