// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FileMaintenance.h"

#include "core/store/Database.h"
#include "core/store/FileIdentity.h"
#include "core/store/FileReplacement.h"
#include "core/store/Schema.h"
#include "core/store/TrustedDocuments.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace quillet::store {

void compactInto(
    const QString &source, const QString &target, const std::function<void()> &beforeReplace)
{
    FileReplacement replacement(target);
    const bool trusted = isTrustedDocumentFile(source);
    Database::compact(source, replacement.workPath(), openConnectString());
    if (beforeReplace)
        beforeReplace();
    replacement.commit();
    if (trusted)
        trustClosedDocument(replacement.destination()); // a copy of what this process checked
}

void compactReadOnlyInto(const QString &source, const QString &target)
{
    FileReplacement replacement(target);
    Database::compactReadOnly(source, replacement.workPath(), openConnectString());
    replacement.commit();
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

bool isInUse(const QString &target, const QString &openDocument)
{
    return QFileInfo(target).isDir() || samePath(target, openDocument) || isHeldOpen(target);
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
