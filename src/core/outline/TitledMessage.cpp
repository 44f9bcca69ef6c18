// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/TitledMessage.h"

#include "core/outline/Workspace.h"

namespace quillet::outline {

platform::MessageAnswer titledMessage(Workspace &workspace, const QString &text,
    platform::MessageIcon icon, const QString &title, platform::MessageButtons buttons)
{
    common::yieldToEventLoop();
    platform::MessageBoxes *messages = workspace.services().messages;
    if (!messages)
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::Cancel;
    return messages->show(text, icon, buttons, title);
}

} // namespace quillet::outline
