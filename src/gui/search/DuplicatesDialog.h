// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/DuplicateScan.h"

#include <QDialog>

class QAbstractItemView;
class QLabel;
class QPushButton;
class QTreeView;

namespace quillet::outline {
class Workspace;
}

namespace quillet::search {

// frmDups: the scan for bookmarks sharing a link, the opening of a group's
// link with a click, and the deletion of the selected members.
class DuplicatesDialog : public QDialog
{
    Q_OBJECT
public:
    // `mainList` is the main window's bookmark list, frozen while it changes.
    DuplicatesDialog(
        outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent = nullptr);

    DuplicateScan &scan() { return m_scan; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void startScan();
    void deleteSelected();

    outline::Workspace &m_ws;
    QAbstractItemView *m_mainList;
    DuplicateScan m_scan;
    QLabel *m_waitLabel = nullptr;
    QTreeView *m_duplicateList = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_exitButton = nullptr;
};

// miTScan: shows the duplicate window modally over `parent`.
void runDuplicatesDialog(
    outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent);

} // namespace quillet::search
