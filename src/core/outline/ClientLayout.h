// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

namespace quillet {
struct WindowSettings;
}

namespace quillet::outline {

// The main window's client area (picClient) in twips: the heading tree on
// the left, the bookmark list on the upper right, the description pane on
// the lower right, and the two splitter bars between them.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kMinWindowWidth = 6000;
inline constexpr int kMinWindowHeight = 4500;
inline constexpr int kMinPaneSize = 600; // narrowest tree, lowest list
inline constexpr int kTreeCut = 700; // the tree leaves at least this much of the width
inline constexpr int kListCut = 720; // the list leaves at least this much of the height
inline constexpr int kSplitterMargin = 650; // a dragged bar stops this far from either edge
inline constexpr int kGhostThickness = 40;
inline constexpr int kSplitterThickness = 90; // drgV's width
// drgH starts 75 above the list's bottom edge and reaches 105 below it,
// behind the list, so that its visible part fills the gap like drgV's.
inline constexpr int kHSplitterHeight = 180;

struct ClientLayout
{
    bool treeShown = true; // treContent and drgV
    bool descriptionShown = true; // webDescrip and drgH
    // Parts that are not shown are left empty.
    QRect tree;
    QRect vSplitter;
    QRect list;
    QRect hSplitter;
    QRect pane;
};

// Places everything in a client area of `client` twips.
ClientLayout layoutClient(
    QSize client, int vPosition, int hPosition, bool showPanel, bool showDescrip);
ClientLayout layoutClient(QSize client, const WindowSettings &settings);

// Dragging drgV: the ghost bar where the button went down at x (twips,
// relative to the splitter); its left edge while the pointer is at x.
QRect verticalGhostAtPress(const QRect &vSplitter, int x);
int verticalGhostLeft(const QRect &vSplitter, int x, int clientWidth);
// The button went up with the ghost's left edge at ghostLeft: moves the
// splitter, the tree, the list, drgH and the pane. Returns the new tree
// width (vPosition).
int dropVerticalSplitter(ClientLayout &layout, int ghostLeft, int clientWidth);

// Dragging drgH, the same way along the height.
QRect horizontalGhostAtPress(const QRect &hSplitter, int y);
int horizontalGhostTop(const QRect &hSplitter, int y, int clientHeight);
// Returns the new list height (hPosition).
int dropHorizontalSplitter(ClientLayout &layout, int ghostTop, int clientHeight);

// The progress bar inside a status bar panel (panel in status bar
// coordinates, twips).
QRect progressBarRect(const QRect &panel, int statusBarHeight);

// Twips and pixels. A rectangle's edges are rounded separately, so that
// neighbours that touch in twips touch in pixels.
int toPixels(int twips);
QRect toPixels(const QRect &twips);
inline int toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}
inline QSize toTwips(QSize pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace quillet::outline
