// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::platform {

enum class MessageIcon
{
    None,
    Information,
    Exclamation,
    Critical,
    Question
};
enum class MessageButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel
};
enum class MessageAnswer
{
    Ok,
    Cancel,
    Yes,
    No
};

// Modal message boxes, as the logic asks for them. The title is "Quillet"
// unless one is given.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const QString &text, MessageIcon icon,
        MessageButtons buttons = MessageButtons::Ok, const QString &title = QString())
        = 0;
};

} // namespace quillet::platform
