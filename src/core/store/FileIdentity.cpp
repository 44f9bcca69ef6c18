// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FileIdentity.h"

#include <QDir>
#include <QFileInfo>

namespace quillet::store {

QString canonicalPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // Not there (or a dangling link): the folder says where it would be.
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return QDir(folder).filePath(info.fileName());
}

bool samePath(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return canonicalPath(a) == canonicalPath(b);
}

} // namespace quillet::store
