// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;
using outline::HeadingMove;
using outline::HeadingNode;

namespace {

// "Title" with "*" when expanded, children in brackets: Root*[A B[B1]].
QString shape(const HeadingNode *node)
{
    QString text = node->title + (node->expanded ? QStringLiteral("*") : QString());
    if (node->children.empty())
        return text;
    QStringList children;
    for (const auto &child : node->children)
        children << shape(child.get());
    return text + QLatin1Char('[') + children.join(QLatin1Char(' ')) + QLatin1Char(']');
}

class HeadingFixture : public ::testing::Test
{
protected:
    outline::HeadingTreeModel &tree() { return ws.tree(); }
    HeadingNode *add(HeadingNode *parent, const QString &title, const QString &key)
    {
        return tree().appendHeading(parent, title, key, 3, 4);
    }
    // Root[A[A1 A2] B[B1[B11] B2] C], keys K + title.
    void buildSample()
    {
        HeadingNode *root = tree().addRootHeading();
        tree().setTitle(root, QStringLiteral("Root"));
        root->expanded = true;
        HeadingNode *a = add(root, QStringLiteral("A"), QStringLiteral("KA"));
        add(a, QStringLiteral("A1"), QStringLiteral("KA1"));
        add(a, QStringLiteral("A2"), QStringLiteral("KA2"));
        HeadingNode *b = add(root, QStringLiteral("B"), QStringLiteral("KB"));
        HeadingNode *b1 = add(b, QStringLiteral("B1"), QStringLiteral("KB1"));
        add(b1, QStringLiteral("B11"), QStringLiteral("KB11"));
        add(b, QStringLiteral("B2"), QStringLiteral("KB2"));
        add(root, QStringLiteral("C"), QStringLiteral("KC"));
    }
    HeadingNode *node(const char *key) { return tree().findByKey(QLatin1String(key)); }
    bool move(const char *key, HeadingMove direction)
    {
        tree().setCurrent(node(key));
        return outline::HeadingOperations(ws).moveHeading(direction);
    }
    std::string treeShape() { return shape(tree().root()).toStdString(); }

