// SPDX-License-Identifier: GPL-3.0-or-later
// Find and the duplicate scan without their windows.
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/search/BookmarkFinder.h"
#include "core/search/DuplicateScan.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/PendingChanges.h"
#include "core/store/Schema.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;

namespace {

const QString kRoot = QStringLiteral("kRoot");
const QString kNews = QStringLiteral("K10");
const QString kLocal = QStringLiteral("K11");

ItemRow item(const QString &heading, const QString &key, const QString &name, const QString &link,
    int delFlag = 0, const QString &description = {})
{
    ItemRow row(heading, key, name, link, delFlag);
    row.description = description;
    return row;
}

class SearchFixture : public ::testing::Test
{
protected:
    void open(const QList<ItemRow> &items)
    {
        path = common::homePath(QStringLiteral("search.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), kRoot},
                {kRoot, QStringLiteral("News"), kNews}, {kNews, QStringLiteral("Local"), kLocal}},
            items);
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        outline::loadHeadingTree(db(), ws.tree(), nullptr);
        ws.selectHeading(ws.tree().findByKey(kNews));
    }
    store::Database &db() { return *ws.document().database(); }
    QStringList found(const QString &text, store::FindScope scope = store::FindScope::All)
    {
        finder.find(text, static_cast<int>(scope));
        QStringList names;
        for (int i = 0; i < finder.results().count(); ++i)
            names << finder.results().at(i).name;
        return names;
    }
    QStringList lines()
    {
        QStringList out;
        for (int i = 0; i < scan.model().count(); ++i) {
            const search::DuplicateLine &l = scan.model().at(i);
            out << (l.group ? l.text : l.text + QLatin1Char('|') + l.category);
        }
        return out;
    }
    int rowOf(const QString &text)
    {
        for (int i = 0; i < scan.model().count(); ++i) {
            if (scan.model().at(i).text == text)
                return i;
        }
        return -1;
    }
    // "name:delFlag" of the rows of News, then of Local.
    QStringList rows()
    {
        QStringList out;
        for (const QString &heading : {kNews, kLocal}) {
            for (const store::BookmarkRow &row : store::BookmarkTable(db()).allRows(heading))
                out << row.name + QLatin1Char(':') + QString::number(int(row.state));
        }
        return out;
    }

    QString path;
    ScriptedMessageBoxes messages;
    RecordingDesktop desktop;
    RecordingDescription description;
    RecordingStatus status;
    outline::Workspace ws {{&messages, nullptr, &desktop, &description, &status, nullptr}};
    search::BookmarkFinder finder {ws};
    search::DuplicateScan scan {ws};
};

TEST_F(SearchFixture, FindKeepsTheEnginesWildcardsAndQuotesTheText)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Order 123"), QStringLiteral("w1")),
        item(kNews, QStringLiteral("K2"), QStringLiteral("Ticket 12a"), QStringLiteral("w2")),
        item(kNews, QStringLiteral("K3"), QStringLiteral("Code 1a3"), QStringLiteral("w3")),
        item(kNews, QStringLiteral("K4"), QStringLiteral("bx item"), QStringLiteral("w4")),
        item(kNews, QStringLiteral("K5"), QStringLiteral("dx item"), QStringLiteral("w5")),
        item(kNews, QStringLiteral("K6"), QStringLiteral("O'Reilly books"), QStringLiteral("w6")),
        item(kNews, QStringLiteral("K7"), QStringLiteral("Café ÉCLAIR"), QStringLiteral("w7")),
        item(kLocal, QStringLiteral("K8"), QStringLiteral("tail"), QStringLiteral("end.example"), 0,
            QStringLiteral("notes")),
        item(kNews, QStringLiteral("K9"), QStringLiteral("Order 999 gone"), QStringLiteral("w9"),
            -1),
        item(kNews, QStringLiteral("K10"), QStringLiteral("Order 777 new"), QStringLiteral("w0"),
            1)});

    EXPECT_EQ(found(QStringLiteral("12?")),
        QStringList({QStringLiteral("Order 123"), QStringLiteral("Ticket 12a")}));
    EXPECT_EQ(found(QStringLiteral("1#3")), QStringList {QStringLiteral("Order 123")});
    EXPECT_EQ(found(QStringLiteral("[a-c]x")), QStringList {QStringLiteral("bx item")});
    EXPECT_EQ(found(QStringLiteral("o'REILLY")), QStringList {QStringLiteral("O'Reilly books")});
    EXPECT_EQ(found(QStringLiteral("café éclair")), QStringList {QStringLiteral("Café ÉCLAIR")});
    // "All" runs across name, link and description joined.
    EXPECT_EQ(found(QStringLiteral("tailend")), QStringList {QStringLiteral("tail")});
    EXPECT_EQ(found(QStringLiteral("examplenotes")), QStringList {QStringLiteral("tail")});
    EXPECT_EQ(found(QStringLiteral("end"), store::FindScope::Links),
        QStringList {QStringLiteral("tail")});
    EXPECT_EQ(found(QStringLiteral("ORDER")),
        QStringList({QStringLiteral("Order 123"), QStringLiteral("Order 777 new")}));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(finder.canClear());

    // A trailing blank is searched for; a failed search keeps the hits.
    EXPECT_EQ(found(QStringLiteral("123 ")),
        QStringList({QStringLiteral("Order 123"), QStringLiteral("Order 777 new")}));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("\"123 \" could not be found."));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Find"));
    EXPECT_EQ(found(QStringLiteral("tailend"), store::FindScope::Names).size(), 2);
    EXPECT_EQ(messages.shown.size(), 2);

    finder.clearResults();
    EXPECT_EQ(finder.results().count(), 0);
    EXPECT_FALSE(finder.canClear());
    EXPECT_FALSE(search::BookmarkFinder::canFind(QStringLiteral("   ")));
}

