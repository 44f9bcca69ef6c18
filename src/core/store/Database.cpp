// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/Database.h"

#include "core/store/JetDialect.h"
#include "core/store/Recordset.h"
#include "core/store/RowLog.h"
#include "core/store/TrustedDocuments.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::store {

namespace {

// Page size and cache chosen for fast full scans of encrypted pages; the
// cache is an upper bound, filled only as pages are read.
constexpr int kCipherPageSize = 4096;
constexpr const char *kCacheSizePragma = "PRAGMA cache_size = -65536"; // 64 MiB

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString declaredType(const FieldDef &field)
{
    auto sized = [&](const char *type) {
        QString text = QLatin1String(type);
        if (field.size > 0)
            text += QStringLiteral("(%1)").arg(field.size);
        return text;
    };
    switch (field.kind) {
    case FieldKind::Text:
        return sized(field.allowZeroLength ? "VARTEXT" : "TEXT");
    case FieldKind::Memo:
        return QLatin1String(field.allowZeroLength ? "VARLONGTEXT" : "LONGTEXT");
    case FieldKind::Integer:
        return QStringLiteral("SMALLINT");
    case FieldKind::Long:
        return QStringLiteral("INTEGER");
    case FieldKind::LongBinary:
        return QStringLiteral("LONGBLOB");
    }
    return QStringLiteral("TEXT");
}

FieldDef fieldFromDeclaredType(const QString &name, const QString &type, bool primaryKey)
{
    FieldDef field;
    field.name = name;
    static const QRegularExpression sizedType(QStringLiteral("^([A-Z]+)(?:\\((\\d+)\\))?$"));
    const auto match = sizedType.match(type.toUpper().trimmed());
    const QString base = match.hasMatch() ? match.captured(1) : type.toUpper();
    field.size = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (base == QLatin1String("TEXT") || base == QLatin1String("VARTEXT")) {
        field.kind = FieldKind::Text;
        field.allowZeroLength = base.startsWith(QLatin1String("VAR"));
    } else if (base == QLatin1String("LONGTEXT") || base == QLatin1String("VARLONGTEXT")) {
        field.kind = FieldKind::Memo;
        field.allowZeroLength = base.startsWith(QLatin1String("VAR"));
    } else if (base == QLatin1String("SMALLINT")) {
        field.kind = FieldKind::Integer;
    } else if (base == QLatin1String("INTEGER") || base == QLatin1String("INT")) {
        field.kind = FieldKind::Long;
        field.autoIncrement = primaryKey;
    } else if (base == QLatin1String("LONGBLOB")) {
        field.kind = FieldKind::LongBinary;
    }
    return field;
}

QString fieldSql(const FieldDef &field)
{
    QString sql = quoteIdentifier(field.name) + QLatin1Char(' ') + declaredType(field);
    if (field.kind == FieldKind::Long && field.autoIncrement)
        sql += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
    if (field.kind == FieldKind::Text || field.kind == FieldKind::Memo)
        sql += QStringLiteral(" COLLATE ") + QLatin1String(jet::kTextCollation);
    return sql;
}

// A rough check that a statement can change the file; only such statements
// pass the test seam.
bool isWriteStatement(const QString &sql)
{
    const QString head = sql.trimmed().left(8).toUpper();
    return !(head.startsWith(QLatin1String("SELECT")) || head.startsWith(QLatin1String("PRAGMA")));
}

std::optional<std::pair<quint64, quint64>> fileIdOf(const QString &path)
{
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return std::pair<quint64, quint64>(quint64(info.st_dev), quint64(info.st_ino));
}

} // namespace

QString passwordOfConnect(const QString &connect)
{
    const QStringList parts = connect.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        if (part.startsWith(QLatin1String("pwd="), Qt::CaseInsensitive))
            return part.mid(4);
    }
    return QString();
}

Database::Database(sqlite3 *db, QString path)
    : m_db(db)
    , m_path(std::move(path))
    , m_fileId(fileIdOf(m_path))
{
}

bool Database::isStillAtPath() const
{
    return m_fileId && fileIdOf(m_path) == m_fileId;
}

Database::~Database()
{
    close();
}

void Database::close()
{
    if (!m_db)
        return;
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
    m_fieldCache.clear();
    const bool settled = isSettled();
    // Closing the last connection checkpoints and removes the write-ahead log,
    // so a closed document is always one complete file.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    // Only now: closing the hold's descriptor while the engine still had the
    // file open would drop the engine's locks.
    m_hold.reset();
    noteDocumentClosed(m_path, settled);
}

