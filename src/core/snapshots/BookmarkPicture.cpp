// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/snapshots/BookmarkPicture.h"

#include "core/snapshots/ImageFiles.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

#include <QDate>

namespace quillet::snapshots {

std::optional<store::BookmarkRow> attachPicture(store::Database &db, const QString &headingKey,
    const QString &key, const QString &folder, const QString &fileName)
{
    const std::optional<QByteArray> thumbnail = makeThumbnail(folder + QLatin1Char('/') + fileName);
    if (!thumbnail)
        return std::nullopt;
    store::BookmarkTable table(db);
    const auto row = table.findLive(headingKey, key, store::Thumbnail::Skip);
    if (!row)
        return std::nullopt;
    store::BookmarkChange change;
    change.pictureFile = fileName;
    change.date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    change.thumbnail = *thumbnail; // the old one never stays with a new picture
    store::Transaction transaction(db);
    if (!table.change(row->id, change))
        return std::nullopt;
    transaction.commit();
    return table.findLive(headingKey, key);
}

} // namespace quillet::snapshots
