// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AppHome.h"

#include <QDir>
#include <QStandardPaths>

namespace quillet::common {

QString appHome()
{
    QString home = qEnvironmentVariable("QUILLET_HOME");
    if (home.isEmpty()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty())
            data = QDir::homePath() + QStringLiteral("/.local/share");
        home = data + QStringLiteral("/quillet");
    }
    home = QDir::cleanPath(QDir(home).absolutePath());
    QDir().mkpath(home);
    return home;
}

QString homePath(const QString &name)
{
    return appHome() + QLatin1Char('/') + name;
}

} // namespace quillet::common
