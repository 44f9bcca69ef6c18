// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/DocumentCheck.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"

#include <QHash>
#include <QSet>

namespace quillet::store {

namespace {

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
    QSet<QString> found;
    for (DocumentTable which : {DocumentTable::Tips, DocumentTable::Nodes, DocumentTable::Items}) {
        const TableDef def = tableDefinition(which);
        tables.insert(def.name.toLower(), Database::tableSql(def));
        for (const IndexDef &index : def.indexes) {
            indexes.insert(index.name.toLower(), Database::indexSql(def.name, index));
            // An older document may lack it; one it has must be ours.
            if (index.addedLater)
                found.insert(index.name.toLower());
        }
    }
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
    // Reading every page of the table and of its indexes checks each page's
    // authentication code and layout; overflow pages (long descriptions,
    // thumbnails) are checked when they are read.
    Statement table(db,
        QStringLiteral("SELECT count(ID), count(CASE WHEN delFlag <> 0 THEN 1 END) "
                       "FROM tbItems NOT INDEXED"));
    table.next();
    const qint64 rows = table.integer(0);
    const qint64 pending = table.integer(1);
    auto entries = [&db](const QString &index) {
        return single(db, QStringLiteral("SELECT count(*) FROM tbItems INDEXED BY %1").arg(index));
    };
    if (entries(QStringLiteral("ixItemsLink")) != rows)
        damaged(db, QStringLiteral("bookmark index"));
    if (db.indexExists(QStringLiteral("ixItemsHeading"))
        && entries(QStringLiteral("ixItemsHeading")) != rows)
        damaged(db, QStringLiteral("heading index"));
    // The same read answers whether a stopped session left work behind.
    if (pending == 0)
        db.markSettled();
    return true;
}

} // namespace

bool checkDocument(Database &db, CheckDepth depth)
{
    checkSchema(db);
    return checkStructure(db, depth);
}

} // namespace quillet::store