void Database::markSettled()
{
    // Inside a transaction the rows may still come back with its rollback.
    m_settledAtChanges = m_transactionDepth == 0 ? sqlite3_total_changes(m_db) : -1;
}

bool Database::isSettled() const
{
    return m_db && m_transactionDepth == 0 && m_settledAtChanges >= 0
        && sqlite3_total_changes(m_db) == m_settledAtChanges;
}

void Database::fail(int sqliteCode, const QString &context) const
{
    const QString where = context.isEmpty() ? m_path : context;
    const int primary = sqliteCode & 0xff;
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EngineError(EngineErrorCode::FileInUse,
            QStringLiteral("Could not use '%1'; file already in use.").arg(where));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        throw EngineError(EngineErrorCode::NotAValidDocument,
            QStringLiteral("'%1' is not a bookmark document, or its password is wrong.")
                .arg(where));
    case SQLITE_FULL:
        throw EngineError(EngineErrorCode::DiskFull, QStringLiteral("Not enough space on disk."));
    case SQLITE_READONLY:
    case SQLITE_PERM:
        throw EngineError(EngineErrorCode::ReadOnly,
            QStringLiteral("Cannot update '%1'; it is read-only.").arg(where));
    case SQLITE_CANTOPEN:
        throw EngineError(EngineErrorCode::FileNotFound,
            QStringLiteral("Could not open '%1' (%2).")
                .arg(where,
                    m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                         : QString::fromUtf8(sqlite3_errstr(sqliteCode))));
    default:
        break;
    }
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                 : QString::fromUtf8(sqlite3_errstr(sqliteCode));
    throw EngineError(EngineErrorCode::Generic, message);
}

sqlite3 *Database::openHandle(
    const QString &path, const QString &connect, int flags, bool exclusive, const QByteArray &uri)
{
    // Each connection is used by one thread only; skip the engine's locks and
    // its allocation statistics (they take a lock per allocation).
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
    flags |= SQLITE_OPEN_NOMUTEX;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(
        uri.isEmpty() ? QFile::encodeName(path).constData() : uri.constData(), &db, flags, nullptr);
    Database guard(db, path); // closes the handle if anything below throws
    if (rc != SQLITE_OK)
        guard.fail(rc);
    const QByteArray password = passwordOfConnect(connect).toUtf8();
    if (!password.isEmpty() && sqlite3_key(db, password.constData(), password.size()) != SQLITE_OK)
        guard.fail(sqlite3_errcode(db));
    if (jet::registerDialect(db) != SQLITE_OK)
        guard.fail(sqlite3_errcode(db));
    guard.exec(QStringLiteral("PRAGMA cipher_page_size = %1").arg(kCipherPageSize));
    if (exclusive)
        guard.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    guard.m_db = nullptr;
    return db;
}

void Database::exec(const QString &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        fail(rc);
}

std::unique_ptr<Database> Database::create(const QString &path, const QString &connect)
{
    const QFileInfo info(path);
    if (info.exists())
        throw EngineError(EngineErrorCode::DatabaseExists,
            QStringLiteral("Database '%1' already exists.").arg(path));
    // The hold makes the (empty) file, so no other process can take it
    // between the check above and the engine's first write.
    std::shared_ptr<DocumentHold> hold = DocumentHold::take(path, DocumentHold::Mode::CreateNew);
    std::unique_ptr<Database> db;
    try {
        db.reset(new Database(
            openHandle(path, connect, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), path));
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    db->m_hold = std::move(hold);
    try {
        db->setUpForWriting();
        // Writes the first page, so the new file is a complete (empty) document.
        db->exec(QStringLiteral("PRAGMA user_version = 1"));
        db->m_fileId = fileIdOf(path); // the engine makes the file at its first write
    } catch (...) {
        db->close();
        QFile::remove(path);
        throw;
    }
    return db;
}

void Database::checkFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EngineError(
            EngineErrorCode::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    if (info.isDir())
        throw EngineError(EngineErrorCode::NotAPath,
            QStringLiteral("'%1' is a folder, not a document.").arg(path));
    // An empty file would open as a new, empty database and turn into one at
    // the first write: it is not a document.
    if (info.size() == 0)
        throw EngineError(EngineErrorCode::NotAValidDocument,
            QStringLiteral("'%1' is not a bookmark document, or its password is wrong.").arg(path));
}

bool Database::isWritableLocation(const QString &path)
{
    const QFileInfo info(path);
    return ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) == 0
        && ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) == 0;
}

