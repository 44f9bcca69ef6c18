// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TitledMessage.h"

#include "shell/Workspace.h"

namespace quillet::shell {

platform::MessageAnswer titledMessage(Workspace &workspace, const QString &text,
    platform::MessageIcon icon, const QString &title, platform::MessageButtons buttons)
{
    platform::yieldToEventLoop();
    platform::MessageBoxes *messages = workspace.services().messages;
    if (!messages)
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::Cancel;
    return messages->show(text, icon, buttons, title);
}

} // namespace quillet::shell
