// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace quillet::outline {
class BookmarkList;
class Workspace;
} // namespace quillet::outline

namespace quillet::store {
class Database;
}

namespace quillet::search {

// A row of a report window (duplicates, link check) that stands for one
// bookmark of the document, found by its ID.
struct ReportedBookmark
{
    int row = -1;
    qint64 id = 0;
    QString name;
};

// What deleting reported bookmarks did: the report rows whose bookmark is
// gone now, the names of those that were no longer there, and the list keys
// of the deleted bookmarks that the bookmark list shows.
struct ReportedDeletion
{
    QList<int> deletedRows;
    QStringList goneNames;
    QStringList listedKeys;
};

// Deletes the reported bookmarks that are still live, each by its own row,
// in one transaction; a row named twice counts once. `listedHeading` is the
// heading the bookmark list shows. Engine errors pass to the caller with
// nothing changed.
ReportedDeletion deleteReportedBookmarks(store::Database &db, const QString &listedHeading,
    const std::vector<ReportedBookmark> &bookmarks);

// Takes deleted bookmarks out of the bookmark list, and the description
// pane and status bar after them when the list changed.
void dropListedBookmarks(outline::BookmarkList &list, const QStringList &keys);

// Tells that the named bookmarks were left alone because the report no
// longer matches the document: "... so not <notDone>: "a", "b"."
QString goneMessage(const QStringList &names, const QString &notDone);
// Shows goneMessage() when any name was gone.
void showGone(outline::Workspace &workspace, const QStringList &names, const QString &notDone);

} // namespace quillet::search
