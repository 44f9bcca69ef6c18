// SPDX-License-Identifier: GPL-3.0-or-later
// The two largest heading trees a document can hold, a chain a million deep
// and a million headings under the root, through every command that walks
// the tree. A walk that recursed once per level would overflow the stack
// on the chain; one that went quadratic would not finish on the wide tree.
// Each document is built once and each command runs once, in one process;
// the time of each command is printed for comparison, never checked.
#include "DocumentBuilder.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/cli/CliCommands.h"
#include "core/common/AppHome.h"
#include "core/favorites/FavoritesExchange.h"
#include "core/outline/BookmarkList.h"
#include "core/outline/DragAndDrop.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"
#include "core/pages/HelpProject.h"
#include "core/search/BookmarkFinder.h"
#include "core/search/DuplicateScan.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quillet;
using platform::MessageAnswer;

namespace {

constexpr int kMillion = 1000000;

enum class Shape
{
    Chain, // h1 under the root, h2 under h1, ... h1000000 at the bottom
    Wide, // h1 ... h1000000 all under the root
};

void runSql(const QString &path, const QString &sql)
{
    auto db = store::Database::open(path, store::openConnectString());
    char *error = nullptr;
    const int rc = sqlite3_exec(db->handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// The root holds "Alpha"; the last heading holds "Deep" and "Twin", whose
// link is Alpha's, so the duplicate scan has a pair a million levels apart.
// Headings of the wide tree share one title: the Favorites export then
// walks a million headings into a single folder instead of making a million.
QString writeDocument(Shape shape)
{
    const QString path = common::appHome() + QStringLiteral("/deep.rdb");
    const QString last = QStringLiteral("h%1").arg(kMillion);
    test::writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
        {{QStringLiteral("kRoot"), QStringLiteral("ka"), QStringLiteral("Alpha"),
             QStringLiteral("http://a.example/")},
            {last, QStringLiteral("kd"), QStringLiteral("Deep"),
                QStringLiteral("http://d.example/")},
            {last, QStringLiteral("kt"), QStringLiteral("Twin"),
                QStringLiteral("http://a.example/")}});
    const QString parent = shape == Shape::Chain
        ? QStringLiteral("CASE i WHEN 1 THEN 'kRoot' ELSE 'h' || (i - 1) END")
        : QStringLiteral("'kRoot'");
    const QString title
        = shape == Shape::Chain ? QStringLiteral("'h' || i") : QStringLiteral("'h'");
    runSql(path,
        QStringLiteral("BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < %1) INSERT INTO tbNodes (Parent, Title, Key, Image, expImage) "
                       "SELECT %2, %3, 'h' || i, 1, 2 FROM n; COMMIT;")
            .arg(kMillion)
            .arg(parent, title));
    return path;
}

int depthOf(const outline::HeadingNode *node)
{
    int depth = 0;
    for (; node && node->parent; node = node->parent)
        ++depth;
    return depth;
}

int cli(const QStringList &arguments, QString *output = nullptr)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = cli::run(arguments, outStream, errStream);
    outStream.flush();
    if (output)
        *output = out;
    return status;
}

class DeepTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        favorites = common::appHome() + QStringLiteral("/favs");
        QDir().mkpath(favorites);
        m_home.emplace("HOME", common::appHome()); // never the user's ~/Favorites
        m_favorites.emplace("QUILLET_FAVORITES", favorites);
        ws = std::make_unique<outline::Workspace>(outline::Workspace::Services {
            &messages, &dialogs, &desktop, &description, &status, &progress});
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        exchange = std::make_unique<favorites::FavoritesExchange>(*ws, *life);
    }
    void TearDown() override
    {
        exchange.reset();
        life.reset();
        ws.reset();
        m_home.reset();
        m_favorites.reset();
    }

    // Runs `command` and prints how long it took.
    void timed(const char *name, const std::function<void()> &command)
    {
        QElapsedTimer clock;
        clock.start();
        command();
        std::printf("[   time   ] %-34s %7lld ms\n", name, static_cast<long long>(clock.elapsed()));
        std::fflush(stdout);
    }

    int liveRowsUnder(const QString &key)
    {
        int count = 0;
        for (const store::BookmarkRow &row :
            store::BookmarkTable(*ws->document().database()).allLiveRows())
            count += row.headingKey == key ? 1 : 0;
        return count;
    }

    void runEveryCommand(Shape shape);

    QString favorites;
    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingDesktop desktop;
    test::RecordingDescription description;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
    std::unique_ptr<favorites::FavoritesExchange> exchange;

