#pragma once

#include <QByteArray>
#include <QString>

namespace quillet::store {

class Recordset;

// The fields of one tbItems row. Null texts read as empty; `descriptionIsNull`
// keeps a Null description apart where pages need it.
struct BookmarkRow
{
    qint64 id = 0;
    QString headingKey; // tKey
    QString key; // lKey
    QString name; // urlName
    QString link; // urlLink
    QString date; // urlDate
    QString description; // urlDescrip
    bool descriptionIsNull = false;
    QString pictureFile; // imgFile
    int delFlag = 0;
    QByteArray thumbnail; // urlThumb

    // Reads the current record; the thumbnail only when asked (it may be big).
    static BookmarkRow fromRecord(const Recordset &rs, bool withThumbnail = true);
};

// The standard lookup of one bookmark.
QString bookmarkLookupSql(const QString &headingKey, const QString &key);
// The bookmarks of one heading.
QString headingBookmarksSql(const QString &headingKey);

} // namespace quillet::store
