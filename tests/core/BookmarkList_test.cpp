// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;

namespace {

// A workspace over a document file with the given bookmarks under "K1".
class ListFixture : public ::testing::Test
{
protected:
    void open(const QList<ItemRow> &items)
    {
        path = common::homePath(QStringLiteral("list.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("Heading"), QStringLiteral("K1")}},
            items);
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
    }
    void fill(const QString &select = QString())
    {
        ws.list().clear();
        ws.list().fill(QStringLiteral("K1"), ws.document().database(), select);
    }
    QStringList listedNames()
    {
        QStringList names;
        for (int i = 0; i < ws.list().model().count(); ++i)
            names << ws.list().model().entry(i).name;
        return names;
    }
    // The row of a bookmark as "key:delFlag", read straight from the file.
    QStringList rowsOf(const QString &name)
    {
        QStringList rows;
        auto rs = ws.document().database()->openRecordset(
            QStringLiteral("select * from tbItems where urlName = '%1'").arg(name));
        for (; !rs->eof(); rs->moveNext())
            rows << rs->text(QStringLiteral("lKey")) + QLatin1Char(':')
                    + QString::number(rs->integer(QStringLiteral("delFlag")));
        return rows;
    }
    void selectNames(const QStringList &names)
    {
        ws.list().selection().clear();
        for (const QString &name : names) {
            for (int i = 0; i < ws.list().model().count(); ++i) {
                if (ws.list().model().entry(i).name == name)
                    ws.list().selection().select(ws.list().model().index(i, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
            }
        }
        // The focused item is the first of them.
        for (int i = 0; i < ws.list().model().count(); ++i) {
            if (ws.list().model().entry(i).name == names.first()) {
                ws.list().selection().setCurrentIndex(
                    ws.list().model().index(i, 0), QItemSelectionModel::NoUpdate);
                break;
            }
        }
    }

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    RecordingDesktop desktop;
    RecordingDescription description;
    RecordingStatus status;
    RecordingProgress progress;
    outline::Workspace ws {{&messages, &dialogs, &desktop, &description, &status, &progress}};
    QAbstractItemModelTester tester {
        &ws.list().model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    QString path;
};

ItemRow item(
    const QString &key, const QString &name, int delFlag = 0, const QString &link = QString())
{
    return {QStringLiteral("K1"), key, name,
        link.isNull() ? QStringLiteral("http://example.org/") + name : link, delFlag};
}

} // namespace

TEST_F(ListFixture, EmptyAndDuplicateKeysAreRepairedInTheRowsWithoutTouchingDelFlag)
{
    open({item(QStringLiteral("K5"), QStringLiteral("a")),
        item(QStringLiteral("K5"), QStringLiteral("b"), 1),
        item(QString(QLatin1String("")), QStringLiteral("c")),
        item(QStringLiteral("K6"), QStringLiteral("d"))});
    fill();
    EXPECT_EQ(ws.list().model().count(), 4);
    EXPECT_EQ(rowsOf(QStringLiteral("a")), QStringList {QStringLiteral("K5:0")});
    const QStringList b = rowsOf(QStringLiteral("b"));
    ASSERT_EQ(b.size(), 1);
    EXPECT_NE(b.first(), QStringLiteral("K5:1"));
    EXPECT_TRUE(b.first().endsWith(QStringLiteral(":1")));
    const QStringList c = rowsOf(QStringLiteral("c"));
    EXPECT_TRUE(c.first().startsWith(QLatin1Char('K')));
    // The repaired keys are the keys the list uses, and they stay.
    fill();
    EXPECT_EQ(rowsOf(QStringLiteral("b")), b);
    EXPECT_EQ(rowsOf(QStringLiteral("c")), c);
    EXPECT_TRUE(ws.list().model().containsKey(b.first().section(QLatin1Char(':'), 0, 0)));
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(ListFixture, ProgressShowsOnlyAboveAHundredBookmarks)
{
    QList<ItemRow> items;
    for (int i = 0; i < 100; ++i)
        items << item(QStringLiteral("K%1").arg(i + 1), QStringLiteral("n%1").arg(i));
    open(items);
    fill();
    EXPECT_FALSE(progress.everShown);
    auto rs = ws.document().database()->openRecordset(QStringLiteral("tbItems"));
    rs->addNew();
    rs->setValue(QStringLiteral("tKey"), QStringLiteral("K1"));
    rs->setValue(QStringLiteral("lKey"), QStringLiteral("K999"));
    rs->setValue(QStringLiteral("urlName"), QStringLiteral("extra"));
    rs->setValue(QStringLiteral("delFlag"), 0);
    rs->update();
    fill();
    EXPECT_TRUE(progress.everShown);
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(progress.maximum, 101);
}

TEST_F(ListFixture, FillSelectsTheLastExactNameMatchOrTheFirstEntryAndShowsIt)
{
    open({item(QStringLiteral("K1"), QStringLiteral("beta")),
        item(QStringLiteral("K2"), QStringLiteral("News")),
        item(QStringLiteral("K3"), QStringLiteral("alpha")),
        item(QStringLiteral("K4"), QStringLiteral("News"))});
    fill(QStringLiteral("News"));
    EXPECT_EQ(ws.list().selectedKey(), QStringLiteral("K4"));
    EXPECT_EQ(ws.list().currentBookmark(), QStringLiteral("K4"));
    EXPECT_EQ(ws.list().selectedCount(), 1);
    fill(QStringLiteral("news")); // exact match only
    EXPECT_EQ(ws.list().model().entry(0).name, QStringLiteral("alpha"));
    EXPECT_EQ(ws.list().selectedKey(), QStringLiteral("K3"));
    EXPECT_EQ(description.current, QStringLiteral("alpha"));

    // A heading without bookmarks: empty list, blank pane, no current one.
    ws.list().clear();
    ws.list().fill(QStringLiteral("kRoot"), ws.document().database());
    EXPECT_EQ(ws.list().model().count(), 0);
    EXPECT_TRUE(ws.list().currentBookmark().isEmpty());
    EXPECT_TRUE(description.current.isEmpty());
    ws.list().showListStatus(true);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 0 bookmarks found."));
}

// However the selection changes (a click on empty space, Ctrl+click), the
// pane follows it once the change is complete, and shows nothing twice.
TEST_F(ListFixture, ThePaneFollowsTheSelectionWhateverChangedIt)
{
    open({item(QStringLiteral("K1"), QStringLiteral("one")),
        item(QStringLiteral("K2"), QStringLiteral("two"))});
    fill();
    QCoreApplication::processEvents();
    const int shows = description.shows;
    ws.list().selection().clearSelection();
    QCoreApplication::processEvents();
    EXPECT_TRUE(description.current.isEmpty());
    EXPECT_TRUE(ws.list().currentBookmark().isEmpty());
    ws.list().selection().select(ws.list().model().index(1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ws.list().selection().setCurrentIndex(
        ws.list().model().index(1, 0), QItemSelectionModel::NoUpdate);
    QCoreApplication::processEvents();
    EXPECT_EQ(description.current, QStringLiteral("two"));
    EXPECT_EQ(description.shows, shows + 1);
}

TEST_F(ListFixture, EachColumnRemembersItsOwnSortDirection)
{
    open({item(QStringLiteral("K1"), QStringLiteral("b"), 0, QStringLiteral("http://c")),
        item(QStringLiteral("K2"), QStringLiteral("a"), 0, QStringLiteral("http://b")),
        item(QStringLiteral("K3"), QStringLiteral("C"), 0, QStringLiteral("http://a"))});
    fill();
    auto &model = ws.list().model();
    EXPECT_EQ(listedNames(),
        (QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));
    model.clickColumn(0); // Name is the sort column already: descending
    EXPECT_EQ(listedNames(),
        (QStringList {QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(model.sortOrder(), Qt::DescendingOrder);
    model.clickColumn(1); // Link, first time: ascending
    EXPECT_EQ(listedNames(),
        (QStringList {QStringLiteral("C"), QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(model.sortOrder(), Qt::AscendingOrder);
    model.clickColumn(0); // back to Name: descending again, as it was left
    EXPECT_EQ(listedNames(),
        (QStringList {QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(model.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(model.columnTag(0), QStringLiteral("-1"));
    EXPECT_EQ(model.columnTag(1), QStringLiteral("0"));
    // New entries land at their sorted place.
    model.addEntry({QStringLiteral("K9"), QStringLiteral("bb"), QString(), QString()});
    EXPECT_EQ(listedNames().indexOf(QStringLiteral("bb")), 1);
}

TEST_F(ListFixture, DeletingMixedRowsRemovesAddedOnesAndHidesCommittedOnes)
{
    open({item(QStringLiteral("K1"), QStringLiteral("a")),
        item(QStringLiteral("K2"), QStringLiteral("b"), 1),
        item(QStringLiteral("K3"), QStringLiteral("c")),
        item(QStringLiteral("K4"), QStringLiteral("d"))});
    fill();
    selectNames({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    ws.list().deleteBookmarks(QStringLiteral("K1"), true);
    EXPECT_EQ(listedNames(), QStringList {QStringLiteral("d")});
    EXPECT_EQ(rowsOf(QStringLiteral("a")), QStringList {QStringLiteral("K1:-1")});
    EXPECT_TRUE(rowsOf(QStringLiteral("b")).isEmpty());
    EXPECT_EQ(rowsOf(QStringLiteral("c")), QStringList {QStringLiteral("K3:-1")});
    EXPECT_EQ(ws.list().selectedKey(), QStringLiteral("K4"));
    EXPECT_EQ(description.current, QStringLiteral("d"));
    EXPECT_TRUE(ws.document().isModified());
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 1 bookmarks found."));
}

TEST_F(ListFixture, HoldingDeleteRemovesOneAfterAnotherAndRefreshesThePaneOnRelease)
{
    QList<ItemRow> items;
    for (int i = 0; i < 5; ++i)
        items << item(QStringLiteral("K%1").arg(i + 1), QStringLiteral("n%1").arg(i));
    open(items);
    fill();
    const int showsBefore = description.shows;
    // Shift+Delete does nothing.
    EXPECT_FALSE(ws.list().keyPressed(Qt::Key_Delete, Qt::ShiftModifier));
    EXPECT_EQ(ws.list().model().count(), 5);

    EXPECT_TRUE(ws.list().keyPressed(Qt::Key_Delete, Qt::NoModifier));
    EXPECT_EQ(description.shows, showsBefore + 1); // first press refreshes
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(ws.list().keyPressed(Qt::Key_Delete, Qt::NoModifier)); // auto-repeat
    EXPECT_EQ(description.shows, showsBefore + 1);
    EXPECT_EQ(ws.list().model().count(), 0);
    EXPECT_FALSE(ws.list().keyPressed(Qt::Key_Delete, Qt::NoModifier)); // empty list
    ws.list().keyReleased(Qt::Key_Delete);
    EXPECT_TRUE(description.current.isEmpty());
    EXPECT_TRUE(ws.list().currentBookmark().isEmpty());
    EXPECT_FALSE(ws.list().keyHeld());
}

TEST_F(ListFixture, OpeningLinksAndPicturesDoesNothingWithoutInput)
{
    open({item(QStringLiteral("K1"), QStringLiteral("a"), 0, QString(QLatin1String(""))),
        item(QStringLiteral("K2"), QStringLiteral("b")),
        item(QStringLiteral("K3"), QStringLiteral("c"))});
    fill();
    ws.list().openRowLink(0); // empty link
    EXPECT_TRUE(desktop.links.isEmpty());
    ws.list().selectAll();
    ws.list().openSelectedBookmarks(QStringLiteral("K1"));
    EXPECT_EQ(desktop.links,
        (QStringList {
            QStringLiteral("http://example.org/b"), QStringLiteral("http://example.org/c")}));
    ws.list().openSelectedBookmarks(QString()); // no heading
    EXPECT_EQ(desktop.links.size(), 2);

    // A picture is opened only when its file exists in the image folder.
    ws.optionSettings().imageFolder = common::homePath(QStringLiteral("images"));
    QDir().mkpath(ws.optionSettings().imageFolder);
    auto rs = ws.document().database()->openRecordset(
        QStringLiteral("select * from tbItems where lKey = 'K2'"));
    rs->edit();
    rs->setValue(QStringLiteral("imgFile"), QStringLiteral("20240101120000.png"));
    rs->update();
    ws.list().viewBookmarkPicture(QStringLiteral("K1"), QStringLiteral("K2"));
    EXPECT_TRUE(desktop.files.isEmpty());
    QFile picture(ws.optionSettings().imageFolder + QStringLiteral("/20240101120000.png"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    ws.list().viewBookmarkPicture(QStringLiteral("K1"), QStringLiteral("K2"));
    EXPECT_EQ(desktop.files, QStringList {picture.fileName()});
    ws.list().viewBookmarkPicture(QStringLiteral("K1"), QStringLiteral("K3")); // no picture
    EXPECT_EQ(desktop.files.size(), 1);
}
