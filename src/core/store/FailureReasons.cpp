// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FailureReasons.h"

#include <cerrno>
#include <cstring>

namespace quillet::store {

namespace {

const char *const kDiskFull = "The disk is full.";
const char *const kReadOnly = "The file or its folder is read-only.";

} // namespace

QString reasonOf(const EngineError &error)
{
    switch (error.number()) {
    case EngineErrorCode::DiskFull:
        return QLatin1String(kDiskFull);
    case EngineErrorCode::ReadOnly:
        return QLatin1String(kReadOnly);
    case EngineErrorCode::FileInUse:
        return QStringLiteral("It is open in another program (another Quillet or quillet-cli).");
    case EngineErrorCode::NotAValidDocument:
        return QStringLiteral("It is not a Quillet document, or its password is wrong.");
    default:
        return error.description();
    }
}

QString reasonOfFileError(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QLatin1String(kDiskFull);
    case EROFS:
    case EACCES:
    case EPERM:
        return QLatin1String(kReadOnly);
    case ENOENT:
        return QStringLiteral("The file is not there.");
    case 0:
        return QStringLiteral("The file could not be written.");
    default:
        return QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.');
    }
}

} // namespace quillet::store
