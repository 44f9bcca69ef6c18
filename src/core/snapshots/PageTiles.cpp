// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/snapshots/PageTiles.h"

#include <algorithm>

namespace quillet::snapshots {

std::vector<QPoint> tilePositions(QSize page, QSize tile)
{
    std::vector<QPoint> positions;
    if (page.isEmpty() || tile.isEmpty())
        return positions;
    const int pageW = page.width();
    const int pageH = page.height();
    const int tileW = tile.width();
    const int tileH = tile.height();
    const int cols = pageW / tileW;
    const int rows = pageH / tileH;
    const bool narrow = pageW < tileW;
    const int lastX = std::max(0, pageW - tileW);
    bool leftToRight = true;
    for (int r = 0; r <= rows; ++r) {
        const int y = r < rows ? r * tileH : std::max(0, pageH - tileH);
        for (int c = 0; c < cols; ++c)
            positions.emplace_back(leftToRight ? c * tileW : pageW - (c + 1) * tileW, y);
        positions.emplace_back(leftToRight ? lastX : 0, y);
        if (!narrow)
            leftToRight = !leftToRight;
    }
    return positions;
}

} // namespace quillet::snapshots
