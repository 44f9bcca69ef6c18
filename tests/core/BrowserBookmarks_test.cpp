// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPlatform.h"
#include "core/browsers/BookmarkFormats.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/browsers/BrowserExchange.h"
#include "core/browsers/ChromiumBookmarks.h"
#include "core/browsers/FirefoxPlaces.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "core/store/EngineError.h"

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

using namespace quillet;
using browsers::ExportScope;

namespace {

QString dateSeconds(int y, int m, int d)
{
    return QString::number(QDate(y, m, d).startOfDay().toSecsSinceEpoch() + 3600);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ScriptedExchangeDialogs : public browsers::ExchangeDialogs
{
public:
    std::optional<browsers::BookmarkSource> chooseSource(
        const QList<browsers::BookmarkSource> &found) override
    {
        offered = found;
        return source;
    }
    std::optional<ExportScope> chooseExportScope(const QString &) override { return scope; }

    QList<browsers::BookmarkSource> offered;
    std::optional<browsers::BookmarkSource> source;
    std::optional<ExportScope> scope = ExportScope::WholeTree;
};

class BrowserBookmarksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = common::appHome() + QStringLiteral("/files");
        QDir().mkpath(folder);
        ws = std::make_unique<outline::Workspace>(outline::Workspace::Services {
            &messages, &fileDialogs, nullptr, nullptr, &status, &progress});
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        life->newDocument(false);
    }

    void freshDocument()
    {
        ws->document().closeAndDeleteUntitled();
        ws->clearHeadingTree();
        life->newDocument(false);
    }

    store::Database &db() { return *ws->document().database(); }
    outline::HeadingNode *root() { return ws->tree().root(); }

    void addBookmark(outline::HeadingNode *heading, const QString &name, const QString &link,
        const QString &date = QStringLiteral("2023-05-06"), const QString &description = {})
    {
        store::BookmarkRow row;
        row.headingKey = heading->key;
        row.name = name;
        row.link = link;
        row.date = date;
        row.description = description;
        store::BookmarkTable(db()).addPending(row);
    }

    outline::HeadingNode *addHeading(outline::HeadingNode *parent, const QString &title)
    {
        static int next = 100;
        return ws->tree().appendHeading(parent, title, QStringLiteral("K%1").arg(++next), 1, 2);
    }

    // The tree below `node` as "path: name|link|date|description" lines.
    QStringList dump(const outline::HeadingNode *node, const QString &path = QString())
    {
        QStringList lines;
        for (const store::BookmarkRow &row : store::BookmarkTable(db()).liveRows(node->key))
            lines << path + QStringLiteral(": ") + row.name + u'|' + row.link + u'|' + row.date
                    + u'|' + row.description;
        for (const auto &child : node->children) {
            const QString below = path + u'/' + child->title;
            lines << below;
            lines += dump(child.get(), below);
        }
        return lines;
    }

    browsers::ImportResult importHtml(const QByteArray &html, outline::HeadingNode *into = nullptr)
    {
        return browsers::importIntoHeading(
            db(), ws->tree(), into ? into : root(), browsers::readBookmarkHtml(html), &progress);
    }

    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs fileDialogs;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    ScriptedExchangeDialogs exchangeDialogs;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
    QString folder;
};

} // namespace

TEST_F(BrowserBookmarksTest, ExportThenImportIntoAnEmptyDocumentGivesTheSameTree)
{
    addBookmark(root(), QStringLiteral("Tom & Jerry <\"cartoons\">"),
        QStringLiteral("https://example.com/?a=1&b=\"2\""), QStringLiteral("2021-03-04"),
        QStringLiteral("First line & <b>\r\nsecond line"));
    outline::HeadingNode *work = addHeading(root(), QStringLiteral("Work & Play"));
    addBookmark(work, QStringLiteral("Новости"), QStringLiteral("https://пример.рф/"));
    outline::HeadingNode *deep = addHeading(work, QStringLiteral("日本語 'quotes'"));
    addBookmark(deep, QStringLiteral("Deep"), QStringLiteral("http://deep/"),
        QStringLiteral("1999-12-31"), QStringLiteral("x > y"));
    addHeading(root(), QStringLiteral("Empty"));
    const QStringList before = dump(root());

    const QString file = folder + QStringLiteral("/bookmarks.html");
    const browsers::ExportResult written
        = browsers::exportBookmarkHtmlFile(db(), ws->tree(), nullptr, file, &progress);
    ASSERT_TRUE(written.ok()) << written.error.toStdString();
    EXPECT_EQ(written.bookmarks, 3);
    EXPECT_FALSE(progress.visible);

    freshDocument();
    browsers::ImportResult read = browsers::importBookmarkHtml(db(), ws->tree(), root(), file);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(u'\n').toStdString();
    EXPECT_EQ(dump(root()), before);
    EXPECT_EQ(read.headingsAdded, 3);

    // Again into the same place: the headings merge, every name is there.
    read = browsers::importBookmarkHtml(db(), ws->tree(), root(), file);
    EXPECT_EQ(read.bookmarksAdded, 0);
    EXPECT_EQ(read.bookmarksSkipped, 3);
    EXPECT_EQ(read.headingsAdded, 0);
    EXPECT_EQ(dump(root()), before);

    // One heading alone is a folder of its own.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    browsers::exportBookmarkHtml(
        db(), ws->tree(), ws->tree().findByKey(root()->children[0]->key), buffer);
    freshDocument();
    importHtml(buffer.data());
    EXPECT_EQ(dump(root()).mid(0, 2),
        QStringList({QStringLiteral("/Work & Play"),
            QStringLiteral("/Work & Play: Новости|https://пример.рф/|2023-05-06|")}));
}

