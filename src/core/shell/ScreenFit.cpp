// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/ScreenFit.h"

#include <algorithm>

namespace quillet::shell {

namespace {

qint64 area(const QRect &r)
{
    return r.isValid() ? qint64(r.width()) * r.height() : 0;
}

// Clamps without std::clamp's precondition (lo <= hi): the lower bound wins.
int clampLow(int value, int lo, int hi)
{
    return std::max(lo, std::min(value, hi));
}

} // namespace

QRect fitToScreens(const QRect &wanted, const QList<QRect> &screens, QSize minimum)
{
    // Far beyond any screen, and far from overflowing when edges are added.
    constexpr int kFar = 1 << 24;
    const int wantedLeft = std::clamp(wanted.left(), -kFar, kFar);
    const int wantedTop = std::clamp(wanted.top(), -kFar, kFar);
    const int wantedWidth = std::clamp(std::max(wanted.width(), minimum.width()), 1, kFar);
    const int wantedHeight = std::clamp(std::max(wanted.height(), minimum.height()), 1, kFar);
    QList<QRect> usable;
    for (const QRect &s : screens)
        if (s.isValid())
            usable.append(s);
    if (usable.isEmpty())
        return QRect(wantedLeft, wantedTop, wantedWidth, wantedHeight);

    const QRect largest = *std::max_element(usable.begin(), usable.end(),
        [](const QRect &a, const QRect &b) { return area(a) < area(b); });
    const int width = std::min(wantedWidth, largest.width());
    const int height = std::min(wantedHeight, largest.height());
    QRect placed(wantedLeft, wantedTop, width, height);

    // The screen the window overlaps most, else the first one.
    const QRect *home = &usable.front();
    qint64 best = 0;
    for (const QRect &s : usable) {
        const qint64 overlap = area(s.intersected(placed));
        if (overlap > best) {
            best = overlap;
            home = &s;
        }
    }
    const QRect on = home->intersected(placed);
    const bool reachable = on.width() >= std::min(kReachableWidth, width)
        && on.height() >= std::min(kReachableHeight, height) && placed.top() >= home->top()
        && placed.top() <= home->bottom() - std::min(kReachableHeight, height) + 1;
    if (reachable)
        return placed;
    placed.moveLeft(clampLow(placed.left(), home->left(), home->right() - width + 1));
    placed.moveTop(clampLow(placed.top(), home->top(), home->bottom() - height + 1));
    return placed;
}

} // namespace quillet::shell
