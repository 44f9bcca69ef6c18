// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/QtBrowserShell.h"

#include "core/platform/DesktopEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quillet::platform {

QString QtBrowserShell::programFor(const QString &file)
{
    if (!QFileInfo::exists(file))
        return QString();
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return QString();
    QProcess query;
    query.start(
        xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return QString();
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool QtBrowserShell::start(const QString &program, const QString &argument)
{
    const QString entryPath = locateDesktopEntry(program);
    if (entryPath.isEmpty())
        return false;
    QFile entry(entryPath);
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    const QStringList command = desktopEntryCommand(entry.readAll(), entryPath, argument);
    if (command.isEmpty())
        return false;
    return QProcess::startDetached(command.first(), command.mid(1));
}

} // namespace quillet::platform