    ScriptedMessageBoxes messages;
    RecordingDescription description;
    RecordingStatus status;
    RecordingProgress progress;
    outline::Workspace ws {{&messages, nullptr, nullptr, &description, &status, &progress}};
    QAbstractItemModelTester tester {
        &ws.tree(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(HeadingFixture, ImpossibleMovesChangeNothingAndLeaveTheDocumentUnmodified)
{
    buildSample();
    add(node("KC"), QStringLiteral("C1"), QStringLiteral("KC1"));
    const std::string before = treeShape();
    EXPECT_FALSE(move("KA1", HeadingMove::Up)); // first child of the first child of the root
    EXPECT_FALSE(move("KA", HeadingMove::Left)); // directly under the root
    EXPECT_FALSE(move("KB1", HeadingMove::Right)); // first child
    EXPECT_FALSE(move("KC1", HeadingMove::Down)); // last child of the last heading
    EXPECT_FALSE(move("KC", HeadingMove::Down)); // the root's last child
    for (HeadingMove direction :
        {HeadingMove::Up, HeadingMove::Down, HeadingMove::Left, HeadingMove::Right})
        EXPECT_FALSE(move("kRoot", direction));
    tree().setCurrent(nullptr);
    EXPECT_FALSE(outline::HeadingOperations(ws).moveHeading(HeadingMove::Up));
    EXPECT_EQ(treeShape(), before);
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(HeadingFixture, UpAndDownSwapWithASiblingKeepingTheNodeItsKeyAndItsChildren)
{
    buildSample();
    HeadingNode *b = node("KB");
    b->expanded = true;
    const QPersistentModelIndex index = tree().indexOf(b);
    EXPECT_TRUE(move("KB", HeadingMove::Up));
    EXPECT_EQ(treeShape(), "Root*[B*[B1[B11] B2] A[A1 A2] C]");
    EXPECT_EQ(node("KB"), b);
    EXPECT_EQ(tree().current(), b);
    EXPECT_EQ(tree().nodeAt(index), b); // views keep their place on it
    EXPECT_TRUE(ws.document().isModified());
    EXPECT_TRUE(move("KB", HeadingMove::Down));
    EXPECT_TRUE(move("KB", HeadingMove::Down));
    EXPECT_EQ(treeShape(), "Root*[A[A1 A2] C B*[B1[B11] B2]]");
}

TEST_F(HeadingFixture, UpFromAFirstChildGoesToTheEndOfTheHeadingAboveItsParentRenamedOnAClash)
{
    buildSample();
    add(node("KA"), QStringLiteral("  b1 "), QStringLiteral("KX"));
    add(node("KA"), QStringLiteral("B1 #1"), QStringLiteral("KY"));
    EXPECT_TRUE(move("KB1", HeadingMove::Up));
    EXPECT_EQ(treeShape(), "Root*[A*[A1 A2   b1  B1 #1 B1 #2[B11]] B[B2] C]");
    EXPECT_EQ(node("KB1")->parent, node("KA"));
    EXPECT_EQ(tree().current(), node("KB1"));
}

TEST_F(HeadingFixture, DownFromALastChildBecomesFirstChildOfTheNextHeadingKeepingItsState)
{
    buildSample();
    HeadingNode *a2 = node("KA2");
    add(a2, QStringLiteral("A21"), QStringLiteral("KA21"));
    a2->expanded = true;
    add(node("KB"), QStringLiteral("a2"), QStringLiteral("KZ"));
    EXPECT_TRUE(move("KA2", HeadingMove::Down));
    EXPECT_EQ(treeShape(), "Root*[A[A1] B*[A2 #1*[A21] B1[B11] B2 a2] C]");
    EXPECT_EQ(node("KA2"), a2);
    EXPECT_EQ(tree().current(), a2);
}

TEST_F(HeadingFixture, LeftAdoptsTheFollowingSiblingsAfterTheHeadingsOwnChildren)
{
    buildSample();
    HeadingNode *b = node("KB");
    add(b, QStringLiteral("B3"), QStringLiteral("KB3"));
    add(node("KB2"), QStringLiteral("B21"), QStringLiteral("KB21"));
    add(tree().root(), QStringLiteral("b1"), QStringLiteral("KW")); // clash at the grandparent
    EXPECT_TRUE(move("KB1", HeadingMove::Left));
    EXPECT_EQ(treeShape(), "Root*[A[A1 A2] B B1 #1*[B11 B2[B21] B3] C b1]");
    EXPECT_EQ(node("KB1")->key, QStringLiteral("KB1"));
    EXPECT_TRUE(ws.document().isModified());
}

TEST_F(HeadingFixture, LeftOnALastChildKeepsItsOwnExpandedFlag)
{
    buildSample();
    EXPECT_TRUE(move("KB2", HeadingMove::Left));
    EXPECT_EQ(treeShape(), "Root*[A[A1 A2] B[B1[B11]] B2 C]");
    node("KB11")->expanded = true;
    EXPECT_TRUE(move("KB11", HeadingMove::Left));
    EXPECT_EQ(treeShape(), "Root*[A[A1 A2] B[B1 B11*] B2 C]");
}

TEST_F(HeadingFixture, RightMakesTheHeadingTheLastChildOfItsPreviousSibling)
{
    buildSample();
    add(node("KA"), QStringLiteral("B"), QStringLiteral("KV"));
    EXPECT_TRUE(move("KB", HeadingMove::Right));
    EXPECT_EQ(treeShape(), "Root*[A*[A1 A2 B B #1[B1[B11] B2]] C]");
}

TEST_F(HeadingFixture, MovedHeadingsKeepTheirBookmarksAndTheirNewOrderSurvivesSave)
{
    const QString path = common::homePath(QStringLiteral("moves.rdb"));
    writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")},
            {QStringLiteral("kRoot"), QStringLiteral("News"), QStringLiteral("K1")},
            {QStringLiteral("kRoot"), QStringLiteral("Food"), QStringLiteral("K2")},
            {QStringLiteral("K2"), QStringLiteral("Soup"), QStringLiteral("K3")}},
        {{QStringLiteral("K3"), QStringLiteral("K9"), QStringLiteral("Minestrone"),
            QStringLiteral("http://soup.example.org")}});
    ws.document().adoptOpened(store::openDocumentDatabase(path), path);
    outline::loadHeadingTree(*ws.document().database(), tree(), nullptr);

    EXPECT_TRUE(move("K3", HeadingMove::Up)); // to the end of News
    outline::HeadingOperations(ws).treeClicked();
    EXPECT_EQ(ws.list().listedHeading(), QStringLiteral("K3"));
    ASSERT_EQ(ws.list().model().count(), 1);
    EXPECT_EQ(ws.list().model().entry(0).name, QStringLiteral("Minestrone"));
    EXPECT_TRUE(move("K2", HeadingMove::Up));

    outline::resolvePendingChanges(
        *ws.document().database(), &tree(), quillet::store::Resolution::Save, nullptr, nullptr);
    outline::HeadingTreeModel reloaded;
    outline::loadHeadingTree(*ws.document().database(), reloaded, nullptr);
    EXPECT_EQ(shape(reloaded.root()), QStringLiteral("Root*[Food News[Soup]]"));
}

TEST(HeadingTitles, FindChildHeadingTrimsAndIgnoresCase)
{
    outline::HeadingTreeModel tree;
    HeadingNode *root = tree.addRootHeading();
    HeadingNode *work
        = tree.appendHeading(root, QStringLiteral(" Work "), QStringLiteral("K1"), 1, 2);
    EXPECT_EQ(outline::findChildHeading(QStringLiteral("wORK  "), root), work);
    EXPECT_EQ(outline::findChildHeading(QStringLiteral("Work"), work), nullptr);
    EXPECT_EQ(outline::findChildHeading(QStringLiteral("my Favroites"), nullptr), nullptr);
}

TEST(HeadingTitles, UniqueTitleAlwaysAppendsTheFirstFreeNumber)
{
    outline::HeadingTreeModel tree;
    HeadingNode *root = tree.addRootHeading();
    EXPECT_EQ(outline::uniqueHeadingTitle(QStringLiteral("Work"), root), QStringLiteral("Work #1"));
    tree.appendHeading(root, QStringLiteral("work #1"), QStringLiteral("K1"), 1, 2);
    tree.appendHeading(root, QStringLiteral(" WORK #2 "), QStringLiteral("K2"), 1, 2);
    tree.appendHeading(root, QStringLiteral("Work #4"), QStringLiteral("K4"), 1, 2);
    EXPECT_EQ(outline::uniqueHeadingTitle(QStringLiteral("Work"), root), QStringLiteral("Work #3"));
    EXPECT_EQ(
        outline::uniqueHeadingTitle(QStringLiteral("Work #1"), root), QStringLiteral("Work #1 #1"));
}

TEST(HeadingTitles, TransplantPutsTheOldChildrenFirstAndHandsOverTheKey)
{
    outline::HeadingTreeModel tree;
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
    HeadingNode *root = tree.addRootHeading();
    HeadingNode *old = tree.appendHeading(root, QStringLiteral("Old"), QStringLiteral("K1"), 5, 6);
    old->expanded = true;
    tree.appendHeading(old, QStringLiteral("x"), QStringLiteral("K2"), 1, 2);
    tree.appendHeading(old, QStringLiteral("y"), QStringLiteral("K3"), 1, 2);
    HeadingNode *fresh
        = tree.appendHeading(root, QStringLiteral("New"), QStringLiteral("K8"), 1, 2);
    tree.appendHeading(fresh, QStringLiteral("z"), QStringLiteral("K4"), 1, 2);
    outline::transplantHeading(tree, fresh, old);
    EXPECT_EQ(shape(root), QStringLiteral("my Favroites[Old*[x y z]]"));
    EXPECT_EQ(fresh->key, QStringLiteral("K1"));
    EXPECT_EQ(tree.findByKey(QStringLiteral("K1")), fresh);
    EXPECT_FALSE(tree.containsKey(QStringLiteral("K8")));
    EXPECT_EQ(fresh->image, 5);
    EXPECT_EQ(fresh->expandedImage, 6);
    EXPECT_EQ(tree.current(), fresh);
    EXPECT_EQ(tree.headingCount(), 5);
}

namespace {

// A document with bookmarks of every pending state under a heading with two
// levels of sub-headings.
class DeleteFixture : public HeadingFixture
{
protected:
    void SetUp() override
    {
        path = common::homePath(QStringLiteral("delete.rdb"));
        auto item = [](const char *heading, const char *name, int delFlag) {
            return ItemRow(QLatin1String(heading), QStringLiteral("K") + QLatin1String(name),
                QLatin1String(name), QStringLiteral("http://example.org/") + QLatin1String(name),
                delFlag);
        };
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("Keep"), QStringLiteral("K1")},
                {QStringLiteral("kRoot"), QStringLiteral("Doomed"), QStringLiteral("K2")},
                {QStringLiteral("K2"), QStringLiteral("Child"), QStringLiteral("K3")},
                {QStringLiteral("K3"), QStringLiteral("Grandchild"), QStringLiteral("K4")},
                {QStringLiteral("K2"), QStringLiteral("Second"), QStringLiteral("K5")}},
            {item("K1", "keep0", 0), item("K1", "keep1", 1), item("K2", "d0", 0),
                item("K2", "d1", 1), item("K3", "c0", 0), item("k3", "c1", 1), item("K4", "g0", 0),
                item("K4", "g1", 1), item("K4", "gx", -1), item("K5", "s1", 1),
                item("kRoot", "r0", 0)});
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        outline::loadHeadingTree(*ws.document().database(), tree(), nullptr);
        ws.list().fill(QStringLiteral("kRoot"), ws.document().database());
    }
    QStringList rows()
    {
        QStringList out;
        auto rs = ws.document().database()->openRecordset(QStringLiteral("tbItems"));
        for (; !rs->eof(); rs->moveNext())
            out << rs->text(QStringLiteral("urlName")) + QLatin1Char(':')
                    + QString::number(rs->integer(QStringLiteral("delFlag")));
        return out;
    }
    bool deleteCurrent()
    {
        outline::HeadingOperations ops(ws);
        const bool deleted = ops.deleteHeading();
        ops.treeClicked();
        return deleted;
    }
    QString path;
};

} // namespace

