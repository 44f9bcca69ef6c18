// SPDX-License-Identifier: GPL-3.0-or-later
// Placing the heading tree, the bookmark list, the description pane and the
// two splitter bars in the client area, in twips.
#include "core/outline/ClientLayout.h"
#include "core/settings/Settings.h"
#include "core/shell/ScreenFit.h"

#include <climits>

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::outline;

namespace {

const QSize kClient(12000, 9000);

ClientLayout layout(
    int vPosition, int hPosition, bool panel = true, bool descrip = true, QSize client = kClient)
{
    return layoutClient(client, vPosition, hPosition, panel, descrip);
}

} // namespace

TEST(ClientLayout, StoredPlacesWithTheFixedGaps)
{
    const ClientLayout l = layoutClient(kClient, WindowSettings());
    EXPECT_EQ(l.tree, QRect(0, 0, 3000, 9000));
    EXPECT_EQ(l.vSplitter, QRect(3015, -90, 90, 9090));
    EXPECT_EQ(l.list, QRect(3120, 0, 8880, 5000));
    EXPECT_EQ(l.hSplitter, QRect(3120, 4925, 8880, kHSplitterHeight));
    EXPECT_EQ(l.pane, QRect(3120, 5120, 8880, 3880));
    EXPECT_TRUE(l.treeShown);
    EXPECT_TRUE(l.descriptionShown);
}

TEST(ClientLayout, TreeWidthAndListHeightKeepTheirLimits)
{
    EXPECT_EQ(layout(100, 5000).tree.width(), 600);
    EXPECT_EQ(layout(599, 5000).tree.width(), 600);
    EXPECT_EQ(layout(11300, 5000).tree.width(), 11300);
    EXPECT_EQ(layout(11301, 5000).tree.width(), 11300); // W - 700
    EXPECT_EQ(layout(20000, 5000).list.left(), 11420);
    // A room too narrow for the cut still keeps the 600.
    EXPECT_EQ(layout(3000, 5000, true, true, QSize(1000, 9000)).tree.width(), 600);

    EXPECT_EQ(layout(3000, 100).list.height(), 600);
    EXPECT_EQ(layout(3000, 100).pane.top(), 720);
    EXPECT_EQ(layout(3000, 8280).list.height(), 8280);
    EXPECT_EQ(layout(3000, 9000).list.height(), 8280); // H - 720
    EXPECT_EQ(layout(3000, 9000).pane, QRect(3120, 8400, 8880, 600));
}

TEST(ClientLayout, HiddenPanesGiveTheirRoomToTheList)
{
    const ClientLayout noTree = layout(3000, 5000, false, true);
    EXPECT_FALSE(noTree.treeShown);
    EXPECT_EQ(noTree.list, QRect(0, 0, 12000, 5000));
    EXPECT_EQ(noTree.pane, QRect(0, 5120, 12000, 3880));
    EXPECT_EQ(noTree.hSplitter.left(), 0);

    const ClientLayout noPane = layout(3000, 5000, true, false);
    EXPECT_FALSE(noPane.descriptionShown);
    EXPECT_EQ(noPane.list, QRect(3120, 0, 8880, 9000));
    EXPECT_EQ(noPane.tree, QRect(0, 0, 3000, 9000));

    EXPECT_EQ(layout(3000, 5000, false, false).list, QRect(QPoint(0, 0), kClient));
}

TEST(ClientLayout, VerticalSplitterDragStopsAtTheMarginsAndStoresTheTreeWidth)
{
    ClientLayout l = layout(3000, 5000);
    EXPECT_EQ(verticalGhostAtPress(l.vSplitter, 45), QRect(3060, 10, 40, 8970));
    EXPECT_EQ(verticalGhostLeft(l.vSplitter, -5000, 12000), 650);
    EXPECT_EQ(verticalGhostLeft(l.vSplitter, 20000, 12000), 11350);
    EXPECT_EQ(verticalGhostLeft(l.vSplitter, 1000, 12000), 4015);

    EXPECT_EQ(dropVerticalSplitter(l, 650, 12000), 635);
    EXPECT_EQ(l.vSplitter.left(), 650);
    EXPECT_EQ(l.tree, QRect(0, 0, 635, 9000));
    EXPECT_EQ(l.list, QRect(755, 0, 11245, 5000));
    EXPECT_EQ(l.hSplitter.left(), 755);
    EXPECT_EQ(l.hSplitter.width(), 11245);
    EXPECT_EQ(l.pane, QRect(755, 5120, 11245, 3880));
    // Laid out again from the stored width, nothing moves.
    const ClientLayout again = layout(635, 5000);
    EXPECT_EQ(again.list, l.list);
    EXPECT_EQ(again.vSplitter, l.vSplitter);
}