std::unique_ptr<Database> Database::openForViewing(const QString &path, const QString &connect)
{
    checkFile(path);
    // "immutable": the engine neither locks the file nor makes its log
    // beside it, which a read-only folder has no room for.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("immutable=1"));
    std::unique_ptr<Database> db(new Database(
        openHandle(path, connect, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, false, uri.toEncoded()),
        path));
    db->m_readOnly = true;
    // The first read checks the password and the format.
    const int rc
        = sqlite3_exec(db->m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        db->fail(rc);
    db->exec(QStringLiteral("PRAGMA cell_size_check = ON"));
    db->exec(QLatin1String(kCacheSizePragma));
    return db;
}

std::unique_ptr<Database> Database::openChecked(
    const QString &path, const QString &connect, int extraFlags)
{
    checkFile(path);
    // Another Quillet process holding the file is refused here, before the
    // engine opens it at all.
    std::shared_ptr<DocumentHold> hold = DocumentHold::take(path);
    const QFileInfo info(path);
    // No SQLITE_OPEN_CREATE: a file that vanishes meanwhile is never recreated.
    std::unique_ptr<Database> db(
        new Database(openHandle(path, connect, SQLITE_OPEN_READWRITE | extraFlags), path));
    db->m_hold = std::move(hold);
    if (sqlite3_db_readonly(db->m_db, "main") == 1)
        throw EngineError(EngineErrorCode::ReadOnly,
            QStringLiteral("'%1' can not be opened for writing.").arg(path));
    // Take the file for good: a second connection now fails at once. A locked
    // file answers here, before its content is read.
    db->exec(QStringLiteral("BEGIN EXCLUSIVE"));
    // The first read checks the password and the format; nothing has been
    // written yet, so a foreign file stays untouched.
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db->m_db, "PRAGMA page_count", -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    const qint64 pages = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        db->fail(rc);
    rc = sqlite3_exec(db->m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        db->fail(rc);
    // A cut-off copy still decrypts its first page; its size gives it away.
    // (With a write-ahead log beside it the log may hold the missing pages.)
    if (!QFileInfo::exists(path + QStringLiteral("-wal")) && pages * kCipherPageSize > info.size())
        db->fail(SQLITE_CORRUPT);
    db->exec(QStringLiteral("COMMIT"));
    return db;
}

std::unique_ptr<Database> Database::open(const QString &path, const QString &connect)
{
    std::unique_ptr<Database> db = openChecked(path, connect);
    // A cell whose size does not fit its page is refused instead of read.
    db->exec(QStringLiteral("PRAGMA cell_size_check = ON"));
    db->setUpForWriting();
    return db;
}

void Database::setUpForWriting()
{
    exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    exec(QLatin1String(kCacheSizePragma));
    // The engine's default zeroes every page a deleted row frees, so dropping
    // thousands of bookmarks with thumbnails wrote every page of them again.
    // The file is encrypted as a whole, so what the freed pages still hold
    // is as unreadable as the rest; rows' own cells are still cleared.
    exec(QStringLiteral("PRAGMA secure_delete = FAST"));
}

bool Database::probe(const QString &path, const QString &connect,
    const std::function<void(Database &)> &check, std::optional<EngineError> *failure)
{
    try {
        std::unique_ptr<Database> db = openChecked(path, connect);
        if (check)
            check(*db);
        return true;
    } catch (const EngineError &e) {
        if (failure)
            failure->emplace(e);
        return false;
    }
}

namespace {

// The target of a compaction: missing, or an empty file reserved for it (the
// engine takes an empty file for a new database). Anything else is refused.
void claimCompactionTarget(const QString &target, bool create)
{
    const QFileInfo info(target);
    if (info.exists() || info.isSymLink()) {
        if (info.isFile() && !info.isSymLink() && info.size() == 0)
            return;
        throw EngineError(EngineErrorCode::DatabaseExists,
            QStringLiteral("Database '%1' already exists.").arg(target));
    }
    if (!create)
        return;
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw EngineError(EngineErrorCode::FileNotFound,
            QStringLiteral("Could not create '%1' (%2).").arg(target, file.errorString()));
}

} // namespace

void Database::compact(const QString &source, const QString &target, const QString &connect)
{
    claimCompactionTarget(target, false);
    // The attached target is created through this connection, so it needs
    // the create permission the document connections never get.
    openChecked(source, connect, SQLITE_OPEN_CREATE)->exportInto(target, connect);
}

void Database::compactReadOnly(const QString &source, const QString &target, const QString &connect)
{
    claimCompactionTarget(target, false);
    const QFileInfo info(source);
    if (!info.exists())
        throw EngineError(
            EngineErrorCode::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(source));
    if (info.isDir())
        throw EngineError(EngineErrorCode::NotAPath,
            QStringLiteral("'%1' is a folder, not a document.").arg(source));
    if (info.size() == 0)
        throw EngineError(EngineErrorCode::NotAValidDocument,
            QStringLiteral("'%1' is not a bookmark document, or its password is wrong.")
                .arg(source));
    // Read-write flags let the attached target be written; the engine falls
    // back to reading a file it may not write. Without exclusive locking a
    // read takes a shared lock, which a read-only file grants, while a
    // document held open elsewhere still refuses it.
    Database db(openHandle(source, connect, SQLITE_OPEN_READWRITE, false), source);
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db.m_db, "PRAGMA page_count", -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    const qint64 pages = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        db.fail(rc);
    // The first read checks the password and the format; a cut-off copy
    // gives itself away by its size.
    rc = sqlite3_exec(db.m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc);
    if (pages * kCipherPageSize > info.size())
        db.fail(SQLITE_CORRUPT);
    db.exportInto(target, connect);
}

void Database::exportCopy(const QString &target, const QString &connect)
{
    // A document connection may not create files: it attaches an empty one,
    // which the engine takes for a new database.
    claimCompactionTarget(target, true);
    exportInto(target, connect);
}

void Database::compactInPlace()
{
    // Statements left stepping would keep a read open, which VACUUM refuses.
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_reset(stmt);
    beforeWrite(QStringLiteral("VACUUM"));
    exec(QStringLiteral("VACUUM"));
    settleOnDisk();
}

void Database::settleOnDisk()
{
    // The engine syncs the log before it copies it into the file, and the
    // file before it truncates the log.
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA wal_checkpoint(TRUNCATE)", -1, &stmt, nullptr);
    const bool busy = rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW
        && sqlite3_column_int(stmt, 0) != 0;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(rc);
    if (busy)
        fail(SQLITE_BUSY);
}

void Database::exportInto(const QString &target, const QString &connect)
{
    const QByteArray password = passwordOfConnect(connect).toUtf8();
    const QByteArray targetName = QFile::encodeName(target);
    sqlite3_stmt *attach = nullptr;
    int rc
        = sqlite3_prepare_v2(m_db, "ATTACH DATABASE ?1 AS compacted KEY ?2", -1, &attach, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(attach, 1, targetName.constData(), targetName.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(attach, 2, password.constData(), password.size(), SQLITE_TRANSIENT);
        rc = sqlite3_step(attach);
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    sqlite3_finalize(attach);
    if (rc != SQLITE_OK) {
        QFile::remove(target);
        fail(rc, target);
    }
    try {
        exec(QStringLiteral("PRAGMA compacted.cipher_page_size = %1").arg(kCipherPageSize));
        exec(QStringLiteral("SELECT sqlcipher_export('compacted')"));
        exec(QStringLiteral("PRAGMA compacted.user_version = 1"));
        exec(QStringLiteral("DETACH DATABASE compacted"));
    } catch (...) {
        sqlite3_exec(m_db, "DETACH DATABASE compacted", nullptr, nullptr, nullptr);
        QFile::remove(target);
        throw;
    }
}

void Database::beforeWrite(const QString &sql)
{
    if (m_writeHook)
        m_writeHook(sql);
}

void Database::execute(const QString &jetSql)
{
    const QString sql = jet::translateSql(jetSql);
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(rc);
    }
    try {
        if (isWriteStatement(sql))
            beforeWrite(sql);
    } catch (...) {
        sqlite3_finalize(stmt);
        throw;
    }
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) { }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        fail(rc);
}

int Database::rowsAffected() const
{
    return sqlite3_changes(m_db);
}

sqlite3_stmt *Database::prepareCached(const QString &sql)
{
    if (sqlite3_stmt *stmt = m_statements.value(sql)) {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        return stmt;
    }
    sqlite3_stmt *stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(rc);
    }
    m_statements.insert(sql, stmt);
    return stmt;
}

void Database::runWrite(sqlite3_stmt *stmt, const QString &sqlForHook)
{
    beforeWrite(sqlForHook);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(rc);
}

void Database::dropCachedStatements()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
    m_fieldCache.clear();
}

