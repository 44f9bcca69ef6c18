// SPDX-License-Identifier: GPL-3.0-or-later
// Placing the heading tree, the bookmark list, the description pane and the
// two splitter bars in the client area, in twips.
#include "browser/ClientLayout.h"
#include "shell/Settings.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::browser;

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
