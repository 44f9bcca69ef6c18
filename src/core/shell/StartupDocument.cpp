// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/StartupDocument.h"

#include <QFileInfo>

namespace quillet::shell {

QString commandLineDocument(const QStringList &arguments)
{
    QString path = arguments.mid(1).join(QLatin1Char(' '));
    path.remove(QLatin1Char('"'));
    return path;
}

StartupChoice chooseStartupDocument(const QString &commandLinePath, int loadMethods)
{
    if (!commandLinePath.isEmpty() && QFileInfo(commandLinePath).isFile())
        return StartupChoice::CommandLineFile;
    switch (loadMethods) {
    case 1:
        return StartupChoice::ImportFavorites;
    case 2:
        return StartupChoice::DefaultFile;
    default:
        return StartupChoice::Untitled;
    }
}

} // namespace quillet::shell
