// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/TitledMessage.h"

#include "core/outline/Workspace.h"
#include "core/store/FileMaintenance.h"

namespace quillet::outline {

platform::MessageAnswer titledMessage(Workspace &workspace, const QString &text,
    platform::MessageIcon icon, const QString &title, platform::MessageButtons buttons)
{
    return workspace.messageAfterRepaint(text, icon, buttons, title);
}

bool refuseReplacingInUse(Workspace &workspace, const QString &target, const QString &title)
{
    if (!store::isInUse(target, workspace.document().path()))
        return false;
    titledMessage(workspace, QStringLiteral("'%1' is in use and can not be replaced.").arg(target),
        platform::MessageIcon::Exclamation, title);
    return true;
}

} // namespace quillet::outline
