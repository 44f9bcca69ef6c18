// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "ScriptedPlatform.h"
#include "ScriptedRenderer.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/snapshots/CaptureLimits.h"
#include "core/snapshots/ImageFiles.h"
#include "core/snapshots/PageTiles.h"
#include "core/snapshots/SnapshotRun.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;
using snapshots::SnapshotRun;

namespace {

const QString kNews = QStringLiteral("K10");

QImage page(Qt::GlobalColor color)
{
    QImage image(1000, 1500, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// "News" with the saved bookmarks Apple (picture "old.png"), Bread and Tea,
// all selected, Apple the focused one.
class SnapshotFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = common::homePath(QStringLiteral("snap.rdb"));
        ItemRow soup(
            kNews, QStringLiteral("a1"), QStringLiteral("Apple"), QStringLiteral("http://apple"));
        soup.pictureFile = QStringLiteral("old.png");
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), kNews}},
            {soup,
                {kNews, QStringLiteral("a2"), QStringLiteral("Bread"),
                    QStringLiteral("http://bread")},
                {kNews, QStringLiteral("a3"), QStringLiteral("Tea"),
                    QStringLiteral("http://tea")}});
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        outline::loadHeadingTree(*ws.document().database(), ws.tree(), nullptr);
        ws.selectHeading(ws.tree().findByKey(kNews));
        ws.list().selectRow(0, false);
        ws.list().selectAll();
        run = std::make_unique<SnapshotRun>(ws, renderer);
        renderer.complete(); // about:blank
        description.shownNames.clear();
    }

    std::optional<store::BookmarkRow> live(const QString &key)
    {
        return store::BookmarkTable(*ws.document().database()).findLive(kNews, key);
    }
    QStringList imageFiles() const
    {
        return QDir(common::homePath(QStringLiteral("images"))).entryList(QDir::Files);
    }
    // Lets the run take its next step, as the window's event loop would.
    static void step() { QCoreApplication::processEvents(); }
    // The page of the bookmark in work loads and is captured as `image`.
    void loadAndCapture(const QImage &image)
    {
        step();
        renderer.complete();
        ASSERT_TRUE(renderer.capturing());
        renderer.finishCapture(image);
    }

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    RecordingDescription description;
    outline::Workspace ws {{&messages, &dialogs, nullptr, &description, nullptr, nullptr}};
    ScriptedRenderer renderer;
    std::unique_ptr<SnapshotRun> run;
};

} // namespace

TEST(PageTiles, SnakeClampsAtTheEdges)
{
    using P = QPoint;
    // Exactly one tile high: two rows at 0.
    EXPECT_EQ(snapshots::tilePositions({300, 100}, {100, 100}),
        (std::vector<P> {
            P(0, 0), P(100, 0), P(200, 0), P(200, 0), P(200, 0), P(100, 0), P(0, 0), P(0, 0)}));
    // Narrower than a tile: one tile per row, always at the left.
    EXPECT_EQ(snapshots::tilePositions({80, 250}, {100, 100}),
        (std::vector<P> {P(0, 0), P(0, 100), P(0, 150)}));
    // 2.5 x 1.5 tiles: the second row runs back from the right edge.
    EXPECT_EQ(snapshots::tilePositions({250, 150}, {100, 100}),
        (std::vector<P> {P(0, 0), P(100, 0), P(150, 0), P(150, 50), P(50, 50), P(0, 50)}));
    EXPECT_TRUE(snapshots::tilePositions({0, 150}, {100, 100}).empty());
}

TEST_F(SnapshotFixture, RunStoresEveryCheckedBookmarkUnderItsOwnName)
{
    ASSERT_EQ(run->entries().size(), 3u);
    run->setChecked(2, false); // Tea stays as it is
    run->startClicked();
    EXPECT_EQ(run->controls().startCaption, QStringLiteral("&Pause"));
    EXPECT_EQ(run->controls().progressMaximum, 2);
    EXPECT_FALSE(run->controls().linkEnabled);

    loadAndCapture(page(Qt::red));
    EXPECT_EQ(renderer.navigations.last(), QStringLiteral("http://apple"));
    EXPECT_EQ(run->controls().progressValue, 1);
    loadAndCapture(page(Qt::blue));
    EXPECT_EQ(renderer.navigations.last(), QStringLiteral("http://bread"));
    step();

    EXPECT_EQ(run->mode(), SnapshotRun::Mode::Idle);
    EXPECT_EQ(run->controls().status, QStringLiteral("Status: Task accomplished."));
    EXPECT_EQ(run->controls().startCaption, QStringLiteral("&Start"));
    EXPECT_EQ(renderer.navigations.size(), 3); // about:blank and two pages

    // Two pictures in the same second do not share a file.
    const QStringList files = imageFiles();
    ASSERT_EQ(files.size(), 2);
    for (const QString &file : files)
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^\\d{14}(_\\d+)?\\.png$")).match(file).hasMatch());
    const auto soup = live(QStringLiteral("a1"));
    const auto bread = live(QStringLiteral("a2"));
    ASSERT_TRUE(soup && bread);
    EXPECT_NE(soup->pictureFile, bread->pictureFile);
    EXPECT_TRUE(files.contains(soup->pictureFile) && files.contains(bread->pictureFile));
    // The saved row got a pending copy carrying the snapshot.
    EXPECT_EQ(soup->state, store::RowState::Added);
    EXPECT_EQ(QImage::fromData(soup->thumbnail).size(), QSize(180, 132));
    EXPECT_EQ(live(QStringLiteral("a3"))->state, store::RowState::Committed);
    EXPECT_EQ(ws.document().pendingImageFiles().size(), 2);
    EXPECT_TRUE(ws.document().isModified());
    // Only the bookmark the main list had focused is shown again.
    EXPECT_EQ(description.shownNames, QStringList {QStringLiteral("Apple")});
}

