// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/ShellFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillet::platform {

namespace {

QString existingFolder(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return QString();
    return QDir::cleanPath(QDir(path).absolutePath());
}

} // namespace

QString desktopFolder()
{
    const QString desktop
        = existingFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    return desktop.isEmpty() ? QDir::cleanPath(QDir::homePath()) : desktop;
}

QString favoritesFolder()
{
    const QString fromEnvironment = existingFolder(qEnvironmentVariable("QUILLET_FAVORITES"));
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return existingFolder(QDir::homePath() + QStringLiteral("/Favorites"));
}

QString getSpecialFolder(int id)
{
    QString folder;
    if (id == kDesktopFolderId)
        folder = desktopFolder();
    else if (id == kFavoritesFolderId)
        folder = favoritesFolder();
    if (folder.isEmpty())
        return QString();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace quillet::platform
