// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>
#include <vector>

namespace quillet::snapshots {

// Where the tiles of a page capture go on the page, in the order they are
// taken: row by row from the top, in a snake (left to right, then right to
// left), the last tile of a row and the last row pushed back against the
// right and bottom edges, just as the browser clamps its scrolling there.
// Positions may repeat (a page exactly one tile high gives two rows at 0).
// Empty when either size is empty.
std::vector<QPoint> tilePositions(QSize page, QSize tile);

} // namespace quillet::snapshots
