// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/ReportedBookmarks.h"

#include "core/outline/Workspace.h"
#include "core/store/BookmarkQueries.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

#include <QSet>

namespace quillet::search {

ReportedDeletion deleteReportedBookmarks(store::Database &db, const QString &listedHeading,
    const std::vector<ReportedBookmark> &bookmarks)
{
    const store::BookmarkQueries queries(db);
    store::BookmarkTable table(db);
    ReportedDeletion result;
    QSet<int> seen;
    store::Transaction transaction(db);
    for (const ReportedBookmark &bookmark : bookmarks) {
        if (seen.contains(bookmark.row))
            continue;
        seen.insert(bookmark.row);
        // The bookmark's own row, found by its ID: another bookmark of the
        // same name in the same heading is never touched.
        const std::optional<store::FoundBookmark> live = queries.liveRow(bookmark.id);
        if (!live) {
            result.goneNames << bookmark.name;
            continue;
        }
        table.remove({live->id, live->state});
        if (!listedHeading.isEmpty() && live->headingKey == listedHeading)
            result.listedKeys << live->key;
        result.deletedRows << bookmark.row;
    }
    transaction.commit();
    return result;
}

void dropListedBookmarks(outline::BookmarkList &list, const QStringList &keys)
{
    bool listChanged = false;
    for (const QString &key : keys)
        listChanged = list.model().removeKey(key) || listChanged;
    if (listChanged) {
        list.syncDescriptionWithSelection();
        list.showListStatus(true);
    }
}

QString goneMessage(const QStringList &names, const QString &notDone)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    return QStringLiteral("No longer in the document as listed here, so not %1: ").arg(notDone)
        + quoted.join(QStringLiteral(", ")) + QLatin1Char('.');
}

void showGone(outline::Workspace &workspace, const QStringList &names, const QString &notDone)
{
    if (names.isEmpty())
        return;
    if (platform::MessageBoxes *messages = workspace.services().messages)
        messages->show(goneMessage(names, notDone), platform::MessageIcon::Exclamation);
}

} // namespace quillet::search