TEST_F(BrowserBookmarksTest, MessyFilesAreReadAndWhatCouldNotBeReadIsSaid)
{
    outline::HeadingNode *work = addHeading(root(), QStringLiteral("work "));
    addBookmark(work, QStringLiteral("kept"), QStringLiteral("http://old/"));
    const QByteArray icon = "data:image/png;base64," + QByteArray(20000, 'A');
    // Windows-1251, named by the meta; "Привет" and "Мир" in that set.
    const QByteArray hello = "\xCF\xF0\xE8\xE2\xE5\xF2";
    const QByteArray html
        = "<!doctype netscape-bookmark-file-1>\n"
          "<meta http-equiv='Content-Type' content='text/html; charset=windows-1251'>\n"
          "<title>Bookmarks</title><h1>Bookmarks</h1>\n"
          "<dl><p>\n"
          "<dt><a icon=\""
        + icon + "\" add_date=\"" + dateSeconds(2020, 2, 3).toLatin1()
        + "\" HREF='http://a/?x=1&amp;y=2'>" + hello
        + " &amp; &#x41;&#66; &eacute;&#1055; &bogus;</a>\n"
          "<dd>Line one\nline two\n"
          "<DT><H3 ADD_DATE=\"1\">Work</H3>\n"
          "<DL><p>\n"
          "  <DT><A HREF=http://b/>kept</A>\n"
          "  <DT><A HREF=\"http://c/\">C1\n"
          "  <DT><A HREF=\"http://c2/\">c1</A>\n"
          "  <DT><A HREF=\"http://c/\">C1</A>\n"
          "  <DT><A NAME=\"anchor\">no link</A>\n"
          "  <DT><A HREF=\"java\tscript:alert(1)\">Script</A>\n"
          "</DL><p>\n"
          "<DT><H3>\xCC\xE8\xF0</H3><DD>folder text<DL><p><DT><A HREF=\"http://d/\">D</A></DL>\n"
          "</DL></DL>\n";
    const browsers::ImportResult result = importHtml(html);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.headingsAdded, 1);
    EXPECT_EQ(result.bookmarksAdded, 5);
    EXPECT_EQ(result.bookmarksSkipped, 2); // "kept" was there; C1 twice with one link
    EXPECT_EQ(result.linksKeptAsText, 1);
    EXPECT_EQ(result.problems.size(), 2) << result.problems.join(u'\n').toStdString();
    EXPECT_TRUE(result.problems.value(0).contains(QStringLiteral("no link")));
    EXPECT_TRUE(result.problems.value(1).contains(QStringLiteral("</DL>")));
    EXPECT_EQ(dump(root()),
        QStringList({QStringLiteral(": Привет & AB éП &bogus;|http://a/?x=1&y=2|2020-02-03|"
                                    "Line one\nline two"),
            QStringLiteral("/work "), QStringLiteral("/work : kept|http://old/|2023-05-06|"),
            QStringLiteral("/work : C1|http://c/|") + QDate::currentDate().toString(Qt::ISODate)
                + u'|',
            QStringLiteral("/work : c1 #1|http://c2/|") + QDate::currentDate().toString(Qt::ISODate)
                + u'|',
            QStringLiteral("/work : Script||") + QDate::currentDate().toString(Qt::ISODate)
                + QStringLiteral("|java\tscript:alert(1)"),
            QStringLiteral("/Мир"),
            QStringLiteral("/Мир: D|http://d/|") + QDate::currentDate().toString(Qt::ISODate)
                + u'|'}));

    EXPECT_FALSE(browsers::readBookmarkHtml("just some text").error.isEmpty());
}

