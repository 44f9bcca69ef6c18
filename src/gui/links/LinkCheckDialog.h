// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/links/LinkCheckSession.h"

#include <QDialog>
#include <optional>

class QAbstractItemView;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace quillet::outline {
class Workspace;
}

namespace quillet::links {

// The link check window: the scope, Start and Stop, the progress, the counts
// of each result, the bookmarks checked (problems only, unless asked), and
// the actions on the selected rows. Keys: Enter opens the selected links,
// Delete deletes their bookmarks; every button has its Alt letter.
class LinkCheckDialog : public QDialog
{
    Q_OBJECT
public:
    // `mainList` is the main window's bookmark list, frozen while it changes.
    LinkCheckDialog(
        outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent = nullptr);

    LinkCheckSession &session() { return m_session; }
    void setScope(CheckScope scope);
    void start();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QList<int> selectedRows() const;
    void runOnSelection(const std::function<void(const QList<int> &)> &action, bool changesList);
    void showProgress(int done, int total);
    void showRunning(bool running);

    outline::Workspace &m_ws;
    QAbstractItemView *m_mainList;
    LinkCheckSession m_session;
    QSortFilterProxyModel *m_filter = nullptr;
    QComboBox *m_scopeBox = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_progressLabel = nullptr;
    QLabel *m_countsLabel = nullptr;
    QCheckBox *m_problemsOnlyBox = nullptr;
    QTreeView *m_linkList = nullptr;
};

// miTCheckLinks (no scope given: the window waits for Start) and
// miLCheckLinks (the selected bookmarks, checked at once): shows the window
// modally over `parent`.
void runLinkCheckDialog(outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent,
    std::optional<CheckScope> startNow = std::nullopt);

} // namespace quillet::links
