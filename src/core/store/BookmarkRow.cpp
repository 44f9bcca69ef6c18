#include "store/BookmarkRow.h"

#include "store/Recordset.h"
#include "store/StoreFiles.h"

namespace quillet::store {

BookmarkRow BookmarkRow::fromRecord(const Recordset &rs, bool withThumbnail)
{
    BookmarkRow row;
    row.id = rs.value(QStringLiteral("ID")).toLongLong();
    row.headingKey = rs.text(QStringLiteral("tKey"));
    row.key = rs.text(QStringLiteral("lKey"));
    row.name = rs.text(QStringLiteral("urlName"));
    row.link = rs.text(QStringLiteral("urlLink"));
    row.date = rs.text(QStringLiteral("urlDate"));
    const QVariant description = rs.value(QStringLiteral("urlDescrip"));
    row.descriptionIsNull = !description.isValid();
    row.description = description.toString();
    row.pictureFile = rs.text(QStringLiteral("imgFile"));
    row.delFlag = rs.integer(QStringLiteral("delFlag"));
    if (withThumbnail)
        row.thumbnail = rs.bytes(QStringLiteral("urlThumb"));
    return row;
}

QString bookmarkLookupSql(const QString &headingKey, const QString &key)
{
    return QStringLiteral("select * from tbItems where tKey ='") + sqlQuote(headingKey)
        + QStringLiteral("' and lKey ='") + sqlQuote(key) + QStringLiteral("' and delFlag <> -1");
}

QString headingBookmarksSql(const QString &headingKey)
{
    return QStringLiteral("select * from tbItems where tKey ='") + sqlQuote(headingKey)
        + QStringLiteral("' and delFlag <> -1");
}

} // namespace quillet::store
