// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/BookmarkTransfer.h"
#include "core/outline/Workspace.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;

namespace {

// Two headings: "A" (K1) holding the given bookmarks and "B" (K2) holding
// News and News #1.
class ClipboardFixture : public ::testing::Test
{
protected:
    void open(const QList<ItemRow> &items)
    {
        path = common::homePath(QStringLiteral("clip.rdb"));
        QList<ItemRow> all = items;
        all << ItemRow(QStringLiteral("K2"), QStringLiteral("K1"), QStringLiteral("News"),
            QStringLiteral("http://n"))
            << ItemRow(QStringLiteral("K2"), QStringLiteral("K2"), QStringLiteral("News #1"),
                   QStringLiteral("http://n1"));
        writeDocument(path,
            {NodeRow(QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")),
                NodeRow(QStringLiteral("kRoot"), QStringLiteral("A"), QStringLiteral("K1")),
                NodeRow(QStringLiteral("kRoot"), QStringLiteral("B"), QStringLiteral("K2"))},
            all);
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        list(QStringLiteral("K1"));
    }
    void list(const QString &heading) { ws.list().refill(heading, ws.document().database()); }
    void selectAll() { ws.list().selectAll(); }
    QStringList names()
    {
        QStringList result;
        for (int i = 0; i < ws.list().model().count(); ++i)
            result << ws.list().model().entry(i).name;
        return result;
    }
    // Rows of one heading as "name:delFlag", in storage order, all flags.
    QStringList rows(const QString &heading)
    {
        QStringList result;
        auto rs = ws.document().database()->openRecordset(
            QStringLiteral("select * from tbItems where tKey = '%1'").arg(heading));
        for (; !rs->eof(); rs->moveNext())
            result << rs->text(QStringLiteral("urlName")) + QLatin1Char(':')
                    + QString::number(rs->integer(QStringLiteral("delFlag")));
        return result;
    }

    ScriptedMessageBoxes messages;
    RecordingDescription description;
    RecordingStatus status;
    outline::Workspace ws {{&messages, nullptr, nullptr, &description, &status, nullptr}};
    QAbstractItemModelTester tester {
        &ws.list().model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    QString path;
};

} // namespace

TEST_F(ClipboardFixture, CutMovesPendingRowsInPlaceAndCopiesCommittedOnesOnce)
{
    open({ItemRow(QStringLiteral("K1"), QStringLiteral("K1"), QStringLiteral("saved"),
              QStringLiteral("http://s"), 0),
        ItemRow(QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("O'Hara"),
            QStringLiteral("http://o"), 1)});
    selectAll();
    ws.list().cutBookmarks(QStringLiteral("K1"));
    list(QStringLiteral("K2"));
    ws.list().pasteBookmarks(QStringLiteral("K2"));
    EXPECT_EQ(names(),
        (QStringList {QStringLiteral("News"), QStringLiteral("News #1"), QStringLiteral("O'Hara"),
            QStringLiteral("saved")}));
    EXPECT_EQ(rows(QStringLiteral("K1")), QStringList {QStringLiteral("saved:-1")});
    EXPECT_EQ(rows(QStringLiteral("K2")),
        (QStringList {QStringLiteral("O'Hara:1"), QStringLiteral("News:0"),
            QStringLiteral("News #1:0"), QStringLiteral("saved:1")}));
    EXPECT_TRUE(ws.document().isModified());
    EXPECT_TRUE(ws.clipboard().isEmpty());
    // The arrived rows carry the keys of their new list entries and today.
    auto rs = ws.document().database()->openRecordset(
        QStringLiteral("select * from tbItems where tKey = 'K2' and urlName = 'o''hara'"));
    EXPECT_TRUE(ws.list().model().containsKey(rs->text(QStringLiteral("lKey"))));
    EXPECT_EQ(rs->text(QStringLiteral("urlDate")), outline::todayText());
    // Pasting the cut again does nothing.
    ws.list().pasteBookmarks(QStringLiteral("K2"));
    EXPECT_EQ(names().size(), 4);
}

TEST_F(ClipboardFixture, CopyPastesAgainAndNumbersClashingNames)
{
    open({ItemRow(QStringLiteral("K1"), QStringLiteral("K1"), QStringLiteral("News"),
        QStringLiteral("http://x"), 0)});
    selectAll();
    ws.list().copyBookmarks(QStringLiteral("K1"));
    list(QStringLiteral("K2"));
    ws.list().pasteBookmarks(QStringLiteral("K2"));
    ws.list().pasteBookmarks(QStringLiteral("K2"));
    EXPECT_EQ(names(),
        (QStringList {QStringLiteral("News"), QStringLiteral("News #1"), QStringLiteral("News #2"),
            QStringLiteral("News #3")}));
    list(QStringLiteral("K1"));
    ws.list().pasteBookmarks(QStringLiteral("K1")); // copy into its own heading
    EXPECT_EQ(names(), (QStringList {QStringLiteral("News"), QStringLiteral("News #1")}));
    EXPECT_EQ(rows(QStringLiteral("K1")),
        (QStringList {QStringLiteral("News:0"), QStringLiteral("News #1:1")}));
    EXPECT_FALSE(ws.clipboard().isEmpty());
}

TEST_F(ClipboardFixture, CutPastedIntoItsOwnHeadingOrAfterADeleteChangesNothing)
{
    open({ItemRow(QStringLiteral("K1"), QStringLiteral("K1"), QStringLiteral("a"),
              QStringLiteral("http://a"), 0),
        ItemRow(QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("b"),
            QStringLiteral("http://b"), 0)});
    selectAll();
    ws.list().cutBookmarks(QStringLiteral("K1"));
    ws.list().pasteBookmarks(QStringLiteral("K1"));
    EXPECT_TRUE(ws.clipboard().isEmpty());
    EXPECT_EQ(
        rows(QStringLiteral("K1")), (QStringList {QStringLiteral("a:0"), QStringLiteral("b:0")}));
    EXPECT_FALSE(ws.document().isModified());

    ws.list().selectRow(0);
    ws.list().cutBookmarks(QStringLiteral("K1"));
    ws.list().deleteBookmarks(QStringLiteral("K1"), true); // forgets the cut
    EXPECT_TRUE(ws.clipboard().isEmpty());
    list(QStringLiteral("K2"));
    ws.list().pasteBookmarks(QStringLiteral("K2"));
    EXPECT_EQ(names(), (QStringList {QStringLiteral("News"), QStringLiteral("News #1")}));
}

// A paste that fails part-way leaves every row as before it (all or nothing).
TEST_F(ClipboardFixture, PasteThatFailsChangesNoRow)
{
    open({ItemRow(QStringLiteral("K1"), QStringLiteral("K1"), QStringLiteral("a"),
              QStringLiteral("http://a"), 0),
        ItemRow(QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("b"),
            QStringLiteral("http://b"), 0),
        ItemRow(QStringLiteral("K1"), QStringLiteral("K3"), QStringLiteral("c"),
            QStringLiteral("http://c"), 1)});
    selectAll();
    ws.list().cutBookmarks(QStringLiteral("K1"));
    list(QStringLiteral("K2"));
    const QStringList before1 = rows(QStringLiteral("K1")), before2 = rows(QStringLiteral("K2"));
    int writes = 0;
    ws.document().database()->setWriteHook([&](const QString &) {
        if (++writes == 4)
            throw store::EngineError(store::EngineErrorCode::DiskFull, QStringLiteral("disk full"));
    });
    EXPECT_THROW(ws.list().pasteBookmarks(QStringLiteral("K2")), store::EngineError);
    ws.document().database()->setWriteHook({});
    EXPECT_EQ(rows(QStringLiteral("K1")), before1);
    EXPECT_EQ(rows(QStringLiteral("K2")), before2);
    EXPECT_EQ(names(), (QStringList {QStringLiteral("News"), QStringLiteral("News #1")}));
    EXPECT_FALSE(ws.clipboard().isEmpty()); // the cut can be pasted again
}

TEST_F(ClipboardFixture, DroppedBookmarksMoveWithEmptyKeysAndLeaveTheList)
{
    open({ItemRow(QStringLiteral("K1"), QStringLiteral("K1"), QStringLiteral("News"),
              QStringLiteral("http://s"), 0),
        ItemRow(QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("fresh"),
            QStringLiteral("http://f"), 1),
        ItemRow(QStringLiteral("K1"), QStringLiteral("K3"), QStringLiteral("stays"),
            QStringLiteral("http://t"), 0)});
    ws.list().selectRow(0); // "fresh"
    ws.list().selection().select(ws.list().model().index(1, 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows); // "News"
    ws.list().dropBookmarks(QStringLiteral("K2"));
    EXPECT_EQ(names(), QStringList {QStringLiteral("stays")});
    EXPECT_EQ(description.current, QStringLiteral("stays"));
    EXPECT_EQ(rows(QStringLiteral("K1")),
        (QStringList {QStringLiteral("News:-1"), QStringLiteral("stays:0")}));
    EXPECT_EQ(rows(QStringLiteral("K2")),
        (QStringList {QStringLiteral("fresh:1"), QStringLiteral("News:0"),
            QStringLiteral("News #1:0"), QStringLiteral("News #2:1")}));
    auto rs = ws.document().database()->openRecordset(
        QStringLiteral("select * from tbItems where tKey = 'K2' and delFlag = 1"));
    for (; !rs->eof(); rs->moveNext())
        EXPECT_EQ(rs->text(QStringLiteral("lKey")), QString());
    EXPECT_TRUE(ws.document().isModified());
    // Listing the target gives them keys.
    list(QStringLiteral("K2"));
    EXPECT_EQ(ws.list().model().count(), 4);
}
