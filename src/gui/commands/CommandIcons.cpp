// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/commands/CommandIcons.h"

#include <QFile>

// Resources of a static library must be registered by hand.
static void registerCommandPictures()
{
    Q_INIT_RESOURCE(commands);
}

namespace quillet::commands {

QIcon commandIcon(int slot)
{
    static const bool registered = (registerCommandPictures(), true);
    Q_UNUSED(registered);
    if (slot < 0)
        return QIcon();
    QIcon icon;
    for (int size : {16, 32}) {
        const QString file
            = QStringLiteral(":/commands/%1/%2.png").arg(size).arg(slot, 2, 10, QLatin1Char('0'));
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

} // namespace quillet::commands