TEST_F(DeleteFixture, DeletingAHeadingPurgesItsWholeSubtreeAndListsThePreviousSibling)
{
    tree().setCurrent(node("K2"));
    EXPECT_TRUE(deleteCurrent());
    EXPECT_EQ(treeShape(), "Root*[Keep]");
    for (const char *gone : {"K2", "K3", "K4", "K5"})
        EXPECT_FALSE(tree().containsKey(QLatin1String(gone))) << gone;
    EXPECT_EQ(rows(),
        (QStringList {QStringLiteral("keep0:0"), QStringLiteral("keep1:1"), QStringLiteral("d0:-1"),
            QStringLiteral("c0:-1"), QStringLiteral("g0:-1"), QStringLiteral("gx:-1"),
            QStringLiteral("r0:0")}));
    EXPECT_EQ(tree().current(), node("K1"));
    EXPECT_EQ(ws.list().listedHeading(), QStringLiteral("K1"));
    EXPECT_EQ(ws.list().model().count(), 2);
    EXPECT_TRUE(ws.document().isModified());
    // Each heading with rows reports itself, depth first, the deleted one last.
    QStringList dealing;
    for (const QString &text : status.history) {
        if (text.startsWith(QStringLiteral("Status: Dealing")))
            dealing << text;
    }
    EXPECT_EQ(dealing,
        (QStringList {QStringLiteral("Status: Dealing with \"Child\" ..."),
            QStringLiteral("Status: Dealing with \"Grandchild\" ..."),
            QStringLiteral("Status: Dealing with \"Second\" ..."),
            QStringLiteral("Status: Dealing with \"Doomed\" ...")}));
    EXPECT_TRUE(progress.everShown);
    EXPECT_EQ(progress.maximum, 2); // Doomed's two rows
    EXPECT_EQ(progress.value, 2);
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 2 bookmarks found."));
}