TEST_F(BrowserBookmarksTest, AnEngineFailureLeavesNeitherRowsNorHeadings)
{
    int writes = 0;
    db().setWriteHook([&writes](const QString &) {
        if (++writes == 3)
            throw store::EngineError(store::EngineErrorCode::DiskFull, QStringLiteral("full"));
    });
    const browsers::ImportResult result
        = importHtml("<DL><DT><H3>A</H3><DL><DT><A HREF=\"http://1/\">1</A>"
                     "<DT><H3>B</H3><DL><DT><A HREF=\"http://2/\">2</A>"
                     "<DT><A HREF=\"http://3/\">3</A></DL></DL></DL>");
    db().setWriteHook({});
    EXPECT_EQ(result.error, QStringLiteral("full"));
    EXPECT_EQ(result.bookmarksAdded, 0);
    EXPECT_TRUE(root()->children.empty());
    EXPECT_EQ(store::BookmarkTable(db()).countLive(), 0);
}

namespace {

void exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << error;
}

} // namespace

TEST_F(BrowserBookmarksTest, FirefoxAndChromiumProfilesAreReadWithTheirNesting)
{
    const QString home = folder + QStringLiteral("/home");
    const QString places = home + QStringLiteral("/.mozilla/firefox/ab12.default/places.sqlite");
    QDir().mkpath(QFileInfo(places).absolutePath());
    sqlite3 *fx = nullptr;
    ASSERT_EQ(sqlite3_open(places.toUtf8().constData(), &fx), SQLITE_OK);
    // The tables and columns of a real profile that the import reads.
    const qint64 added = QDate(2022, 7, 8).startOfDay().toSecsSinceEpoch() * 1000000 + 5;
    exec(fx,
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
        "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, guid TEXT, description TEXT);"
        "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
        "NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, "
        "folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT);"
        "CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32));"
        "CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER, "
        "anno_attribute_id INTEGER, content LONGVARCHAR);"
        "INSERT INTO moz_places (id, url, title, description) VALUES "
        "(1, 'https://mozilla.org/', 'Mozilla page', 'page text'), "
        "(2, 'https://tagged/', 'T', NULL), (3, 'place:sort=8', NULL, NULL), "
        "(4, 'https://kde.org/', 'KDE', NULL);"
        "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES "
        "(1, 2, NULL, 0, 0, '', 'root________'), (2, 2, NULL, 1, 0, 'menu', 'menu________'), "
        "(3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, NULL, 1, 2, 'tags', "
        "'tags________'), (5, 2, NULL, 1, 3, 'unfiled', 'unfiled_____'), "
        "(6, 2, NULL, 1, 4, 'mobile', 'mobile______'), (7, 2, NULL, 4, 0, 'sometag', 'g7'), "
        "(8, 1, 2, 7, 0, NULL, 'g8'), (9, 2, NULL, 3, 0, 'Linux', 'g9'), "
        "(10, 1, 4, 9, 1, 'KDE desktop', 'g10'), (11, 3, NULL, 9, 0, NULL, 'g11'), "
        "(12, 1, 3, 2, 1, 'Recent', 'g12');"
        "INSERT INTO moz_anno_attributes VALUES (1, 'bookmarkProperties/description');"
        "INSERT INTO moz_items_annos (item_id, anno_attribute_id, content) VALUES "
        "(10, 1, 'The desktop');");
    const QString insert = QStringLiteral("INSERT INTO moz_bookmarks (id, type, fk, parent, "
                                          "position, title, dateAdded, guid) VALUES (13, 1, 1, 2, "
                                          "0, NULL, %1, 'g13')")
                               .arg(added);
    exec(fx, insert.toUtf8().constData());
    sqlite3_close(fx);

    const QString chromium = home + QStringLiteral("/.config/chromium/Default/Bookmarks");
    // 13,000,046,400 s after 1601-01-01 is noon UTC of 2012-12-15.
    writeFile(chromium,
        R"({"roots": {"bookmark_bar": {"type": "folder", "name": "Bookmarks bar", "children": [
             {"type": "url", "name": "Qt", "url": "https://qt.io/", "date_added": "13000046400000000"},
             {"type": "folder", "name": "News", "children": [
               {"type": "url", "name": "LWN", "url": "https://lwn.net/", "date_added": "0"}]}]},
           "other": {"type": "folder", "name": "Other bookmarks", "children": []},
           "synced": {"type": "folder", "name": "Mobile bookmarks", "children": [
             {"type": "url", "name": "Phone", "url": "https://m/"}]}}, "version": 1})");

    exchangeDialogs.source = browsers::BookmarkSource {browsers::bookmarkFormat("html"), {}, {}};
    fileDialogs.choose(places);
    browsers::BrowserExchange exchange(*ws, exchangeDialogs);
    exchange.home = home;
    EXPECT_EQ(exchange.importBookmarks(), 2);
    ASSERT_EQ(exchangeDialogs.offered.size(), 2);
    EXPECT_EQ(exchangeDialogs.offered[0].label, QStringLiteral("Firefox - ab12.default"));
    EXPECT_EQ(exchangeDialogs.offered[1].format, browsers::bookmarkFormat("chromium"));
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 2 bookmarks imported, 0 already there."));
    EXPECT_TRUE(ws->document().isModified());
    EXPECT_EQ(messages.texts().size(), 1); // the saved search left out
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(dump(root()),
        QStringList({QStringLiteral("/Bookmarks Menu"),
            QStringLiteral("/Bookmarks Menu: Mozilla page|https://mozilla.org/|2022-07-08|page "
                           "text"),
            QStringLiteral("/Bookmarks Toolbar"), QStringLiteral("/Bookmarks Toolbar/Linux"),
            QStringLiteral("/Bookmarks Toolbar/Linux: KDE desktop|https://kde.org/|") + today
                + QStringLiteral("|The desktop")}));

    freshDocument();
    exchangeDialogs.source = exchangeDialogs.offered[1];
    EXPECT_EQ(exchange.importBookmarks(), 3);
    EXPECT_EQ(dump(root()),
        QStringList({QStringLiteral("/Bookmarks bar"),
            QStringLiteral("/Bookmarks bar: Qt|https://qt.io/|2012-12-15|"),
            QStringLiteral("/Bookmarks bar/News"),
            QStringLiteral("/Bookmarks bar/News: LWN|https://lwn.net/|") + today + u'|',
            QStringLiteral("/Mobile bookmarks"),
            QStringLiteral("/Mobile bookmarks: Phone|https://m/|") + today + u'|'}));
    // Again: every name is there already, and the status says so.
    EXPECT_EQ(exchange.importBookmarks(), 0);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 0 bookmarks imported, 3 already there."));
}