private:
    std::optional<test::ScopedEnvironment> m_home;
    std::optional<test::ScopedEnvironment> m_favorites;
};

void DeepTreeTest::runEveryCommand(Shape shape)
{
    const QString home = common::appHome();
    const QString path = writeDocument(shape);
    const QString last = QStringLiteral("h%1").arg(kMillion);
    const QString middle = QStringLiteral("h%1").arg(kMillion / 2);
    const int lastDepth = shape == Shape::Chain ? kMillion : 1;

    // quillet-cli on a copy: the window holds the document itself.
    const QString copy = home + QStringLiteral("/copy.rdb");
    ASSERT_TRUE(QFile::copy(path, copy));
    QString listed;
    timed("quillet-cli list", [&] { EXPECT_EQ(cli({QStringLiteral("list"), copy}, &listed), 0); });
    EXPECT_EQ(listed.count(QLatin1Char('\n')), 3);
    const QString lastTitle = shape == Shape::Chain ? last : QStringLiteral("h");
    EXPECT_TRUE(listed.contains(QLatin1Char('/') + lastTitle + QStringLiteral("\tDeep\t")));
    QString found;
    timed("quillet-cli find", [&] {
        EXPECT_EQ(cli({QStringLiteral("find"), copy, QStringLiteral("Deep")}, &found), 0);
    });
    EXPECT_EQ(found.count(QLatin1Char('\n')), 1);
    const QString backup = home + QStringLiteral("/backup.rdb");
    timed("quillet-cli backup", [&] {
        EXPECT_EQ(cli({QStringLiteral("backup"), copy, backup}), 0);
    });
    const QString cliExport = home + QStringLiteral("/cli.htm");
    timed("quillet-cli export-html", [&] {
        EXPECT_EQ(cli({QStringLiteral("export-html"), copy, cliExport}), 0);
    });

    timed("open", [&] { life->openDocumentFile(path); });
    ASSERT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    ASSERT_EQ(ws->tree().headingCount(), kMillion + 1);
    EXPECT_EQ(depthOf(ws->tree().findByKey(last)), lastDepth);

    timed("Find", [&] {
        search::BookmarkFinder finder(*ws);
        finder.find(QStringLiteral("Deep"), 0);
        ASSERT_EQ(finder.results().count(), 1);
        finder.jumpTo(0);
    });
    EXPECT_EQ(ws->tree().current(), ws->tree().findByKey(last));

    timed("duplicate scan", [&] {
        search::DuplicateScan scan(*ws);
        scan.scan();
        EXPECT_EQ(scan.model().rowCount(), 3); // the link, then its two bookmarks
    });

    timed("copy and paste", [&] {
        ws->list().refill(last, ws->document().database());
        ws->list().selectAll();
        ws->list().copyBookmarks(last);
        ws->list().refill(QStringLiteral("kRoot"), ws->document().database());
        ws->list().pasteBookmarks(QStringLiteral("kRoot"));
    });
    EXPECT_EQ(liveRowsUnder(QStringLiteral("kRoot")), 3);
    timed("cut and paste", [&] {
        ws->list().refill(QStringLiteral("kRoot"), ws->document().database());
        ws->list().selectAll();
        ws->list().cutBookmarks(QStringLiteral("kRoot"));
        ws->list().refill(last, ws->document().database());
        ws->list().pasteBookmarks(last);
    });
    EXPECT_EQ(liveRowsUnder(last), 5);
    EXPECT_EQ(liveRowsUnder(QStringLiteral("kRoot")), 0);

    // The lower half of the chain onto the root and back where it was; in
    // the wide tree a heading onto its first sibling and back to the root.
    timed("drag a heading (twice)", [&] {
        const outline::DragState drag {outline::DragKind::Heading, middle};
        const QString away = shape == Shape::Chain ? QStringLiteral("kRoot") : QStringLiteral("h1");
        const QString back = shape == Shape::Chain ? QStringLiteral("h%1").arg(kMillion / 2 - 1)
                                                   : QStringLiteral("kRoot");
        EXPECT_TRUE(outline::dropOnHeading(*ws, drag, away));
        EXPECT_EQ(ws->tree().findByKey(middle)->parent, ws->tree().findByKey(away));
        EXPECT_TRUE(outline::dropOnHeading(*ws, drag, back));
        EXPECT_EQ(ws->tree().findByKey(middle)->parent, ws->tree().findByKey(back));
    });
    EXPECT_EQ(depthOf(ws->tree().findByKey(last)), lastDepth);

    const QString exported = home + QStringLiteral("/export.htm");
    timed("HTML export", [&] {
        const browsers::ExportResult result = browsers::exportBookmarkHtmlFile(
            *ws->document().database(), ws->tree(), nullptr, exported, nullptr);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(result.headings, kMillion + 1);
    });
    EXPECT_GT(QFile(cliExport).size(), qint64(kMillion) * 20);
    QFile::remove(cliExport);
    // Read back, the chain stops at the deepest level an import keeps.
    timed("HTML import read", [&] {
        const browsers::ReadBookmarks read = browsers::readBookmarkHtmlFile(exported);
        ASSERT_TRUE(read.error.isEmpty());
        const browsers::ImportedFolder *folder = &read.root;
        int depth = 0;
        for (; !folder->folders.empty(); folder = &folder->folders.back())
            ++depth;
        EXPECT_EQ(depth, std::min(lastDepth, browsers::kMaxFolderDepth));
        EXPECT_EQ(folder->bookmarks.size(), 5u);
    });

    timed("help project", [&] {
        const store::BookmarkTable table(*ws->document().database());
        pages::HelpProjectWriter writer(
            ws->tree(), table, home + QStringLiteral("/_chm"), nullptr, nullptr);
        EXPECT_TRUE(writer.build(QStringLiteral("Favorites.chm")));
    });

    timed("Save", [&] { EXPECT_TRUE(life->save()); });
    ws->tree().setTitle(ws->tree().findByKey(last), QStringLiteral("renamed"));
    timed("Discard", [&] { EXPECT_TRUE(life->discard()); });

    timed("Favorites export", [&] { exchange->exportFavorites(nullptr); });
    messages.answer(MessageAnswer::Yes);
    timed("sync to Favorites", [&] { exchange->synchronizeToFavorites(); });
    // The chain's folders end where a path gets too long for the system.
    EXPECT_TRUE(QFileInfo(favorites + QStringLiteral("/h1")).isDir()
        || QFileInfo(favorites + QStringLiteral("/h")).isDir());
    messages.answer(MessageAnswer::Yes);
    timed("sync from Favorites", [&] { exchange->synchronizeFromFavorites(); });
    EXPECT_GT(ws->tree().headingCount(), 1);

    timed("open the backup", [&] { life->openDocumentFile(backup); });
    ASSERT_EQ(ws->tree().headingCount(), kMillion + 1);
    timed("delete heading", [&] {
        outline::HeadingNode *top = ws->tree().findByKey(last);
        while (top->parent != ws->tree().root())
            top = top->parent;
        ws->tree().setCurrent(top);
        EXPECT_TRUE(outline::HeadingOperations(*ws).deleteHeading());
    });
    EXPECT_EQ(ws->tree().findByKey(last), nullptr);
    EXPECT_EQ(ws->tree().headingCount(), shape == Shape::Chain ? 1 : kMillion);
}

TEST_F(DeepTreeTest, ChainAMillionDeepGoesThroughEveryCommand)
{
    runEveryCommand(Shape::Chain);
}

TEST_F(DeepTreeTest, AMillionHeadingsUnderTheRootGoThroughEveryCommand)
{
    runEveryCommand(Shape::Wide);
}

} // namespace
