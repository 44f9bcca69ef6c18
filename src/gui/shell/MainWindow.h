#pragma once

#include "platform/QtMessageBoxes.h"
#include "platform/QtProgressView.h"
#include "shell/Workspace.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QProgressBar;
class QTreeView;

namespace quillet::shell {

// frmMain: the heading tree, the bookmark list, the description pane, the
// command bar and the status bar.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Workspace &workspace() { return *m_workspace; }

    // Chooses and opens the first document; `progress` is the splash
    // window's bar.
    void loadStartupDocument(const QStringList &arguments, platform::ProgressView *progress);

    // The close request of every kind (close box, Exit, SIGTERM, the session
    // ending) comes through here: false when the user kept the window open.
    bool closeDocumentForExit();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();

    QTreeView *m_treContent = nullptr;
    QTreeView *m_lvwBookmark = nullptr;
    QLabel *m_statusPanel = nullptr;
    QProgressBar *m_proShow = nullptr;
    platform::QtMessageBoxes m_messages;
    std::unique_ptr<platform::QtStatusView> m_statusView;
    std::unique_ptr<platform::QtProgressView> m_progressView;
    std::unique_ptr<Workspace> m_workspace;
    bool m_closing = false;
};

}  // namespace quillet::shell
