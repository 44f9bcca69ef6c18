// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace quillet {

struct OptionSettings;

// The font of the heading tree and the bookmark list from option.ini's
// FontName and FontSize. An empty name, a family this machine does not have,
// or a size that is not a positive number falls back to the main window's
// font; the fallback is stored in `options` so that it is what gets written
// back.
QFont resolveListFont(OptionSettings &options, const QFont &windowFont);

} // namespace quillet
