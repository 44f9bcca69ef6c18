// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace quillet::platform {

// The picture formats Quillet reads (BMP, GIF, JPEG, PNG) and writes (PNG,
// JPEG). Returns the names of those missing from this Qt installation.
QStringList missingImageCodecs();

} // namespace quillet::platform