TEST_F(DeleteFixture, WithoutAPreviousSiblingTheParentIsSelectedAndListed)
{
    tree().setCurrent(node("K3"));
    EXPECT_TRUE(deleteCurrent());
    EXPECT_EQ(treeShape(), "Root*[Keep Doomed[Second]]");
    EXPECT_EQ(tree().current(), node("K2"));
    EXPECT_EQ(ws.list().listedHeading(), QStringLiteral("K2"));
    EXPECT_EQ(ws.list().model().count(), 2);
}

TEST_F(DeleteFixture, TheRootIsRefusedWithATipAndNothingChanges)
{
    const QStringList before = rows();
    EXPECT_FALSE(deleteCurrent());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral(" Can not delete root node."));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Tips"));
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(tree().headingCount(), 6);
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(DeleteFixture, AFailingEngineLeavesRowsAndTreeAsTheyWere)
{
    const QStringList before = rows();
    int writes = 0;
    ws.document().database()->setWriteHook([&](const QString &) {
        if (++writes == 4)
            throw store::EngineError(store::EngineErrorCode::DiskFull, QStringLiteral("disk full"));
    });
    tree().setCurrent(node("K2"));
    EXPECT_THROW(outline::HeadingOperations(ws).deleteHeading(), store::EngineError);
    ws.document().database()->setWriteHook({});
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(tree().headingCount(), 6);
    EXPECT_EQ(tree().current(), node("K2"));
    EXPECT_FALSE(ws.document().isModified());
    EXPECT_FALSE(progress.visible);
}