void Database::createTable(const TableDef &table)
{
    if (tableExists(table.name))
        throw EngineError(EngineErrorCode::TableExists,
            QStringLiteral("Table '%1' already exists.").arg(table.name));
    const QString sql = tableSql(table);
    beforeWrite(sql);
    exec(sql);
    for (const IndexDef &index : table.indexes)
        exec(indexSql(table.name, index));
    m_fieldCache.remove(table.name.toLower());
}

QString Database::tableSql(const TableDef &table)
{
    QStringList columns;
    for (const FieldDef &field : table.fields)
        columns << fieldSql(field);
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(quoteIdentifier(table.name), columns.join(QStringLiteral(", ")));
}

QString Database::indexSql(const QString &table, const IndexDef &index)
{
    QStringList fields;
    for (const QString &field : index.fields)
        fields << quoteIdentifier(field);
    QString sql = QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                      .arg(quoteIdentifier(index.name), quoteIdentifier(table),
                          fields.join(QStringLiteral(", ")));
    if (!index.where.isEmpty())
        sql += QStringLiteral(" WHERE ") + index.where;
    return sql;
}

void Database::deleteTable(const QString &name)
{
    if (!tableExists(name))
        throw EngineError(
            EngineErrorCode::TableMissing, QStringLiteral("Table '%1' does not exist.").arg(name));
    const QString sql = QStringLiteral("DROP TABLE %1").arg(quoteIdentifier(name));
    beforeWrite(sql);
    // Statements prepared on the old table must go before it can be dropped.
    dropCachedStatements();
    exec(sql);
}

