// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/FileMaintenance.h"

#include "store/Database.h"
#include "store/DocumentCheck.h"
#include "store/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace quillet::store {

QString compactionWorkFile(const QString &target)
{
    return target + QStringLiteral(".temp");
}

void removeStaleFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    if (info.isDir() || !QFile::remove(path))
        throw EngineError(EngineErrorCode::FileInUse,
            QStringLiteral("The old work file '%1' could not be removed.").arg(path));
}

void replaceFile(const QString &source, const QString &target)
{
    // rename(2) swaps the name over in one step; QFile::rename would remove
    // the target first.
    const bool trusted = isTrustedDocumentFile(source);
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData())
        != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        throw EngineError(EngineErrorCode::Generic,
            QStringLiteral("'%1' could not be replaced: %2.").arg(target, reason));
    }
    if (trusted)
        trustClosedDocument(target);
}

void compactInto(
    const QString &source, const QString &target, const std::function<void()> &beforeReplace)
{
    const QString work = compactionWorkFile(target);
    removeStaleFile(work);
    const bool trusted = isTrustedDocumentFile(source);
    Database::compact(source, work, openConnectString());
    if (trusted)
        trustClosedDocument(work); // a copy of what this process checked or wrote
    try {
        if (beforeReplace)
            beforeReplace();
        replaceFile(work, target);
    } catch (...) {
        QFile::remove(work);
        throw;
    }
}

bool isHeldOpen(const QString &path)
{
    try {
        openDocumentDatabase(path);
        return false;
    } catch (const EngineError &e) {
        return e.number() == EngineErrorCode::FileInUse;
    }
}

QString cipherVersion()
{
    sqlite3 *db = nullptr;
    QString version;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK
            && sqlite3_step(stmt) == SQLITE_ROW)
            version
                = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return version;
}

} // namespace quillet::store
