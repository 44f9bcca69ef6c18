// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace quillet::commands {

// The picture of one slot of the command image list (16 and 32 pixels,
// built into the program); a null icon for a slot without one.
QIcon commandIcon(int slot);

} // namespace quillet::commands
