// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/MessageBoxes.h"

#include <QString>

namespace quillet::outline {

class Workspace;

// A message box under its own title, after letting the windows repaint; the
// maintenance and update windows name their command in the title bar.
platform::MessageAnswer titledMessage(Workspace &workspace, const QString &text,
    platform::MessageIcon icon, const QString &title,
    platform::MessageButtons buttons = platform::MessageButtons::Ok);

// Refuses to replace `target` when it is a folder, the open document or a
// file held open elsewhere, saying so under `title`. True when refused.
bool refuseReplacingInUse(Workspace &workspace, const QString &target, const QString &title);

} // namespace quillet::outline
