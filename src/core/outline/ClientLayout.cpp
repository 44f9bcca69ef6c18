// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/ClientLayout.h"

#include "core/settings/Settings.h"

#include <cmath>

namespace quillet::outline {

namespace {

// A stored size too large for the room is cut to leave `cut`; anything
// below the minimum (the cut result included) becomes the minimum.
int fitPane(int stored, int room, int cut)
{
    int size = stored;
    if (size >= kMinPaneSize && size > room - cut)
        size = room - cut;
    if (size < kMinPaneSize)
        size = kMinPaneSize;
    return size;
}

// The dragged edge stays kSplitterMargin inside the room; the upper bound
// wins when the room is too small for both.
int clampToMargins(int place, int room)
{
    if (place < kSplitterMargin)
        place = kSplitterMargin;
    if (place > room - kSplitterMargin)
        place = room - kSplitterMargin;
    return place;
}

} // namespace

ClientLayout layoutClient(
    QSize client, int vPosition, int hPosition, bool showPanel, bool showDescrip)
{
    const int w = client.width();
    const int h = client.height();
    const int t = fitPane(vPosition, w, kTreeCut);
    int b = fitPane(hPosition, h, kListCut);

    ClientLayout layout;
    layout.treeShown = showPanel;
    layout.descriptionShown = showDescrip;
    int x = 0;
    if (showPanel) {
        layout.tree = QRect(0, 0, t, h);
        x = t + 120;
        layout.vSplitter = QRect(t + 15, -90, kSplitterThickness, h + 90);
    }
    if (showDescrip) {
        layout.hSplitter = QRect(x, b - 75, w - x, kHSplitterHeight);
        layout.pane = QRect(x, b + 120, w - x, h - (b + 120));
    } else {
        b = h;
    }
    layout.list = QRect(x, 0, w - x, b);
    return layout;
}

ClientLayout layoutClient(QSize client, const WindowSettings &settings)
{
    return layoutClient(
        client, settings.vPosition, settings.hPosition, settings.showPanel, settings.showDescrip);
}

QRect verticalGhostAtPress(const QRect &vSplitter, int x)
{
    return QRect(
        vSplitter.left() + x, vSplitter.top() + 100, kGhostThickness, vSplitter.height() - 120);
}

int verticalGhostLeft(const QRect &vSplitter, int x, int clientWidth)
{
    return clampToMargins(vSplitter.left() + x, clientWidth);
}

int dropVerticalSplitter(ClientLayout &layout, int ghostLeft, int clientWidth)
{
    layout.vSplitter.moveLeft(ghostLeft);
    layout.tree.setWidth(ghostLeft - 15);
    const int listLeft = ghostLeft + 105;
    layout.list.setLeft(listLeft);
    layout.list.setWidth(clientWidth - listLeft);
    layout.hSplitter.setLeft(listLeft);
    layout.hSplitter.setWidth(layout.list.width());
    layout.pane.setLeft(listLeft);
    layout.pane.setWidth(layout.list.width());
    return layout.tree.width();
}

QRect horizontalGhostAtPress(const QRect &hSplitter, int y)
{
    return QRect(hSplitter.left(), hSplitter.top() + y, hSplitter.width(), kGhostThickness);
}

int horizontalGhostTop(const QRect &hSplitter, int y, int clientHeight)
{
    return clampToMargins(hSplitter.top() + y - 20, clientHeight);
}

int dropHorizontalSplitter(ClientLayout &layout, int ghostTop, int clientHeight)
{
    layout.hSplitter.moveTop(ghostTop - 90);
    layout.list.setHeight(layout.hSplitter.top() + 75);
    const int paneTop = layout.list.height() + 120;
    layout.pane.setTop(paneTop);
    layout.pane.setHeight(clientHeight - paneTop);
    return layout.list.height();
}

QRect progressBarRect(const QRect &panel, int statusBarHeight)
{
    return QRect(panel.left() + 25, 45, panel.width() - 45, statusBarHeight - 75);
}

int toPixels(int twips)
{
    return int(std::lround(double(twips) / kTwipsPerPixel));
}

QRect toPixels(const QRect &twips)
{
    if (twips.isNull())
        return QRect();
    const int left = toPixels(twips.left());
    const int top = toPixels(twips.top());
    const int right = toPixels(twips.left() + twips.width());
    const int bottom = toPixels(twips.top() + twips.height());
    return QRect(left, top, right - left, bottom - top);
}

} // namespace quillet::outline
