// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace quillet::shell {

// How much of a window must lie on one screen for it to count as reachable:
// enough of its top edge to grab and move it.
inline constexpr int kReachableWidth = 100;
inline constexpr int kReachableHeight = 40;

// Puts a stored window place (pixels) where the user can reach it on the
// screens there are now (their available areas): never larger than the
// largest screen, never smaller than `minimum` (unless no screen is that
// large), and at least partly on a screen with its top edge on that screen;
// a window that is not is moved onto the screen it overlaps most, or onto
// the first screen. With no screens the size is only limited to `minimum`.
QRect fitToScreens(const QRect &wanted, const QList<QRect> &screens, QSize minimum);

} // namespace quillet::shell