TEST_F(DeleteFixture, AClickRefillsOnlyWhenTheSelectedHeadingChanged)
{
    outline::HeadingOperations ops(ws);
    const int shows = description.shows;
    ops.treeClicked(); // the root is listed already
    EXPECT_EQ(description.shows, shows);
    tree().setCurrent(node("K4"));
    ops.treeClicked();
    EXPECT_EQ(ws.list().listedHeading(), QStringLiteral("K4"));
    EXPECT_EQ(ws.list().model().count(), 2);
    tree().setCurrent(nullptr);
    ops.treeClicked();
    EXPECT_TRUE(ws.list().listedHeading().isEmpty());
    EXPECT_EQ(ws.list().model().count(), 0);
}

TEST_F(HeadingFixture, TheModelRefusesMovesIntoTheirOwnSubtreeOrOntoThemselves)
{
    buildSample();
    const std::string before = treeShape();
    EXPECT_FALSE(tree().moveHeading(node("KB"), node("KB11"), 0));
    EXPECT_FALSE(tree().moveHeading(node("KB"), node("KB"), 0));
    EXPECT_FALSE(tree().moveHeading(node("KB"), tree().root(), 1)); // where it is
    EXPECT_FALSE(tree().moveHeading(node("KB"), tree().root(), 2)); // just after itself
    EXPECT_FALSE(tree().moveHeadings(tree().root(), 0, 1, node("KA1"), 0));
    EXPECT_EQ(treeShape(), before);
    EXPECT_TRUE(tree().moveHeadings(tree().root(), 0, 1, node("KC"), -1));
    EXPECT_EQ(treeShape(), "Root*[C[A[A1 A2] B[B1[B11] B2]]]");
    EXPECT_EQ(tree().headingCount(), 9);
}