bool Database::schemaObjectExists(const char *type, const QString &name)
{
    sqlite3_stmt *stmt = prepareCached(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = ?2 AND name = ?1 COLLATE NOCASE"));
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(stmt, 1, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, type, -1, SQLITE_STATIC);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(rc);
    return rc == SQLITE_ROW;
}

bool Database::tableExists(const QString &name)
{
    return schemaObjectExists("table", name);
}

bool Database::indexExists(const QString &name)
{
    return schemaObjectExists("index", name);
}

QList<FieldDef> Database::fields(const QString &table)
{
    const QString cacheKey = table.toLower();
    auto cached = m_fieldCache.constFind(cacheKey);
    if (cached != m_fieldCache.constEnd())
        return *cached;
    if (!tableExists(table))
        throw EngineError(
            EngineErrorCode::TableMissing, QStringLiteral("Table '%1' does not exist.").arg(table));
    QList<FieldDef> result;
    sqlite3_stmt *stmt = nullptr;
    const QString sql = QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table));
    int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const QString name
            = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
        const QString type
            = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2)));
        result << fieldFromDeclaredType(name, type, sqlite3_column_int(stmt, 5) != 0);
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        fail(rc);
    m_fieldCache.insert(cacheKey, result);
    return result;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &tableOrSql)
{
    return std::unique_ptr<Recordset>(new Recordset(*this, tableOrSql));
}

Transaction::Transaction(Database &db)
    : m_db(db)
{
    m_name = QStringLiteral("quillet_%1").arg(db.m_transactionDepth);
    db.exec(QStringLiteral("SAVEPOINT ") + m_name);
    ++db.m_transactionDepth;
}

Transaction::~Transaction()
{
    if (m_done || !m_db.m_db)
        return;
    const QByteArray rollback = (QStringLiteral("ROLLBACK TO ") + m_name).toUtf8();
    const QByteArray release = (QStringLiteral("RELEASE ") + m_name).toUtf8();
    sqlite3_exec(m_db.m_db, rollback.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(m_db.m_db, release.constData(), nullptr, nullptr, nullptr);
    --m_db.m_transactionDepth;
    // Table definitions may have changed back.
    m_db.m_fieldCache.clear();
    if (m_db.m_transactionDepth == 0 && m_db.m_rowJournal)
        m_db.m_rowJournal->rolledBack();
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("RELEASE ") + m_name);
    --m_db.m_transactionDepth;
    m_done = true;
}

} // namespace quillet::store