TEST_F(SearchFixture, JumpListsTheHeadingOrSaysItIsGone)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("front"), QStringLiteral("w1")),
        item(kLocal, QStringLiteral("K1"), QStringLiteral("first"), QStringLiteral("w2")),
        item(kLocal, QStringLiteral("K2"), QStringLiteral("target"), QStringLiteral("w3"))});
    ASSERT_EQ(found(QStringLiteral("target")), QStringList {QStringLiteral("target")});
    finder.jumpTo(0);
    EXPECT_EQ(ws.tree().current(), ws.tree().findByKey(kLocal));
    EXPECT_EQ(ws.list().listedHeading(), kLocal);
    EXPECT_EQ(ws.list().selectedKey(), QStringLiteral("K2"));
    EXPECT_EQ(description.current, QStringLiteral("target"));

    ws.selectHeading(ws.tree().findByKey(kNews));
    ws.tree().removeHeading(ws.tree().findByKey(kLocal));
    finder.jumpTo(0);
    ASSERT_EQ(messages.texts(), QStringList {search::BookmarkFinder::headingGoneMessage()});
    EXPECT_EQ(ws.list().listedHeading(), kNews);
    EXPECT_EQ(description.current, QStringLiteral("front"));
}

TEST_F(SearchFixture, ScanGroupsLinksIgnoringCaseWithHeadingPaths)
{
    open({item(
              kNews, QStringLiteral("K1"), QStringLiteral("one"), QStringLiteral("http://Dup.org")),
        item(kLocal, QStringLiteral("K2"), QStringLiteral("two"), QStringLiteral("http://dup.ORG")),
        item(kRoot, QStringLiteral("K3"), QStringLiteral("gone"), QStringLiteral("http://dup.org"),
            -1),
        item(kRoot, QStringLiteral("K4"), QStringLiteral("new"), QStringLiteral("x.org"), 1),
        item(kNews, QStringLiteral("K5"), QStringLiteral("old"), QStringLiteral("X.ORG")),
        item(kNews, QStringLiteral("K6"), QStringLiteral("alone"), QStringLiteral("y.org"))});
    QAbstractItemModelTester tester(&scan.model());
    QAbstractItemModelTester findTester(&finder.results());
    scan.scan();
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 6);
    EXPECT_EQ(got[0].toLower(), QStringLiteral(" http://dup.org"));
    EXPECT_EQ(got.mid(1, 2),
        QStringList({QStringLiteral(" one|my Favroites\\News"),
            QStringLiteral(" two|my Favroites\\News\\Local")}));
    EXPECT_EQ(got[3].toLower(), QStringLiteral(" x.org"));
    EXPECT_EQ(got.mid(4),
        QStringList(
            {QStringLiteral(" new|my Favroites"), QStringLiteral(" old|my Favroites\\News")}));
    EXPECT_EQ(scan.model().at(0).tag, QStringLiteral("0"));
    EXPECT_EQ(scan.model().data(scan.model().index(0, 0), Qt::ForegroundRole).value<QColor>(),
        QColor(0, 0, 255));

    // A group opens its link as stored; a member opens nothing.
    scan.clickRow(1);
    scan.clickRow(3);
    EXPECT_EQ(desktop.links, QStringList {scan.model().at(3).link});
    EXPECT_EQ(desktop.links[0].toLower(), QStringLiteral("x.org"));

    // Group rows alone delete nothing.
    scan.deleteRows({0, 3});
    EXPECT_EQ(scan.model().count(), 6);
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(SearchFixture, DeleteActsOnTheMembersOwnRowAndDiscardBringsItBack)
{
    // The first "Same" of News holds another link: a lookup by heading and
    // name would delete it instead of the duplicate.
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Same"), QStringLiteral("other.org")),
        item(kNews, QStringLiteral("K2"), QStringLiteral("Same"), QStringLiteral("dup.org")),
        item(kLocal, QStringLiteral("K3"), QStringLiteral("Copy"), QStringLiteral("dup.org"), 1),
        item(kLocal, QStringLiteral("K4"), QStringLiteral("Kept"), QStringLiteral("dup.org"))});
    scan.scan();
    ASSERT_EQ(scan.model().count(), 4);
    scan.deleteRows({rowOf(QStringLiteral(" Same")), rowOf(QStringLiteral(" Copy"))});
    EXPECT_EQ(rows(),
        QStringList(
            {QStringLiteral("Same:0"), QStringLiteral("Same:-1"), QStringLiteral("Kept:0")}));
    EXPECT_EQ(lines(),
        QStringList(
            {QStringLiteral(" dup.org"), QStringLiteral(" Kept|my Favroites\\News\\Local")}));
    EXPECT_TRUE(ws.document().isModified());
    // The list showed News: its entry went, the pane follows the selection.
    EXPECT_EQ(ws.list().model().count(), 1);
    EXPECT_EQ(ws.list().model().entry(0).key, QStringLiteral("K1"));
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 1 bookmarks found."));
    EXPECT_EQ(ws.list().currentBookmark(), ws.list().selectedKey());

    // A member whose row went meanwhile is reported and left alone.
    store::BookmarkTable(db()).remove({4, store::RowState::Committed});
    scan.deleteRows({1});
    EXPECT_EQ(messages.texts(),
        QStringList {search::DuplicateScan::memberGoneMessage({QStringLiteral("Kept")})});
    EXPECT_EQ(scan.model().count(), 2);

    store::resolvePendingChanges(db(), store::Resolution::Discard, {}, nullptr);
    EXPECT_EQ(rows(),
        QStringList(
            {QStringLiteral("Same:0"), QStringLiteral("Same:0"), QStringLiteral("Kept:0")}));
}

TEST_F(SearchFixture, DeletingTheShownBookmarkMovesThePaneOrBlanksIt)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("a"), QStringLiteral("dup.org")),
        item(kRoot, QStringLiteral("K2"), QStringLiteral("b"), QStringLiteral("dup.org"))});
    ASSERT_EQ(description.current, QStringLiteral("a"));
    scan.scan();
    scan.deleteRows({rowOf(QStringLiteral(" a"))});
    EXPECT_EQ(ws.list().model().count(), 0);
    EXPECT_TRUE(ws.list().currentBookmark().isEmpty());
    EXPECT_TRUE(description.current.isEmpty());
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 0 bookmarks found."));

    scan.deleteRows({rowOf(QStringLiteral(" b"))});
    scan.scan();
    EXPECT_EQ(messages.texts(), QStringList {search::DuplicateScan::noDuplicatesMessage()});
    EXPECT_EQ(lines(), QStringList {QStringLiteral(" dup.org")});
}

} // namespace
