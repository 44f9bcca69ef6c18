// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/DocumentCheck.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <optional>
#include <sys/stat.h>

namespace quillet::store {

namespace {

struct FileStamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};
    timespec changed {};

    bool operator==(const FileStamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size
            && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
            && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// A trusted file without a stamp is open in this process right now.
struct TrustedFiles
{
    QMutex mutex;
    QHash<QString, std::optional<FileStamp>> files;
};

TrustedFiles &trusted()
{
    static TrustedFiles t;
    return t;
}

QString keyOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Beyond this many pages (4 MiB) the engine's whole check would cost more
// than a load may spend on it; see the integrity benchmark.
constexpr qint64 kWholeCheckPages = 1024;

[[noreturn]] void damaged(const Database &db, const QString &why)
{
    throw EngineError(EngineErrorCode::NotAValidDocument,
        QStringLiteral("'%1' is damaged or not a bookmark document (%2).").arg(db.path(), why));
}

qint64 single(Database &db, const QString &sql)
{
    Statement s(db, sql);
    return s.next() ? s.integer(0) : 0;
}

void checkSchema(Database &db)
{
    QHash<QString, QString> tables; // lower-case name -> the statement we create it with
    QHash<QString, QString> indexes;
    for (DocumentTable which : {DocumentTable::Tips, DocumentTable::Nodes, DocumentTable::Items}) {
        const TableDef def = tableDefinition(which);
        tables.insert(def.name.toLower(), Database::tableSql(def));
        for (const IndexDef &index : def.indexes)
            indexes.insert(index.name.toLower(), Database::indexSql(def.name, index));
    }
    QSet<QString> found;
    Statement s(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master"));
    while (s.next()) {
        const QString type = s.text(0);
        const QString name = s.text(1).toLower();
        const QString table = s.text(2).toLower();
        const QString sql = s.text(3);
        if (type == QLatin1String("table")) {
            if (name == QLatin1String("sqlite_sequence"))
                continue;
            if (tables.contains(name)) {
                if (sql != tables.value(name))
                    damaged(db, QStringLiteral("table %1 has other columns").arg(s.text(1)));
                found.insert(name);
            } else if (!sql.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive)) {
                damaged(db, QStringLiteral("unknown table %1").arg(s.text(1)));
            }
            // Other plain tables are left alone: nothing here reads them.
        } else if (type == QLatin1String("index")) {
            // Unique constraints of other tables keep an index without a statement.
            if (indexes.contains(name) && sql == indexes.value(name))
                found.insert(name);
            else if (tables.contains(table) || !s.isNull(3))
                damaged(db, QStringLiteral("unknown index %1").arg(s.text(1)));
        } else {
            // Triggers and views would run their own statements inside ours.
            damaged(db, QStringLiteral("unknown %1 %2").arg(type, s.text(1)));
        }
    }
    for (const auto &names : {tables.keys(), indexes.keys()}) {
        for (const QString &name : names) {
            if (!found.contains(name))
                damaged(db, QStringLiteral("%1 is missing").arg(name));
        }
    }
}

// True when the whole document was checked.
bool checkStructure(Database &db, CheckDepth depth)
{
    const qint64 pages = single(db, QStringLiteral("PRAGMA page_count"));
    if (single(db, QStringLiteral("PRAGMA freelist_count")) >= pages)
        damaged(db, QStringLiteral("free list"));
    if (pages <= kWholeCheckPages) {
        Statement s(db, QStringLiteral("PRAGMA quick_check(1)"));
        if (!s.next() || s.text(0) != QLatin1String("ok"))
            damaged(db, QStringLiteral("structure"));
        return true;
    }
    if (depth == CheckDepth::Shape)
        return false;
    // Reading every page of the table and of its index checks each page's
    // authentication code and layout; overflow pages (long descriptions,
    // thumbnails) are checked when they are read. The table's pages stay in
    // the cache for the list, which reads them all anyway.
    const qint64 rows = single(db, QStringLiteral("SELECT count(ID) FROM tbItems NOT INDEXED"));
    const qint64 entries
        = single(db, QStringLiteral("SELECT count(*) FROM tbItems INDEXED BY ixItemsLink"));
    if (rows != entries)
        damaged(db, QStringLiteral("bookmark index"));
    return true;
}

} // namespace

void trustDocumentFile(const QString &path)
{
    TrustedFiles &t = trusted();
    QMutexLocker lock(&t.mutex);
    t.files.insert(keyOf(path), std::nullopt);
}

bool isTrustedDocumentFile(const QString &path)
{
    TrustedFiles &t = trusted();
    const QString key = keyOf(path);
    QMutexLocker lock(&t.mutex);
    const auto it = t.files.constFind(key);
    if (it == t.files.cend() || !it->has_value())
        return false;
    const std::optional<FileStamp> now = stampOf(key);
    if (now && *now == **it)
        return true;
    // Changed elsewhere: it has to pass the check again.
    t.files.remove(key);
    return false;
}

void noteDocumentClosed(const QString &path)
{
    TrustedFiles &t = trusted();
    const QString key = keyOf(path);
    QMutexLocker lock(&t.mutex);
    const auto it = t.files.find(key);
    if (it == t.files.end())
        return;
    const std::optional<FileStamp> now = stampOf(key);
    if (now)
        *it = now;
    else
        t.files.erase(it);
}

void trustClosedDocument(const QString &path)
{
    trustDocumentFile(path);
    noteDocumentClosed(path);
}

bool checkDocument(Database &db, CheckDepth depth)
{
    checkSchema(db);
    return checkStructure(db, depth);
}

} // namespace quillet::store