TEST_F(SnapshotFixture, FailedCaptureKeepsThePictureAndTheRunGoesOn)
{
    run->startClicked();
    loadAndCapture(QImage()); // Apple's page gave no picture
    loadAndCapture(page(Qt::green));
    loadAndCapture(page(Qt::green));
    step();
    EXPECT_EQ(run->controls().status, QStringLiteral("Status: Task accomplished."));
    const auto soup = live(QStringLiteral("a1"));
    EXPECT_EQ(soup->pictureFile, QStringLiteral("old.png"));
    EXPECT_EQ(soup->state, store::RowState::Committed);
    EXPECT_EQ(imageFiles().size(), 2);
}

// Pictures that cannot be written are counted and said at the end; they
// change nothing.
TEST_F(SnapshotFixture, PicturesThatCannotBeWrittenAreCounted)
{
    // An image folder nobody may write to, not even root.
    const QString folder = snapshots::ensureImageFolder(ws.optionSettings().imageFolder);
    const QStringList lock {QStringLiteral("+i"), folder};
    if (folder.isEmpty() || QProcess::execute(QStringLiteral("chattr"), lock) != 0)
        GTEST_SKIP() << "chattr +i is not available here";
    run->startClicked();
    for (int i = 0; i < 3; ++i)
        loadAndCapture(page(Qt::red));
    step();
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    EXPECT_EQ(run->controls().status,
        QStringLiteral("Status: Task accomplished; 3 pictures could not be written."));
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.texts().last().startsWith(
        QStringLiteral("3 pictures could not be written in the image folder")));
    EXPECT_EQ(live(QStringLiteral("a1"))->pictureFile, QStringLiteral("old.png"));
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(SnapshotFixture, PauseResumeAndStopDuringTheWait)
{
    run->startClicked();
    step();
    ASSERT_EQ(renderer.navigations.last(), QStringLiteral("http://apple"));

    // Pause while Apple loads: it stays pending, nothing is captured.
    const int stops = renderer.stops;
    run->startClicked();
    EXPECT_EQ(run->mode(), SnapshotRun::Mode::Paused);
    EXPECT_EQ(run->controls().startCaption, QStringLiteral("&Resume"));
    EXPECT_GT(renderer.stops, stops);
    EXPECT_EQ(run->pendingCount(), 3);
    EXPECT_TRUE(run->controls().linkEnabled);
    renderer.complete();
    EXPECT_EQ(renderer.captures, 0);

    // A page typed by hand while paused becomes Apple's snapshot on Resume.
    run->linkEntered(QStringLiteral("http://apple.mirror"));
    run->startClicked();
    step();
    EXPECT_EQ(renderer.navigations.last(), QStringLiteral("http://apple.mirror"));
    EXPECT_EQ(renderer.captures, 0);
    renderer.complete();
    ASSERT_TRUE(renderer.capturing());
    renderer.finishCapture(page(Qt::red));
    EXPECT_EQ(run->controls().progressValue, 1);
    EXPECT_EQ(live(QStringLiteral("a1"))->state, store::RowState::Added);

    // Pause, Resume: Bread loads again. Stop ends the run without it.
    step();
    run->startClicked();
    run->startClicked();
    step();
    EXPECT_EQ(renderer.navigations.mid(renderer.navigations.size() - 2),
        QStringList({QStringLiteral("http://bread"), QStringLiteral("http://bread")}));
    EXPECT_EQ(run->controls().progressValue, 1);
    run->stopClicked();
    EXPECT_EQ(run->mode(), SnapshotRun::Mode::Idle);
    EXPECT_EQ(run->pendingCount(), 0);
    EXPECT_EQ(run->controls().startCaption, QStringLiteral("&Start"));
    EXPECT_TRUE(run->controls().itemPanelEnabled);
    renderer.complete();
    EXPECT_EQ(renderer.captures, 1);
    EXPECT_EQ(imageFiles().size(), 1);
}

