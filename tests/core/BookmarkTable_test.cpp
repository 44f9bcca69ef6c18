// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "core/common/AppHome.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/RowLog.h"
#include "core/store/Schema.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;
using store::RowState;

namespace {

class BookmarkTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = common::homePath(QStringLiteral("rows.rdb"));
        QList<ItemRow> items {ItemRow(QStringLiteral("K1"), QStringLiteral("a"),
                                  QStringLiteral("O'Reilly Café"), QStringLiteral("http://o")),
            ItemRow(QStringLiteral("K1"), QStringLiteral("b"), QStringLiteral("Gone"),
                QStringLiteral("http://g"), -1),
            ItemRow(QStringLiteral("K1"), QStringLiteral("c"), QStringLiteral("New"),
                QStringLiteral("http://n"), 1)};
        items[0].pictureFile = QStringLiteral("pic.png");
        writeDocument(path,
            {NodeRow(QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")),
                NodeRow(QStringLiteral("kRoot"), QStringLiteral("A"), QStringLiteral("K1"))},
            items);
        db = store::openDocumentDatabase(path);
        table.emplace(*db);
    }
    QStringList states()
    {
        QStringList out;
        for (const store::BookmarkRow &row : table->allRows(QStringLiteral("K1")))
            out << row.name + QLatin1Char(':') + QString::number(static_cast<int>(row.state));
        return out;
    }

    std::unique_ptr<store::Database> db;
    std::optional<store::BookmarkTable> table;
};

// Keys and names compare as the engine's text does: no regard to case
// (accented letters included), quotes taken literally; removed rows are
// invisible.
TEST_F(BookmarkTableTest, LookupsFollowTheEngineTextRulesAndSkipRemovedRows)
{
    EXPECT_TRUE(table->nameExists(QStringLiteral("k1"), QStringLiteral("o'reilly CAFÉ")));
    EXPECT_FALSE(table->nameExists(QStringLiteral("K1"), QStringLiteral("Gone")));
    EXPECT_FALSE(table->nameExists(QStringLiteral("K1"), QStringLiteral("x' OR '1'='1")));
    ASSERT_TRUE(table->findLive(QStringLiteral("K1"), QStringLiteral("A")));
    EXPECT_FALSE(table->findLive(QStringLiteral("K1"), QStringLiteral("b")));
    EXPECT_EQ(table->liveNames(QStringLiteral("K1")),
        (QStringList {QStringLiteral("O'Reilly Café"), QStringLiteral("New")}));
    EXPECT_EQ(table->countLive(QStringLiteral("K1")), 2);
    const auto refs = table->liveRowsOf({QStringLiteral("k1"), QStringLiteral("K9")});
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0].size(), 2u);
    EXPECT_TRUE(refs[1].empty());
}

// A saved row is superseded by a pending copy that keeps its picture and
// thumbnail; a pending row changes in place; Discard restores the saved
// state and Save settles it.
TEST_F(BookmarkTableTest, ChangesSupersedeSavedRowsAndSettleAtDiscardAndSave)
{
    const qint64 saved = table->findLive(QStringLiteral("K1"), QStringLiteral("a"))->id;
    store::BookmarkChange thumb;
    thumb.thumbnail = QByteArray("\x89PNG", 4);
    {
        store::Transaction t(*db);
        table->change(saved, thumb); // the first change supersedes...
        t.commit();
    }
    const auto copy = table->findLive(QStringLiteral("K1"), QStringLiteral("a"));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->id, saved);
    store::BookmarkChange rename;
    rename.name = QStringLiteral("Renamed");
    const auto changed = table->change(copy->id, rename); // ...the next one is in place
    ASSERT_TRUE(changed);
    EXPECT_FALSE(changed->superseded);
    EXPECT_FALSE(table->change(saved, rename)); // a removed row is not live
    const auto now = table->findLive(QStringLiteral("K1"), QStringLiteral("a"));
    EXPECT_EQ(now->name, QStringLiteral("Renamed"));
    EXPECT_EQ(now->pictureFile, QStringLiteral("pic.png"));
    EXPECT_EQ(now->thumbnail, QByteArray("\x89PNG", 4));
    EXPECT_EQ(now->state, RowState::Added);

    table->undoPending();
    EXPECT_EQ(
        states(), (QStringList {QStringLiteral("O'Reilly Café:0"), QStringLiteral("Gone:0")}));
    table->remove({saved, RowState::Committed});
    table->commitPending();
    EXPECT_EQ(states(), (QStringList {QStringLiteral("Gone:0")}));
}

// Many rows removed at once (a heading's, a duplicate list's) go in a few
// statements; rows already gone are passed over, and what the step recorded
// brings every row back with its ID and state.
TEST_F(BookmarkTableTest, ManyRowsGoTogetherAndAnUndoBringsThemBackWhole)
{
    struct Journal : store::RowJournal
    {
        store::RowLog log;
        store::RowLog *recordingLog() override { return &log; }
        void rolledBack() override { }
        void settled() override { }
    } journal;
    store::BookmarkTable::prepareHistory(*db);
    std::vector<store::RowRef> doomed;
    for (int i = 0; i < 4; ++i) {
        store::BookmarkRow row;
        row.headingKey = QStringLiteral("K1");
        row.name = QStringLiteral("p%1").arg(i);
        doomed.push_back({table->addPending(row), RowState::Added});
    }
    for (const store::BookmarkRow &row : table->allRows(QStringLiteral("K1")))
        if (row.state != RowState::Removed)
            doomed.push_back({row.id, row.state});
    doomed.push_back({9999, RowState::Committed}); // gone meanwhile
    doomed.push_back({9998, RowState::Added});
    const QStringList before = states();

    db->setRowJournal(&journal);
    table->remove(doomed);
    db->setRowJournal(nullptr);
    const QStringList after = states();
    EXPECT_EQ(after, (QStringList {QStringLiteral("O'Reilly Café:-1"), QStringLiteral("Gone:-1")}));

    store::RowLog redo;
    table->playBack(journal.log, redo);
    EXPECT_EQ(states(), before);
    store::RowLog undo;
    table->playBack(redo, undo);
    EXPECT_EQ(states(), after);
}

} // namespace
