#include "browser/BookmarkTransfer.h"

#include "browser/BookmarkNames.h"
#include "store/BookmarkRow.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QDate>
#include <QHash>

namespace quillet::browser {

QString todayText()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

void copyBookmarkRow(store::Recordset &table, const store::BookmarkRow &source,
    const QString &headingKey, const QString &name, const QString &listKey, const QString &date)
{
    table.addNew();
    table.setValue(QStringLiteral("tKey"), headingKey);
    table.setValue(QStringLiteral("lKey"), listKey.isNull() ? QString(QLatin1String("")) : listKey);
    table.setValue(QStringLiteral("delFlag"), 1);
    table.setValue(QStringLiteral("urlDate"), date);
    table.setValue(QStringLiteral("urlName"), name);
    if (!source.thumbnail.isNull())
        table.setValue(QStringLiteral("urlThumb"), source.thumbnail);
    table.setValue(QStringLiteral("urlLink"), source.link);
    table.setValue(QStringLiteral("imgFile"),
        source.pictureFile.isNull() ? QString(QLatin1String("")) : source.pictureFile);
    table.setValue(QStringLiteral("urlDescrip"),
        source.description.isNull() ? QString(QLatin1String("")) : source.description);
    table.update();
}

QList<TransferredBookmark> transferBookmarks(store::Database &db, const QString &sourceHeading,
    const QStringList &keys, const QString &targetHeading, TransferKind kind,
    const std::function<QString()> &newKey)
{
    QList<TransferredBookmark> result;
    const QString date = todayText();
    store::Transaction transaction(db);
    // One read of each heading instead of a query per bookmark.
    auto rows = db.openRecordset(store::headingBookmarksSql(sourceHeading));
    QHash<QString, int> rowOfKey;
    for (; !rows->eof(); rows->moveNext())
        rowOfKey.insert(rows->text(QStringLiteral("lKey")), rows->position());
    BookmarkNameSet names = BookmarkNameSet::read(db, targetHeading);
    auto table = db.openRecordset(QStringLiteral("tbItems"));

    for (const QString &sourceKey : keys) {
        const auto found = rowOfKey.constFind(sourceKey);
        if (found == rowOfKey.constEnd())
            continue;
        rows->moveTo(*found);
        const store::BookmarkRow row = store::BookmarkRow::fromRecord(
            *rows, kind == TransferKind::Copy || rows->integer(QStringLiteral("delFlag")) != 1);
        QString name = row.name;
        if (names.contains(name))
            name = names.uniqueName(name);
        names.insert(name);
        TransferredBookmark moved {sourceKey, newKey ? newKey() : QString(), name, row.link, date};
        if (kind == TransferKind::Move && row.delFlag == 1) {
            rows->edit();
            rows->setValue(QStringLiteral("tKey"), targetHeading);
            rows->setValue(QStringLiteral("lKey"),
                moved.key.isNull() ? QString(QLatin1String("")) : moved.key);
            rows->setValue(QStringLiteral("urlDate"), date);
            rows->setValue(QStringLiteral("urlName"), name);
            rows->update();
        } else {
            copyBookmarkRow(*table, row, targetHeading, name, moved.key, date);
            if (kind == TransferKind::Move) {
                rows->edit();
                rows->setValue(QStringLiteral("delFlag"), -1);
                rows->update();
            }
        }
        result << moved;
    }
    transaction.commit();
    return result;
}

} // namespace quillet::browser
