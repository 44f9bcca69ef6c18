// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/favorites/FavoritesExchange.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace quillet;
using platform::MessageAnswer;

namespace {

const QByteArray kShortcut = "[InternetShortcut]\nURL=";

// Every test works on its own Favorites folder, named by QUILLET_FAVORITES,
// with HOME pointed away from the user's own ~/Favorites.
class FavoritesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        favorites = root.filePath(QStringLiteral("favs")); // not HOME/Favorites
        outside = root.filePath(QStringLiteral("outside"));
        QDir().mkpath(favorites);
        QDir().mkpath(outside);
        m_home.emplace("HOME", root.path());
        m_favorites.emplace("QUILLET_FAVORITES", favorites);
        ws = std::make_unique<outline::Workspace>(outline::Workspace::Services {
            &messages, &dialogs, nullptr, nullptr, &status, &progress});
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        exchange = std::make_unique<favorites::FavoritesExchange>(*ws, *life);
        favorites::installStartupImport(*ws, *life);
    }
    void TearDown() override
    {
        exchange.reset();
        life.reset();
        ws.reset();
        m_home.reset();
        m_favorites.reset();
    }

    QString fav(const QString &relative) const { return favorites + u'/' + relative; }
    void writeFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        test::writeFileBytes(path, bytes);
    }
    void writeShortcut(const QString &relative, const QByteArray &link)
    {
        writeFile(fav(relative), kShortcut + link + '\n');
    }

    store::Database &db() { return *ws->document().database(); }

    outline::HeadingNode *addHeading(outline::HeadingNode *parent, const QString &title)
    {
        static int next = 100;
        return ws->tree().appendHeading(parent, title, QStringLiteral("K%1").arg(++next),
            store::kRootImage, store::kRootExpandedImage);
    }
    void addBookmark(const outline::HeadingNode *heading, const QString &name, const QString &link)
    {
        store::BookmarkRow row;
        row.headingKey = heading->key;
        row.name = name;
        row.link = link;
        store::BookmarkTable(db()).addPending(row);
    }

    // The tree as "path" lines and its live bookmarks as "path|name|link"
    // lines, sorted, so two documents compare whatever their keys and order.
    QStringList contents()
    {
        QStringList lines;
        std::function<void(const outline::HeadingNode *, const QString &)> walk
            = [&](const outline::HeadingNode *node, const QString &path) {
                  lines << path;
                  for (const auto &row : store::BookmarkTable(db()).liveRows(node->key))
                      lines << path + u'|' + row.name + u'|' + row.link;
                  for (const auto &child : node->children)
                      walk(child.get(), path + u'/' + child->title);
              };
        walk(ws->tree().root(), QString());
        lines.sort();
        return lines;
    }

    // Every entry below `folder`, links not followed, with each file's bytes.
    static QStringList listing(const QString &folder)
    {
        QStringList lines;
        QDirIterator it(folder,
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            QString line = path.mid(folder.size());
            if (info.isSymLink())
                line += QStringLiteral(" -> ") + info.symLinkTarget();
            else if (info.isFile())
                line += u' ' + QString::fromUtf8(test::fileBytes(path).toHex());
            lines << line;
        }
        lines.sort();
        return lines;
    }

    QTemporaryDir root;
    QString favorites;
    QString outside;
    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
    std::unique_ptr<favorites::FavoritesExchange> exchange;

private:
    std::optional<test::ScopedEnvironment> m_home;
    std::optional<test::ScopedEnvironment> m_favorites;
};

} // namespace

