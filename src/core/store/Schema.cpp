// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/Schema.h"

#include "core/store/DocumentCheck.h"
#include "core/store/RowLog.h"
#include "core/store/Statement.h"
#include "core/store/TrustedDocuments.h"

#include <QFile>
#include <QFileInfo>

namespace quillet::store {

QString openConnectString()
{
    return QStringLiteral(";pwd=") + QLatin1String(kDocumentPassword);
}

QString createConnectString()
{
    return QLatin1String(kDocumentLocale) + openConnectString();
}

TableDef tableDefinition(DocumentTable which)
{
    auto text = [](const char *name, int size = 0, bool zeroLength = false) {
        return FieldDef {QLatin1String(name), FieldKind::Text, size, zeroLength, false};
    };
    auto field = [](const char *name, FieldKind kind, bool zeroLength = false) {
        return FieldDef {QLatin1String(name), kind, 0, zeroLength, false};
    };
    const FieldDef id {QStringLiteral("ID"), FieldKind::Long, 0, false, true};

    switch (which) {
    case DocumentTable::Tips:
        return {QStringLiteral("tbTips"), {text("Version")}, {}};
    case DocumentTable::Nodes:
        return {QStringLiteral("tbNodes"),
            {id, text("Parent"), text("Title"), text("Key"), field("Image", FieldKind::Integer),
                field("expImage", FieldKind::Integer)},
            {}};
    case DocumentTable::Items:
        // Names and links keep their declared size of 255 for the record, but
        // the engine stores them whole: long links are common and cutting
        // them would lose bookmarks.
        return {QStringLiteral("tbItems"),
            {id, text("tKey"), text("lKey", 0, true), text("urlName", 255), text("urlLink", 255),
                text("urlDate"), field("urlDescrip", FieldKind::Memo, true),
                text("imgFile", 0, true), field("delFlag", FieldKind::Integer),
                field("urlThumb", FieldKind::LongBinary)},
            // The duplicate scan reads links in order from here instead of
            // sorting every row.
            {{QStringLiteral("ixItemsLink"),
                 {QStringLiteral("urlLink"), QStringLiteral("delFlag")}},
                // A heading's list reads only its own rows.
                {QStringLiteral("ixItemsHeading"), {QStringLiteral("tKey")}, {}, true}}};
    }
    return {};
}

void createTable(Database &db, DocumentTable which)
{
    db.createTable(tableDefinition(which));
}

void addMissingIndexes(Database &db)
{
    const TableDef items = tableDefinition(DocumentTable::Items);
    for (const IndexDef &index : items.indexes) {
        if (!db.indexExists(index.name))
            Statement(db, Database::indexSql(items.name, index)).run();
    }
}

void createEmptyDatabase(const QString &path)
{
    std::unique_ptr<Database> db = Database::create(path, createConnectString());
    trustDocumentFile(path);
    try {
        Transaction transaction(*db);
        createTable(*db, DocumentTable::Tips);
        createTable(*db, DocumentTable::Nodes);
        createTable(*db, DocumentTable::Items);
        transaction.commit();
    } catch (...) {
        db->close();
        QFile::remove(path);
        throw;
    }
}

void resetDocumentTables(Database &db)
{
    TransactionIfNone transaction(db);
    for (DocumentTable which : {DocumentTable::Nodes, DocumentTable::Items}) {
        const TableDef table = tableDefinition(which);
        if (db.tableExists(table.name))
            db.deleteTable(table.name);
        db.createTable(table);
    }
    transaction.commit();
    // No step before the emptying can be undone after it.
    if (RowJournal *journal = db.rowJournal())
        journal->settled();
}

std::unique_ptr<Database> openDocumentDatabase(const QString &path)
{
    const bool settled = isSettledDocumentFile(path);
    const bool trusted = settled || isTrustedDocumentFile(path);
    std::unique_ptr<Database> db = Database::open(path, openConnectString());
    if (!trusted)
        checkDocument(*db);
    if (settled)
        db->markSettled();
    trustDocumentFile(path);
    return db;
}

bool canOpenDatabase(const QString &path, std::optional<EngineError> *failure)
{
    // A document from elsewhere of the wrong shape is refused here, before
    // the current one is closed; the pages of a large one are read when it
    // is loaded.
    return Database::probe(
        path, openConnectString(),
        [&path](Database &db) {
            if (!isTrustedDocumentFile(path) && checkDocument(db, CheckDepth::Shape))
                trustDocumentFile(path);
        },
        failure);
}

std::unique_ptr<Database> openDocumentForViewing(const QString &path)
{
    const bool settled = isSettledDocumentFile(path);
    const bool trusted = settled || isTrustedDocumentFile(path);
    std::unique_ptr<Database> db = Database::openForViewing(path, openConnectString());
    if (!trusted)
        checkDocument(*db);
    if (settled)
        db->markSettled();
    return db;
}

std::unique_ptr<Database> openDocumentToLoad(const QString &path)
{
    return Database::isWritableLocation(path) ? openDocumentDatabase(path)
                                              : openDocumentForViewing(path);
}

bool canLoadDocument(const QString &path, std::optional<EngineError> *failure)
{
    if (Database::isWritableLocation(path) || !QFileInfo::exists(path))
        return canOpenDatabase(path, failure);
    try {
        openDocumentForViewing(path);
        return true;
    } catch (const EngineError &e) {
        if (failure)
            failure->emplace(e);
        return false;
    }
}

} // namespace quillet::store
