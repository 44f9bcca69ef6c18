// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/StoreFiles.h"

#include "core/common/AppHome.h"
#include "core/common/ProgressView.h"
#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"
#include "core/store/RandomNumbers.h"
#include "core/store/TrustedDocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace quillet::store {

QString tempFolder()
{
    const QString folder = common::homePath(QStringLiteral("_tmp"));
    QDir().mkpath(folder);
    return folder;
}

QString newTempDatabaseName()
{
    const QString folder = tempFolder();
    for (;;) {
        const int n = randomIntegerUpTo(1000000);
        const QString candidate = folder + QStringLiteral("/_tmp%1.rdb").arg(n);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString sqlQuote(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}

bool isValidFileName(const QString &name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (forbidden.contains(c) || c == QChar(0))
            return false;
    }
    // These name the folder itself, never a file of its own.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    const QString probe = tempFolder() + QLatin1Char('/') + name;
    if (QFileInfo::exists(probe))
        return true;
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.close();
    common::yieldToEventLoop();
    file.remove();
    return true;
}

bool deleteFileIfExists(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    return QFile::remove(path);
}

bool copyFile(const QString &source, const QString &target, int *error)
{
    try {
        FileReplacement replacement(target);
        replacement.copyFrom(source);
        replacement.commit();
    } catch (const EngineError &e) {
        if (error) {
            // The reason as the caller's messages name it.
            switch (e.number()) {
            case EngineErrorCode::DiskFull:
                *error = ENOSPC;
                break;
            case EngineErrorCode::ReadOnly:
                *error = EACCES;
                break;
            case EngineErrorCode::FileNotFound:
                *error = ENOENT;
                break;
            default:
                *error = EIO;
                break;
            }
        }
        return false;
    }
    // A copy of a document known here is known too.
    if (isTrustedDocumentFile(source))
        trustClosedDocument(target);
    return true;
}

} // namespace quillet::store