TEST(ClientLayout, HorizontalSplitterDragStopsAtTheMarginsAndStoresTheListHeight)
{
    ClientLayout l = layout(3000, 5000);
    EXPECT_EQ(horizontalGhostAtPress(l.hSplitter, 100), QRect(3120, 5025, 8880, 40));
    EXPECT_EQ(horizontalGhostTop(l.hSplitter, -9000, 9000), 650);
    EXPECT_EQ(horizontalGhostTop(l.hSplitter, 9000, 9000), 8350);
    EXPECT_EQ(horizontalGhostTop(l.hSplitter, 120, 9000), 5025);

    EXPECT_EQ(dropHorizontalSplitter(l, 8350, 9000), 8335);
    EXPECT_EQ(l.hSplitter.top(), 8260);
    EXPECT_EQ(l.list, QRect(3120, 0, 8880, 8335));
    EXPECT_EQ(l.pane, QRect(3120, 8455, 8880, 545));
}

TEST(ClientLayout, ProgressBarInsideItsPanelAndPixels)
{
    EXPECT_EQ(progressBarRect(QRect(6000, 30, 3000, 270), 330), QRect(6025, 45, 2955, 255));
    EXPECT_EQ(toPixels(QRect(3015, -90, 90, 9090)), QRect(201, -6, 6, 606));
    // Edges round on their own: touching rectangles still touch.
    const QRect left = toPixels(QRect(0, 0, 1007, 10));
    const QRect right = toPixels(QRect(1007, 0, 1000, 10));
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(toPixels(kMinWindowWidth), 400);
    EXPECT_EQ(toPixels(kMinWindowHeight), 300);
}

// A stored window place put where the user can reach it on today's screens.
TEST(ScreenFit, StoredPlacesLandOnAScreen)
{
    using shell::fitToScreens;
    const QSize minimum(400, 300);
    const QRect wide(0, 0, 1920, 1050);
    const QRect small(1920, 0, 800, 600);

    // A place on a screen stays as it is.
    EXPECT_EQ(fitToScreens(QRect(7, 7, 533, 400), {wide}, minimum), QRect(7, 7, 533, 400));
    // Larger than every screen: the largest screen's size, on that screen.
    EXPECT_EQ(fitToScreens(QRect(0, 0, 66666666, 66666666), {small, wide}, minimum), wide);
    EXPECT_EQ(
        fitToScreens(QRect(1950, 10, 5000, 5000), {small}, minimum), QRect(1950, 10, 800, 600));
    // Off every screen, or with the top edge above one: moved onto the nearest.
    EXPECT_EQ(fitToScreens(QRect(-9000, 50, 500, 400), {wide}, minimum), QRect(0, 50, 500, 400));
    EXPECT_EQ(fitToScreens(QRect(100, -200, 500, 400), {wide}, minimum), QRect(100, 0, 500, 400));
    EXPECT_EQ(fitToScreens(QRect(5000, 5000, 500, 400), {wide, small}, minimum),
        QRect(1420, 650, 500, 400));
    // Partly on a screen, top edge reachable: kept.
    EXPECT_EQ(
        fitToScreens(QRect(1700, 800, 500, 400), {wide}, minimum), QRect(1700, 800, 500, 400));
    // Below the minimum: grown to it; no screens: only that, at the stored place.
    EXPECT_EQ(fitToScreens(QRect(10, 10, 1, -5), {wide}, minimum), QRect(10, 10, 400, 300));
    EXPECT_EQ(fitToScreens(QRect(10, 10, 1, 1), {}, minimum), QRect(10, 10, 400, 300));
    // Extreme values do not overflow.
    const QRect extreme
        = fitToScreens(QRect(QPoint(INT_MAX - 10, INT_MIN), QSize(10, 10)), {wide}, minimum);
    EXPECT_TRUE(wide.contains(extreme));
}
