// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/SearchModels.h"

#include <QObject>

namespace quillet::outline {
class Workspace;
}

namespace quillet::search {

// The duplicate window (frmDups) without its window: the scan that lists
// bookmarks sharing a link under the link, the opening of a group's link,
// and the deletion of chosen members, which keeps the main window's list and
// description pane up to date.
class DuplicateScan : public QObject
{
    Q_OBJECT
public:
    explicit DuplicateScan(outline::Workspace &workspace, QObject *parent = nullptr);

    static QString noDuplicatesMessage();
    static QString memberGoneMessage(const QStringList &names);

    DuplicatesModel &model() { return m_model; }

    // Lists every duplicated link with its members; says so when there is
    // none, keeping what was listed. Engine errors pass to the caller.
    void scan();
    // A click on `row`: a group opens its link in the browser.
    void clickRow(int row);
    // Deletes the bookmarks of the member rows among `rows`, in one
    // transaction, each by its own row; group rows stay. A member whose row is
    // no longer live is left as it is and reported.
    void deleteRows(QList<int> rows);

Q_SIGNALS:
    // The list is being filled ("Please wait a moment...").
    void fillingChanged(bool filling);

private:
    QString headingPath(const QString &key, QHash<QString, QString> &known) const;

    outline::Workspace &m_ws;
    DuplicatesModel m_model;
};

} // namespace quillet::search