TEST_F(SnapshotFixture, ClosingDuringACaptureStoresNothing)
{
    run->startClicked();
    step();
    renderer.complete();
    ASSERT_TRUE(renderer.capturing());
    run->close();
    EXPECT_EQ(renderer.cancels, 1); // the capture ends before its next tile
    renderer.finishCapture(QImage());
    EXPECT_EQ(run->pendingCount(), 0);
    EXPECT_TRUE(imageFiles().isEmpty());
    EXPECT_EQ(live(QStringLiteral("a1"))->pictureFile, QStringLiteral("old.png"));
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(SnapshotFixture, PauseEndsACaptureBetweenTilesAndTheBookmarkStaysPending)
{
    run->startClicked();
    step();
    renderer.complete();
    ASSERT_TRUE(renderer.capturing());
    run->startClicked(); // Pause
    EXPECT_EQ(renderer.cancels, 1);
    renderer.finishCapture(QImage());
    EXPECT_EQ(run->mode(), SnapshotRun::Mode::Paused);
    EXPECT_EQ(run->pendingCount(), 3);
    EXPECT_TRUE(imageFiles().isEmpty());
}

TEST_F(SnapshotFixture, OnlyWebAndFileLinksAreCapturedAndACutPageSaysSo)
{
    const int navigations = renderer.navigations.size();
    run->linkEntered(QStringLiteral("javascript:alert(1)"));
    EXPECT_EQ(renderer.navigations.size(), navigations);
    EXPECT_EQ(run->controls().status, snapshots::skippedLinkStatus());

    // Bread's link becomes one that shows no page.
    store::BookmarkChange change;
    change.link = QStringLiteral("data:text/html,<script>alert(1)</script>");
    store::BookmarkTable table(*ws.document().database());
    ASSERT_TRUE(table.change(live(QStringLiteral("a2"))->id, change));
    ws.list().refill(kNews, ws.document().database());
    ws.list().selectAll();
    run.reset();
    run = std::make_unique<SnapshotRun>(ws, renderer);
    renderer.complete(); // about:blank

    run->startClicked();
    step();
    renderer.complete();
    ASSERT_TRUE(renderer.capturing());
    renderer.cut(QSize(100000, 100000), QSize(8192, 8192));
    renderer.finishCapture(page(Qt::red));
    EXPECT_EQ(run->controls().status,
        QStringLiteral("Apple - ") + snapshots::cutPageStatus({100000, 100000}, {8192, 8192}));
    EXPECT_TRUE(live(QStringLiteral("a1"))->pictureFile.endsWith(QStringLiteral(".png")));

    step(); // Bread is skipped
    EXPECT_EQ(run->controls().status, QStringLiteral("Bread - ") + snapshots::skippedLinkStatus());
    step(); // Tea loads
    EXPECT_EQ(renderer.navigations.last(), QStringLiteral("http://tea"));
    EXPECT_FALSE(renderer.navigations.contains(*change.link));
    EXPECT_EQ(run->controls().progressValue, 2);
    loadAndCapture(page(Qt::green));
    EXPECT_EQ(imageFiles().size(), 2);
}

TEST(CaptureLimits, APageIsCutToItsTopLeftPartWithinTheMemoryBound)
{
    using snapshots::capturedPart;
    EXPECT_EQ(capturedPart({1280, 20000}), QSize(1280, 20000));
    EXPECT_EQ(capturedPart({1280, 100000}), QSize(1280, 32767)); // the longest side
    EXPECT_EQ(capturedPart({100000, 100000}), QSize(8192, 8192));
    EXPECT_EQ(capturedPart({2000, 32767}), QSize(2000, 32767));
    EXPECT_EQ(capturedPart({4096, 32767}), QSize(4096, 16384));
    EXPECT_EQ(capturedPart({100000, 800}), QSize(32767, 800));
    for (const QSize page : {QSize(100000, 100000), QSize(4096, 32767), QSize(9000, 9000)})
        EXPECT_TRUE(snapshots::fitsPictureMemory(capturedPart(page)));
    EXPECT_FALSE(snapshots::fitsPictureMemory({65535, 65535}));

    for (const char *link : {"http://a/", "HTTPS://a/", "file:///tmp/a.html", "www.example.org"})
        EXPECT_TRUE(snapshots::isCapturableLink(QLatin1String(link))) << link;
    for (const char *link : {"javascript:alert(1)", " JavaScript:x", "data:text/html,x",
             "mailto:a@b", "about:blank", "ftp://a/", ""})
        EXPECT_FALSE(snapshots::isCapturableLink(QLatin1String(link))) << link;
}
