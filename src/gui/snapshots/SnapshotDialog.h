// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace quillet::platform {
class BrowserEngine;
class PageRendererView;
} // namespace quillet::platform

namespace quillet::outline {
class Workspace;
}

namespace quillet::snapshots {

class SnapshotRun;

// frmSnap: the selected bookmarks, the page being captured, and the run's
// buttons. The main window stays blocked while it is open.
class SnapshotDialog : public QDialog
{
    Q_OBJECT
public:
    SnapshotDialog(
        outline::Workspace &workspace, platform::BrowserEngine &engine, QWidget *parent = nullptr);
    ~SnapshotDialog() override;

    SnapshotRun &run() { return *m_run; }
    platform::PageRendererView &renderer() { return *m_renderer; }

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildWindow();
    void buildEntryList();
    void buildLinkBox();
    void buildItemPanel();
    QStatusBar *buildStatusBar();
    void buildMenus();
    void showControls();
    void selectAll();

    std::unique_ptr<platform::PageRendererView> m_renderer;
    std::unique_ptr<SnapshotRun> m_run;
    QTreeWidget *m_entryList = nullptr;
    QStackedWidget *m_pages = nullptr;
    QComboBox *m_linkBox = nullptr;
    QLineEdit *m_itemName = nullptr;
    QToolButton *m_listButton = nullptr;
    QWidget *m_itemPanel = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_statusText = nullptr;
    QList<QAction *> m_textSizes;
};

// miLMakeSnap: opens the snapshot window over `parent` when at least one
// bookmark is selected, loading the browser engine the first time (a
// message says so when it cannot be loaded).
void runSnapshotDialog(outline::Workspace &workspace, QWidget *parent);

} // namespace quillet::snapshots
