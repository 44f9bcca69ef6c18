// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;

namespace {

QString homeFile(const QString &name)
{
    return common::homePath(name);
}

QString describe(const outline::HeadingNode *node, int depth = 0)
{
    QString text = QString(depth * 2, QLatin1Char(' ')) + node->title + QLatin1Char('[') + node->key
        + QLatin1Char(' ') + QString::number(node->image) + QLatin1Char('/')
        + QString::number(node->expandedImage) + QStringLiteral("]\n");
    for (const auto &child : node->children)
        text += describe(child.get(), depth + 1);
    return text;
}

// Saves `tree` into a fresh document and loads it back into a new tree.
QString roundTrip(const outline::HeadingTreeModel &tree)
{
    const QString path = homeFile(QStringLiteral("round.rdb"));
    QFile::remove(path);
    store::createEmptyDatabase(path);
    {
        auto db = store::openDocumentDatabase(path);
        outline::resolvePendingChanges(
            *db, &tree, quillet::store::Resolution::Save, nullptr, nullptr);
    }
    auto db = store::openDocumentDatabase(path);
    outline::HeadingTreeModel loaded;
    QAbstractItemModelTester tester(&loaded, QAbstractItemModelTester::FailureReportingMode::Fatal);
    outline::loadHeadingTree(*db, loaded, nullptr);
    return describe(loaded.root());
}

const QList<ItemRow> kMixedItems {
    {QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("kept"), QString(), 0},
    {QStringLiteral("kRoot"), QStringLiteral("K2"), QStringLiteral("added"), QString(), 1},
    {QStringLiteral("kRoot"), QStringLiteral("K3"), QStringLiteral("deleted"), QString(), -1},
    {QStringLiteral("K7"), QStringLiteral("K2"), QStringLiteral("added too"), QString(), 1},
};

} // namespace

TEST(HeadingTree, SingleRootRoundTripsAsOneRow)
{
    outline::HeadingTreeModel tree;
    tree.addRootHeading();
    EXPECT_EQ(roundTrip(tree), QStringLiteral("my Favroites[kRoot 1/2]\n"));
    EXPECT_EQ(nodeRows(homeFile(QStringLiteral("round.rdb"))),
        QStringList {QStringLiteral("0>kRoot:my Favroites")});
}

TEST(HeadingTree, SiblingOrderNestingAndBothImagesSurviveSaveAndLoad)
{
    outline::HeadingTreeModel tree;
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
    auto *root = tree.addRootHeading();
    auto *news = tree.appendHeading(root, QStringLiteral("News"), QStringLiteral("K10"), 3, 4);
    tree.appendHeading(news, QStringLiteral("World"), QStringLiteral("K11"), 5, 6);
    auto *local = tree.appendHeading(news, QStringLiteral("Local"), QStringLiteral("K12"), 7, 8);
    tree.appendHeading(local, QStringLiteral("Sports"), QStringLiteral("K13"), 3, 4);
    tree.appendHeading(root, QStringLiteral("Alpha"), QStringLiteral("K2"), 9, 10);
    tree.appendHeading(root, QStringLiteral("Zulu"), QStringLiteral("K3"), 1, 2);
    const QString expected = describe(root);
    EXPECT_EQ(roundTrip(tree), expected);
    // Pre-order: every row's parent is written before it.
    EXPECT_EQ(nodeRows(homeFile(QStringLiteral("round.rdb"))),
        (QStringList {QStringLiteral("0>kRoot:my Favroites"), QStringLiteral("kRoot>K10:News"),
            QStringLiteral("K10>K11:World"), QStringLiteral("K10>K12:Local"),
            QStringLiteral("K12>K13:Sports"), QStringLiteral("kRoot>K2:Alpha"),
            QStringLiteral("kRoot>K3:Zulu")}));
}

TEST(HeadingTree, BadHeadingTablesFailToLoadWithoutWritingToTheFile)
{
    const QList<QPair<const char *, QList<NodeRow>>> cases {
        {"empty", {}},
        {"root-not-first",
            {{QStringLiteral("kRoot"), QStringLiteral("Child"), QStringLiteral("K1")},
                {QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")}}},
        {"missing-parent",
            {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")},
                {QStringLiteral("K99"), QStringLiteral("Orphan"), QStringLiteral("K1")}}},
        {"duplicate-key",
            {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("A"), QStringLiteral("K1")},
                {QStringLiteral("kRoot"), QStringLiteral("B"), QStringLiteral("K1")}}},
    };
    for (const auto &c : cases) {
        const QString path = homeFile(QLatin1String(c.first) + QStringLiteral(".rdb"));
        writeDocument(path, c.second, {});
        const QByteArray before = fileBytes(path);
        {
            auto db = store::openDocumentDatabase(path);
            outline::HeadingTreeModel tree;
            RecordingProgress progress;
            EXPECT_THROW(outline::loadHeadingTree(*db, tree, &progress), store::EngineError)
                << c.first;
            EXPECT_FALSE(tree.inBulkLoad()) << c.first; // drawing resumed
        }
        EXPECT_EQ(fileBytes(path), before) << c.first;
    }
}

TEST(PendingChanges, SaveCommitsAddedRowsAndDropsDeletedOnes)
{
    const QString path = homeFile(QStringLiteral("mixed.rdb"));
    writeDocument(path, {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")}},
        kMixedItems);
    outline::HeadingTreeModel tree;
    tree.addRootHeading();
    RecordingProgress progress;
    RecordingStatus status;
    {
        auto db = store::openDocumentDatabase(path);
        outline::resolvePendingChanges(
            *db, &tree, quillet::store::Resolution::Save, &progress, &status);
    }
    EXPECT_EQ(itemRows(path),
        (QStringList {
            QStringLiteral("kept:0"), QStringLiteral("added:0"), QStringLiteral("added too:0")}));
    EXPECT_EQ(nodeRows(path), QStringList {QStringLiteral("0>kRoot:my Favroites")});
    EXPECT_TRUE(status.history.contains(QStringLiteral("Status: Saving file ...")));
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle"));
    EXPECT_FALSE(progress.visible);
    auto db = store::openDocumentDatabase(path);
    auto tips = db->openRecordset(QStringLiteral("tbTips"));
    ASSERT_EQ(tips->recordCount(), 1);
    EXPECT_EQ(tips->text(QStringLiteral("Version")), QStringLiteral("3.0"));
}

TEST(PendingChanges, DiscardRemovesAddedRowsRestoresDeletedOnesAndKeepsTheTree)
{
    const QString path = homeFile(QStringLiteral("mixed.rdb"));
    writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("Saved root"), QStringLiteral("kRoot")}},
        kMixedItems);
    outline::HeadingTreeModel tree;
    tree.addRootHeading();
    {
        auto db = store::openDocumentDatabase(path);
        outline::resolvePendingChanges(
            *db, &tree, quillet::store::Resolution::Discard, nullptr, nullptr);
    }
    EXPECT_EQ(
        itemRows(path), (QStringList {QStringLiteral("kept:0"), QStringLiteral("deleted:0")}));
    EXPECT_EQ(nodeRows(path), QStringList {QStringLiteral("0>kRoot:Saved root")});
}