TEST_F(BrowserBookmarksTest, ExportWritesOnlyTheChosenFileAndNeverTheDocument)
{
    addBookmark(root(), QStringLiteral("A"), QStringLiteral("http://a/"));
    browsers::BrowserExchange exchange(*ws, exchangeDialogs);
    exchange.home = folder;

    fileDialogs.choose(folder + QStringLiteral("/out"));
    EXPECT_EQ(exchange.exportBookmarks(), 1);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 1 bookmarks exported."));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/out.html")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({QStringLiteral("out.html")}));

    // Replacing the open document is refused even when the user says Yes.
    const QString document = ws->document().path();
    const QByteArray before = [&] {
        QFile f(document);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    fileDialogs.choose(document);
    messages.answer(platform::MessageAnswer::Yes);
    EXPECT_EQ(exchange.exportBookmarks(), 0);
    EXPECT_TRUE(messages.texts().last().contains(QStringLiteral("in use")));
    QFile after(document);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

namespace {

// The folder reached by always taking the last sub-folder, and how deep it lies.
std::pair<const browsers::ImportedFolder *, int> deepestLast(const browsers::ImportedFolder &root)
{
    const browsers::ImportedFolder *folder = &root;
    int depth = 0;
    for (; !folder->folders.empty(); folder = &folder->folders.back())
        ++depth;
    return {folder, depth};
}

} // namespace

TEST(BookmarkFileReading, ReferencesAreReadAsBrowsersReadThem)
{
    const browsers::ReadBookmarks read = browsers::readBookmarkHtml(
        // Firefox writes a link's "&" as it is; Chromium writes "&amp;".
        "<DL><p>\n"
        "<DT><A HREF=\"http://x.example/?a=1&lt=2&gt=3&amp=4&copy&eacute;\">Firefox</A>\n"
        "<DT><A HREF=\"http://y.example/?a=1&amp;b=2&amp;lt=3&#38;c\">Chromium</A>\n"
        // Older writers: references without ";", numbers of every kind.
        "<DT><A HREF=\"http://z.example/\">AT&T &amp; Fish &amp Chips &copy2024 caf&eacute "
        "&euro &euro; &#128;&#x110000;&#0000000065&#xD800;&#0;&#x41 &#; &bogus;</A>\n"
        "</DL>\n");
    ASSERT_TRUE(read.error.isEmpty());
    ASSERT_EQ(read.root.bookmarks.size(), 3u);
    EXPECT_EQ(
        read.root.bookmarks[0].link, QStringLiteral("http://x.example/?a=1&lt=2&gt=3&amp=4©é"));
    EXPECT_EQ(read.root.bookmarks[1].link, QStringLiteral("http://y.example/?a=1&b=2&lt=3&c"));
    EXPECT_EQ(read.root.bookmarks[2].name,
        QStringLiteral("AT&T & Fish & Chips ©2024 café &euro € €\uFFFDA\uFFFD\uFFFDA &#; &bogus;"));
}

// A file nested deeper than an import keeps ends in the deepest folder it
// keeps, and the problems say at which level.
TEST(BookmarkFileReading, NestingIsCappedInEveryReader)
{
    constexpr int kLevels = 3000;
    QByteArray html = "<DL><p>\n";
    for (int i = 0; i < kLevels; ++i)
        html += "<DT><H3>f" + QByteArray::number(i) + "</H3><DL><p>\n";
    html += "<DT><A HREF=\"http://deep/\">deep</A>\n";
    const browsers::ReadBookmarks fromHtml = browsers::readBookmarkHtml(html);
    const auto [htmlFolder, htmlDepth] = deepestLast(fromHtml.root);
    EXPECT_EQ(htmlDepth, browsers::kMaxFolderDepth);
    EXPECT_EQ(htmlFolder->bookmarks.size(), 1u);
    EXPECT_TRUE(fromHtml.problems.value(0).contains(QStringLiteral("folder at level 100.")))
        << fromHtml.problems.value(0).toStdString();

    // Qt's JSON reader refuses nesting past 1024 levels itself.
    QByteArray json = R"({"roots": {"other": {"children": [)";
    for (int i = 0; i < 400; ++i)
        json += R"({"type": "folder", "name": "f", "children": [)";
    json += R"({"type": "url", "name": "deep", "url": "http://deep/"})";
    for (int i = 0; i < 400; ++i)
        json += "]}";
    json += "]}}}";
    const browsers::ReadBookmarks fromJson = browsers::readChromiumBookmarks(json);
    ASSERT_TRUE(fromJson.error.isEmpty()) << fromJson.error.toStdString();
    const auto [jsonFolder, jsonDepth] = deepestLast(fromJson.root);
    EXPECT_EQ(jsonDepth, browsers::kMaxFolderDepth);
    EXPECT_EQ(jsonFolder->bookmarks.size(), 1u);
    EXPECT_EQ(fromJson.problems,
        QStringList {QStringLiteral(
            "Folders nested more than 100 levels deep were put into the folder at level 100.")});

    const QString places = common::appHome() + QStringLiteral("/places.sqlite");
    sqlite3 *fx = nullptr;
    ASSERT_EQ(sqlite3_open(places.toUtf8().constData(), &fx), SQLITE_OK);
    QString sql = QStringLiteral(
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);"
        "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, "
        "parent INTEGER, position INTEGER, title TEXT, dateAdded INTEGER, guid TEXT);"
        "INSERT INTO moz_places VALUES (1, 'http://deep/', 'deep');"
        "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 0, 'menu________');"
        "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO moz_bookmarks SELECT i, 2, NULL, i - 1, 0, 'f', 0, 'g' || i FROM n;"
        "INSERT INTO moz_bookmarks VALUES (%2, 1, 1, %1, 0, NULL, 0, 'gdeep');")
                      .arg(kLevels + 1)
                      .arg(kLevels + 2);
    char *error = nullptr;
    EXPECT_EQ(sqlite3_exec(fx, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(fx);
    const browsers::ReadBookmarks fromPlaces = browsers::readFirefoxPlaces(places);
    ASSERT_TRUE(fromPlaces.error.isEmpty()) << fromPlaces.error.toStdString();
    const auto [placesFolder, placesDepth] = deepestLast(fromPlaces.root);
    EXPECT_EQ(placesDepth, browsers::kMaxFolderDepth);
    EXPECT_EQ(placesFolder->bookmarks.size(), 1u);
    EXPECT_EQ(fromPlaces.problems, fromJson.problems);
}