TEST_F(FavoritesTest, ImportFollowsTheFolderRulesAndAddsNothingTheSecondTime)
{
    ASSERT_TRUE(life->newDocument(false));
    outline::HeadingNode *news = addHeading(ws->tree().root(), QStringLiteral("news "));
    writeShortcut(QStringLiteral("Top.url"), "http://top");
    writeShortcut(QStringLiteral("a.b.url"), "http://ab");
    writeShortcut(QStringLiteral("Example.URL"), "http://example");
    writeShortcut(QStringLiteral(".hidden.url"), "http://hidden");
    writeFile(fav(QStringLiteral("notes.txt")), "not a shortcut");
    writeFile(fav(QStringLiteral("nourl.url")), "[InternetShortcut]\r\nIconIndex=1\r\n");
    writeFile(fav(QStringLiteral("cp.url")), "[InternetShortcut]\nURL=http://x/caf\xe9\n");
    writeShortcut(QStringLiteral("News/inside.url"), "http://news");
    writeShortcut(QStringLiteral(".secret/s.url"), "http://secret");
    writeShortcut(QStringLiteral("ReadOnly/r.url"), "http://readonly");
    QFile::setPermissions(
        fav(QStringLiteral("ReadOnly")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    writeShortcut(QStringLiteral("../outside/o.url"), "http://outside");
    QFile::link(outside, fav(QStringLiteral("Outside")));

    test::RecordingProgress bar;
    exchange->importFavorites(&bar);

    EXPECT_EQ(contents(),
        QStringList(
            {QString(), QStringLiteral("/news "), QStringLiteral("/news |inside|http://news"),
                QStringLiteral("|.hidden|http://hidden"), QStringLiteral("|Example|http://example"),
                QStringLiteral("|Top|http://top"), QStringLiteral("|a.b|http://ab"),
                QStringLiteral("|cp|http://x/caf\u00e9"), QStringLiteral("|nourl|")}));
    EXPECT_EQ(ws->tree().root()->children.size(), 1u);
    EXPECT_EQ(ws->tree().root()->children.front().get(), news);
    // Seven files and one folder at the top, one file inside: the bar's
    // maximum, reached exactly, and hidden at the end.
    EXPECT_EQ(bar.maximum, 9);
    EXPECT_EQ(bar.value, 9);
    EXPECT_TRUE(bar.everShown);
    EXPECT_FALSE(bar.visible);
    EXPECT_TRUE(ws->document().isModified());
    EXPECT_EQ(ws->tree().current(), ws->tree().root());
    EXPECT_EQ(ws->list().model().count(), 6);
    const auto rows = store::BookmarkTable(db()).liveRows(QLatin1String(store::kRootKey));
    for (const auto &row : rows) {
        EXPECT_EQ(row.state, store::RowState::Added);
        EXPECT_EQ(row.date, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    }

    const QStringList once = contents();
    exchange->importCommand();
    EXPECT_EQ(contents(), once);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 6 bookmarks found."));
    EXPECT_EQ(store::BookmarkTable(db()).countLive(), 7);
    QFile::setPermissions(fav(QStringLiteral("ReadOnly")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(FavoritesTest, ExportThenImportIntoAnEmptyDocumentGivesTheSameDocument)
{
    ASSERT_TRUE(life->newDocument(false));
    outline::HeadingNode *top = ws->tree().root();
    addBookmark(top, QStringLiteral("Start"), QStringLiteral("http://start"));
    addBookmark(top, QStringLiteral("Ünïcode 名前 🙂"),
        QStringLiteral("http://example.org/ж?a=1&b=2"));
    outline::HeadingNode *work = addHeading(top, QStringLiteral("Work"));
    addBookmark(work, QStringLiteral("Wiki"), QStringLiteral("http://wiki"));
    outline::HeadingNode *deep = addHeading(work, QStringLiteral("Deep  Down"));
    addBookmark(deep, QStringLiteral("a.b"), QStringLiteral(""));
    addHeading(top, QStringLiteral("Empty"));
    const QStringList before = contents();

    exchange->exportCommand();
    EXPECT_EQ(test::fileBytes(fav(QStringLiteral("Work/Wiki.url"))), kShortcut + "http://wiki\n");
    EXPECT_EQ(progress.maximum, 4 + 4);
    EXPECT_EQ(progress.value, progress.maximum);

    ws->clearHeadingTree();
    ASSERT_TRUE(life->newDocument(false));
    exchange->importCommand();
    EXPECT_EQ(contents(), before);
}

TEST_F(FavoritesTest, ExportKeepsEveryOtherLineOfAShortcutMadeElsewhere)
{
    const QByteArray foreign = "[DEFAULT]\r\n"
                               "BASEURL=http://old.example.org/\r\n"
                               "[InternetShortcut]\r\n"
                               "URL=http://old.example.org/\r\n"
                               "IDList=\r\n"
                               "IconFile=http://old.example.org/favicon.ico\r\n"
                               "IconIndex=1\r\n"
                               "; caf\xe9 in code page 1252\r\n"
                               "Modified=C0F1A2B3C4D5E601E2\r\n";
    writeFile(fav(QStringLiteral("Work/Site.url")), foreign);
    ASSERT_TRUE(life->newDocument(false));
    outline::HeadingNode *work = addHeading(ws->tree().root(), QStringLiteral("Work"));
    addBookmark(work, QStringLiteral("Site"), QStringLiteral("https://new.example.org/"));

    exchange->exportCommand();
    QByteArray expected = foreign;
    expected.replace(
        "URL=http://old.example.org/\r\nIDList", "URL=https://new.example.org/\r\nIDList");
    EXPECT_EQ(test::fileBytes(fav(QStringLiteral("Work/Site.url"))), expected);
}

TEST_F(FavoritesTest, HostileNamesAndLinksNeverReachOutsideTheFolder)
{
    writeFile(outside + QStringLiteral("/victim.url"), kShortcut + "http://victim\n");
    writeFile(outside + QStringLiteral("/keep.txt"), "keep");
    QDir().mkpath(outside + QStringLiteral("/Linked"));
    writeFile(outside + QStringLiteral("/Linked/inner.url"), kShortcut + "http://inner\n");
    QFile::link(outside + QStringLiteral("/victim.url"), fav(QStringLiteral("evil.url")));
    QFile::link(outside + QStringLiteral("/Linked"), fav(QStringLiteral("Linked")));
    writeShortcut(QStringLiteral("Real/plain.url"), "http://plain");
    QFile::link(outside + QStringLiteral("/keep.txt"), fav(QStringLiteral("Real/keep-link")));
    const QStringList outsideBefore = listing(outside);

    ASSERT_TRUE(life->newDocument(false));
    outline::HeadingNode *top = ws->tree().root();
    addBookmark(top, QStringLiteral("../../outside/escape"), QStringLiteral("http://escape"));
    addBookmark(top, QStringLiteral("a/b"), QStringLiteral("http://slash"));
    addBookmark(top, QStringLiteral("evil"), QStringLiteral("http://overwritten"));
    addBookmark(top, QStringLiteral(".."), QStringLiteral("http://dots"));
    outline::HeadingNode *linked = addHeading(top, QStringLiteral("Linked"));
    addBookmark(linked, QStringLiteral("inner"), QStringLiteral("http://overwritten"));

    // The bad names are skipped, "..url" is a plain name; the heading whose
    // folder is a link stops the export there.
    exchange->exportCommand();
    EXPECT_EQ(listing(outside), outsideBefore);
    EXPECT_EQ(test::fileBytes(fav(QStringLiteral("...url"))), kShortcut + "http://dots\n");
    EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList({QStringLiteral("favs"), QStringLiteral("outside")}));

    // Titles that are not one folder name stop the export, writing nothing.
    for (const QString &title : {QStringLiteral(".."), QStringLiteral("../outside/Linked")}) {
        ws->tree().setTitle(linked, title);
        exchange->exportCommand();
        EXPECT_EQ(listing(outside), outsideBefore) << title.toStdString();
    }

    // Clearing the folder removes the links themselves, never their targets.
    messages.answer(MessageAnswer::Yes);
    ws->tree().setTitle(linked, QStringLiteral("Linked"));
    exchange->syncExportCommand();
    EXPECT_EQ(listing(outside), outsideBefore);
    EXPECT_FALSE(QFileInfo(fav(QStringLiteral("evil.url"))).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(fav(QStringLiteral("Real"))));
    EXPECT_EQ(test::fileBytes(fav(QStringLiteral("Linked/inner.url"))),
        kShortcut + "http://overwritten\n");
    EXPECT_EQ(test::fileBytes(fav(QStringLiteral("evil.url"))), kShortcut + "http://overwritten\n");
}

TEST_F(FavoritesTest, SyncToFavoritesAsksClearsAndExports)
{
    writeShortcut(QStringLiteral("stale.url"), "http://stale");
    writeShortcut(QStringLiteral("Old/x.url"), "http://old");
    writeShortcut(QStringLiteral(".keep/k.url"), "http://keep");
    ASSERT_TRUE(life->newDocument(false));
    addBookmark(ws->tree().root(), QStringLiteral("Fresh"), QStringLiteral("http://fresh"));

    messages.answer(MessageAnswer::No);
    exchange->syncExportCommand();
    EXPECT_TRUE(QFileInfo::exists(fav(QStringLiteral("stale.url"))));

    messages.answer(MessageAnswer::Yes);
    exchange->syncExportCommand();
    const QString question = QString::fromLatin1(favorites::kSyncExportQuestion);
    EXPECT_EQ(messages.texts(), QStringList({question, question}));
    EXPECT_EQ(messages.shown.value(1).icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown.value(1).buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(listing(favorites),
        QStringList({QStringLiteral("/.keep"),
            QStringLiteral("/.keep/k.url ")
                + QString::fromUtf8((kShortcut + "http://keep\n").toHex()),
            QStringLiteral("/Fresh.url ")
                + QString::fromUtf8((kShortcut + "http://fresh\n").toHex())}));
    EXPECT_TRUE(status.history.contains(QStringLiteral("Status: Deleting Favorites folder...")));
    EXPECT_TRUE(status.history.contains(QStringLiteral("Status: Exporting IE Favorites...")));
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle"));
}

TEST_F(FavoritesTest, SyncFromFavoritesMakesATitledDocumentACopyAndSavesIt)
{
    const QString path = common::homePath(QStringLiteral("doc.rdb"));
    test::writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
            {QStringLiteral("kRoot"), QStringLiteral("Gone"), QStringLiteral("K7")}},
        {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Old"),
             QStringLiteral("http://old")},
            {QStringLiteral("K7"), QStringLiteral("K2"), QStringLiteral("Older"),
                QStringLiteral("http://older")}});
    dialogs.choose(path);
    life->fileOpen();
    ASSERT_EQ(ws->document().path(), path);
    writeShortcut(QStringLiteral("Mail.url"), "http://mail");
    writeShortcut(QStringLiteral("Sub/Deep.url"), "http://deep");

    // No folder to synchronise from: said, and nothing changes.
    {
        const test::ScopedEnvironment missing(
            "QUILLET_FAVORITES", root.filePath(QStringLiteral("missing")));
        exchange->syncImportCommand();
        EXPECT_EQ(
            messages.texts(), QStringList({QString::fromLatin1(favorites::kNoFavoritesFolder)}));
        EXPECT_EQ(store::BookmarkTable(db()).countLive(), 2);
    }

    messages.answer(MessageAnswer::No);
    exchange->syncImportCommand();
    EXPECT_EQ(messages.texts().value(1), QString::fromLatin1(favorites::kSyncImportQuestion));
    EXPECT_EQ(store::BookmarkTable(db()).countLive(), 2);

    messages.answer(MessageAnswer::Yes);
    exchange->syncImportCommand();
    EXPECT_EQ(contents(),
        QStringList({QString(), QStringLiteral("/Sub"), QStringLiteral("/Sub|Deep|http://deep"),
            QStringLiteral("|Mail|http://mail")}));
    EXPECT_FALSE(ws->document().isModified());
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 1 bookmarks found."));
    // Saved at once, and the old rows are gone for good: Discard keeps the copy.
    ASSERT_TRUE(life->discard());
    EXPECT_EQ(contents().size(), 4);
    QStringList nodes;
    for (auto rs = db().openRecordset(QStringLiteral("tbNodes")); !rs->eof(); rs->moveNext())
        nodes << rs->text(QStringLiteral("Title"));
    EXPECT_EQ(nodes, QStringList({QStringLiteral("my Favroites"), QStringLiteral("Sub")}));
}

TEST_F(FavoritesTest, StartupWithImportChosenFillsANewUntitledDocument)
{
    writeShortcut(QStringLiteral("One.url"), "http://one");
    writeShortcut(QStringLiteral("Group/Two.url"), "http://two");
    ws->optionSettings().loadMethods = 1;
    test::RecordingProgress splash;
    ASSERT_TRUE(life->loadStartupDocument({QStringLiteral("quillet")}, &splash));

    EXPECT_TRUE(ws->document().isUntitled());
    EXPECT_EQ(ws->document().caption(), QStringLiteral("Quillet"));
    EXPECT_EQ(contents(),
        QStringList({QString(), QStringLiteral("/Group"), QStringLiteral("/Group|Two|http://two"),
            QStringLiteral("|One|http://one")}));
    EXPECT_EQ(splash.maximum, 3);
    EXPECT_EQ(splash.value, 3);
    EXPECT_FALSE(progress.everShown);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 1 bookmarks found."));
}

TEST_F(FavoritesTest, SyncFromAFolderItCannotReadChangesNothingAndSaysWhy)
{
    const QString path = common::homePath(QStringLiteral("doc.rdb"));
    test::writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
            {QStringLiteral("kRoot"), QStringLiteral("Kept"), QStringLiteral("K7")}},
        {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Old"),
            QStringLiteral("http://old")}});
    dialogs.choose(path);
    life->fileOpen();
    ASSERT_EQ(ws->document().path(), path);
    const QStringList before = contents();
    writeShortcut(QStringLiteral("Mail.url"), "http://mail");
    writeShortcut(QStringLiteral("Sub/Deep.url"), "http://deep");
    // Met in the middle of the import: a shortcut whose file is gone.
    ASSERT_TRUE(
        QFile::link(outside + QStringLiteral("/gone.url"), fav(QStringLiteral("Sub/Zz.url"))));
    messages.answer(MessageAnswer::Yes);
    exchange->syncImportCommand();
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.contains(QStringLiteral("Zz.url")));
    EXPECT_EQ(messages.shown[1].icon, platform::MessageIcon::Critical);
    EXPECT_EQ(contents(), before);
    EXPECT_FALSE(ws->document().isModified());
    QFile::remove(fav(QStringLiteral("Sub/Zz.url")));

    // A folder that cannot be listed (root lists every folder).
    if (::geteuid() == 0)
        return;
    QFile::setPermissions(fav(QStringLiteral("Sub")), QFileDevice::WriteOwner);
    messages.shown.clear();
    messages.answer(MessageAnswer::Yes);
    exchange->syncImportCommand();
    QFile::setPermissions(fav(QStringLiteral("Sub")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.contains(QStringLiteral("Sub")));
    EXPECT_EQ(contents(), before);
}
