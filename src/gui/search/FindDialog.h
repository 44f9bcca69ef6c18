// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/BookmarkFinder.h"

#include <QDialog>

class QAbstractItemView;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace quillet::outline {
class Workspace;
}

namespace quillet::search {

// frmFind: the text, the scope, the hits, and a double click on a hit that
// shows it in the main window, which is updated behind the modal window.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    // `mainList` is the main window's bookmark list, frozen while it refills.
    FindDialog(
        outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent = nullptr);

    BookmarkFinder &finder() { return m_finder; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void updateEnabling();
    void runSearch();
    void clearResults();
    void jump(const QModelIndex &index);

    outline::Workspace &m_ws;
    QAbstractItemView *m_mainList;
    BookmarkFinder m_finder;
    QLineEdit *m_searchEdit = nullptr;
    QComboBox *m_scopeBox = nullptr;
    QTreeView *m_resultList = nullptr;
    QPushButton *m_findButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    QPushButton *m_exitButton = nullptr;
};

// miEFind: shows the find window modally over `parent`.
void runFindDialog(outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent);

} // namespace quillet::search
