// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/BookmarkTransfer.h"

#include "core/outline/BookmarkNames.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

#include <QDate>
#include <QHash>

namespace quillet::outline {

QString todayText()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QList<TransferredBookmark> transferBookmarks(store::Database &db, const QString &sourceHeading,
    const QStringList &keys, const QString &targetHeading, TransferKind kind,
    const std::function<QString()> &newKey)
{
    QList<TransferredBookmark> result;
    const QString date = todayText();
    store::Transaction transaction(db);
    store::BookmarkTable bookmarks(db);
    // One read of each heading instead of a query per bookmark.
    QHash<QString, store::BookmarkRow> rowOfKey;
    for (store::BookmarkRow &row : bookmarks.liveRows(sourceHeading))
        rowOfKey.insert(row.key, std::move(row));
    BookmarkNameSet names = BookmarkNameSet::read(db, targetHeading);

    for (const QString &sourceKey : keys) {
        const auto found = rowOfKey.constFind(sourceKey);
        if (found == rowOfKey.constEnd())
            continue;
        const store::BookmarkRow &row = *found;
        QString name = row.name;
        if (names.contains(name))
            name = names.uniqueName(name);
        names.insert(name);
        TransferredBookmark moved {sourceKey, newKey ? newKey() : QString(), name, row.link, date};
        // Picture, thumbnail, link and description travel with the bookmark.
        store::BookmarkChange arrival;
        arrival.headingKey = targetHeading;
        arrival.key = moved.key;
        arrival.name = name;
        arrival.date = date;
        if (kind == TransferKind::Move)
            bookmarks.change(row.id, arrival);
        else
            bookmarks.addCopy(row.id, arrival);
        result << moved;
    }
    transaction.commit();
    return result;
}

} // namespace quillet::outline
