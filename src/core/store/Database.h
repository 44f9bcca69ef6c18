// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/DocumentHold.h"
#include "core/store/EngineError.h"
#include "core/store/TableDef.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace quillet::store {

class Recordset;
class RowJournal;

// One document file held open by the program: a SQLCipher database opened
// exclusively, read-write, with the document password, under the file's
// DocumentHold from before it opens until after it closes. The SQL texts it runs
// are written in the Jet dialect the program was designed for and translated
// on the way in.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Creates a new document file. `connect` carries the locale and the
    // password (";LANGID=...;pwd=..."). Fails when the file already exists.
    static std::unique_ptr<Database> create(const QString &path, const QString &connect);

    // Opens an existing document exclusively, read-write, with the password in
    // `connect` (";pwd=..."). Never writes to a file that turns out not to be
    // a document of this kind; a file held by another connection fails at once.
    static std::unique_ptr<Database> open(const QString &path, const QString &connect);

    // Opens a document that cannot be written (a read-only file or folder)
    // for viewing: nothing is written, locked or created beside it, and
    // every statement that would change it fails with ReadOnly.
    static std::unique_ptr<Database> openForViewing(const QString &path, const QString &connect);
    // False when the file or its folder cannot be written: such a document
    // can only be viewed.
    static bool isWritableLocation(const QString &path);
    bool isReadOnly() const { return m_readOnly; }

    // Opens and closes again; true when the file is a document that could be
    // opened exclusively right now and `check` (reading only) did not throw.
    // Writes nothing.
    // `failure`, when given, receives the error that made it false.
    static bool probe(const QString &path, const QString &connect,
        const std::function<void(Database &)> &check = {},
        std::optional<EngineError> *failure = nullptr);

    // Writes a compact copy of `source` (which must not be open) to `target`,
    // keeping the password. Fails when the target exists, unless it is an
    // empty file made for it.
    static void compact(const QString &source, const QString &target, const QString &connect);
    // The same from a file that is only read, never written or held
    // exclusively: a backup on read-only media.
    static void compactReadOnly(
        const QString &source, const QString &target, const QString &connect);
    // Writes a compact copy of this open database to `target`, keeping the
    // password; the file stays held throughout, so the copy is exactly what
    // this connection sees. Fails when the target exists, unless it is an
    // empty file made for it.
    void exportCopy(const QString &target, const QString &connect);

    // Rewrites this open database compactly in place, in one transaction,
    // then settles it on disk (see settleOnDisk). The file stays held.
    void compactInPlace();
    // Folds the write-ahead log into the file, syncs the file and empties the
    // log: the file alone then holds everything committed, durably, and a
    // copy of it taken while it stays held is whole. Throws EngineError.
    void settleOnDisk();

    const QString &path() const { return m_path; }
    // False once the path no longer names the file this connection holds:
    // another program deleted, moved or replaced it. The connection still
    // reads and writes the file it holds.
    bool isStillAtPath() const;
    sqlite3 *handle() const { return m_db; }
    // The file's hold; whoever keeps it keeps the file held after close().
    std::shared_ptr<DocumentHold> hold() const { return m_hold; }
    void close();

    // Runs an action query (Jet dialect).
    void execute(const QString &jetSql);
    // Number of rows changed by the last action query.
    int rowsAffected() const;

    // Table definitions.
    void createTable(const TableDef &table);
    // The statements createTable() runs; the engine keeps their text.
    static QString tableSql(const TableDef &table);
    static QString indexSql(const QString &table, const IndexDef &index);
    void deleteTable(const QString &name);
    bool tableExists(const QString &name);
    bool indexExists(const QString &name);
    // The fields of a table as they were created, in creation order.
    QList<FieldDef> fields(const QString &table);

    // A recordset on a table name or on a Jet SQL text.
    std::unique_ptr<Recordset> openRecordset(const QString &tableOrSql);

    // Test seam: called before every statement that changes the file; it may
    // throw an EngineError to simulate a failing engine (disk full, file gone).
    using WriteHook = std::function<void(const QString &sql)>;
    void setWriteHook(WriteHook hook) { m_writeHook = std::move(hook); }

    // The history that records changes of bookmark rows; null when none.
    void setRowJournal(RowJournal *journal) { m_rowJournal = journal; }
    RowJournal *rowJournal() const { return m_rowJournal; }

    // Low-level statement access for the store's own code and the recordsets.
    sqlite3_stmt *prepareCached(const QString &sql);
    void runWrite(sqlite3_stmt *stmt, const QString &sqlForHook);
    [[noreturn]] void fail(int sqliteCode, const QString &context = QString()) const;
    void beforeWrite(const QString &sql);
    int transactionDepth() const { return m_transactionDepth; }

    // Nothing is pending in the file: no bookmark row waits for Save or
    // Discard. Marked when that is known (after either, or after a look at
    // open); any row changed since, even one rolled back, ends it.
    void markSettled();
    bool isSettled() const;

private:
    friend class Transaction;
    Database(sqlite3 *db, QString path);
    // `uri`, when given, is what the engine opens instead of `path`.
    static sqlite3 *openHandle(const QString &path, const QString &connect, int flags,
        bool exclusive = true, const QByteArray &uri = {});
    static void checkFile(const QString &path);
    static std::unique_ptr<Database> openChecked(
        const QString &path, const QString &connect, int extraFlags = 0);
    // The journal, durability and cache settings of a connection that writes.
    void setUpForWriting();
    void dropCachedStatements();
    bool schemaObjectExists(const char *type, const QString &name);
    void exportInto(const QString &target, const QString &connect);
    void exec(const QString &sql);

    sqlite3 *m_db = nullptr;
    QString m_path;
    std::shared_ptr<DocumentHold> m_hold;
    // Device and inode of the file at m_path when it was opened.
    std::optional<std::pair<quint64, quint64>> m_fileId;
    QHash<QString, sqlite3_stmt *> m_statements;
    QHash<QString, QList<FieldDef>> m_fieldCache;
    WriteHook m_writeHook;
    RowJournal *m_rowJournal = nullptr;
    int m_transactionDepth = 0;
    bool m_readOnly = false;
    // The engine's count of changed rows when the file was last known
    // settled; -1 while it is not known.
    qint64 m_settledAtChanges = -1;
};

// All-or-nothing unit of work: everything changed between construction and
// commit() reaches the file together, or not at all (destruction without
// commit rolls back). Transactions nest.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Database &m_db;
    QString m_name;
    bool m_done = false;
};

// A Transaction when none is open yet; inside a caller's it adds nothing,
// since that one rolls everything back on failure, and a nested savepoint
// would make the engine journal every changed page a second time.
class TransactionIfNone
{
public:
    explicit TransactionIfNone(Database &db)
    {
        if (db.transactionDepth() == 0)
            m_transaction.emplace(db);
    }
    void commit()
    {
        if (m_transaction)
            m_transaction->commit();
    }

private:
    std::optional<Transaction> m_transaction;
};

// The password string of a connect text (";pwd=secret"); empty when none.
QString passwordOfConnect(const QString &connect);

} // namespace quillet::store