// A failing engine in the middle of a save leaves the file exactly as it was
// before: the old tree and every pending row.
TEST(PendingChanges, SaveThatFailsMidwayChangesNothing)
{
    const QString path = homeFile(QStringLiteral("mixed.rdb"));
    writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("Saved root"), QStringLiteral("kRoot")}},
        kMixedItems);
    outline::HeadingTreeModel tree;
    auto *root = tree.addRootHeading();
    for (int i = 1; i <= 20; ++i)
        tree.appendHeading(
            root, QStringLiteral("H%1").arg(i), QStringLiteral("K%1").arg(100 + i), 1, 2);
    const QStringList itemsBefore = itemRows(path);
    for (int failAt : {1, 3, 10, 24, 25}) {
        auto db = store::openDocumentDatabase(path);
        int writes = 0;
        db->setWriteHook([&](const QString &) {
            if (++writes == failAt)
                throw store::EngineError(
                    store::EngineErrorCode::DiskFull, QStringLiteral("disk full"));
        });
        EXPECT_THROW(outline::resolvePendingChanges(
                         *db, &tree, quillet::store::Resolution::Save, nullptr, nullptr),
            store::EngineError)
            << failAt;
        db.reset();
        EXPECT_EQ(itemRows(path), itemsBefore) << failAt;
        EXPECT_EQ(nodeRows(path), QStringList {QStringLiteral("0>kRoot:Saved root")}) << failAt;
    }
}

// A save killed at any moment leaves the state before or the state after.
TEST(PendingChanges, SaveKilledInTheMiddleLeavesBeforeOrAfter)
{
    const QString path = homeFile(QStringLiteral("big.rdb"));
    QList<NodeRow> nodes {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")}};
    for (int i = 1; i < 3000; ++i)
        nodes.append({i < 100 ? QStringLiteral("kRoot") : QStringLiteral("K%1").arg(i / 100),
            QStringLiteral("Heading %1").arg(i), QStringLiteral("K%1").arg(i)});
    QList<ItemRow> items;
    for (int i = 0; i < 40000; ++i)
        items.append({QStringLiteral("K%1").arg(i % 2999 + 1), QStringLiteral("K%1").arg(i + 1),
            QStringLiteral("b%1").arg(i), QStringLiteral("http://x/%1").arg(i),
            i % 3 == 0 ? 0 : (i % 3 == 1 ? 1 : -1)});
    writeDocument(path, nodes, items);
    int sawBefore = 0;
    int sawAfter = 0;
    for (int delayMs : {0, 20, 60, 150, 400}) {
        QProcess saver;
        saver.start(QStringLiteral(QUILLET_HELPER_save_document), {path});
        ASSERT_TRUE(saver.waitForStarted());
        ASSERT_TRUE(saver.waitForReadyRead(30000));
        ASSERT_EQ(saver.readLine().trimmed(), QByteArray("saving"));
        QThread::msleep(delayMs);
        saver.kill();
        saver.waitForFinished();

        auto db = store::openDocumentDatabase(path);
        outline::HeadingTreeModel tree;
        outline::loadHeadingTree(*db, tree, nullptr); // must load: the tree is whole
        EXPECT_EQ(tree.headingCount(), 3000);
        auto pending
            = db->openRecordset(QStringLiteral("select * from tbItems where delFlag <> 0"));
        auto all = db->openRecordset(QStringLiteral("tbItems"));
        if (pending->recordCount() == 0) {
            ++sawAfter;
            EXPECT_EQ(all->recordCount(), 26667); // committed + added
        } else {
            ++sawBefore;
            EXPECT_EQ(pending->recordCount(), 26666);
            EXPECT_EQ(all->recordCount(), 40000);
        }
        if (sawAfter)
            break; // nothing pending is left to interrupt
    }
    EXPECT_GT(sawBefore + sawAfter, 0);
}
