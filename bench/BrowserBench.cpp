// SPDX-License-Identifier: GPL-3.0-or-later
// Browser bookmark exchange with 100,000 bookmarks: bookmark HTML import
// (1,000 folders) to the filled tree and list, export of a document, and a
// Firefox places.sqlite import.
#include "BenchDocuments.h"

#include "core/browsers/BookmarkFormats.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace quillet;

namespace {

constexpr int kBookmarks = 100000;
constexpr int kFolders = 1000;

// 100 folders at the top, 9 below each: 1,000 folders of 100 bookmarks, with
// long icons, descriptions and entities as browsers write them.
QString htmlFile()
{
    static const QString path = [] {
        const QString file = bench::benchFolder() + QStringLiteral("/bookmarks100k.html");
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
                          "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n"
                          "<H1>Bookmarks</H1>\n<DL><p>\n";
        const QByteArray icon = "data:image/png;base64," + QByteArray(600, 'Q');
        int n = 0;
        for (int top = 0; top < kFolders / 10; ++top) {
            for (int sub = 0; sub < 10; ++sub) {
                const QByteArray indent = sub == 0 ? "    " : "        ";
                html += indent + "<DT><H3 ADD_DATE=\"1600000000\">Folder " + QByteArray::number(top)
                    + (sub ? "." + QByteArray::number(sub) : QByteArray()) + "</H3>\n" + indent
                    + "<DL><p>\n";
                for (int i = 0; i < kBookmarks / kFolders; ++i, ++n) {
                    html += indent + "    <DT><A HREF=\"https://example"
                        + QByteArray::number(n % 997) + ".com/path/" + QByteArray::number(n)
                        + "?q=a&amp;b\" ADD_DATE=\"" + QByteArray::number(1500000000 + n * 997LL)
                        + "\" ICON=\"" + (n % 10 == 0 ? icon : QByteArray(""))
                        + "\">Page &amp; title " + QByteArray::number(n) + "</A>\n";
                    if (n % 4 == 0)
                        html += indent + "    <DD>A description of page " + QByteArray::number(n)
                            + " &lt;with markup&gt;\n";
                }
                if (sub == 0)
                    continue; // the sub-folders go inside the first one's list
                html += indent + "</DL><p>\n";
            }
            html += "    </DL><p>\n";
            out.write(html);
            html.clear();
        }
        out.write("</DL><p>\n");
        return file;
    }();
    return path;
}

QString placesFile()
{
    static const QString path = [] {
        const QString file = bench::benchFolder() + QStringLiteral("/places100k.sqlite");
        QFile::remove(file);
        sqlite3 *db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db,
            "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
            "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0, "
            "typed INTEGER DEFAULT 0, frecency INTEGER DEFAULT -1, last_visit_date INTEGER, "
            "guid TEXT, foreign_count INTEGER DEFAULT 0, url_hash INTEGER DEFAULT 0, "
            "description TEXT, preview_image_url TEXT, origin_id INTEGER);"
            "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
            "NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, "
            "folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, "
            "syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);"
            "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);"
            "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);"
            "BEGIN;"
            "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
            "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'), "
            "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'), "
            "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');",
            nullptr, nullptr, nullptr);
        sqlite3_stmt *place = nullptr;
        sqlite3_stmt *mark = nullptr;
        sqlite3_prepare_v2(db,
            "INSERT INTO moz_places (id, url, title, description, guid) VALUES (?1, ?2, ?3, ?4, "
            "?5)",
            -1, &place, nullptr);
        sqlite3_prepare_v2(db,
            "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, dateAdded, guid) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
            -1, &mark, nullptr);
        auto addMark = [mark](qint64 id, int type, qint64 fk, qint64 parent, int position,
                           const QByteArray &title, qint64 added) {
            const QByteArray guid = "g" + QByteArray::number(id);
            sqlite3_bind_int64(mark, 1, id);
            sqlite3_bind_int(mark, 2, type);
            if (fk)
                sqlite3_bind_int64(mark, 3, fk);
            else
                sqlite3_bind_null(mark, 3);
            sqlite3_bind_int64(mark, 4, parent);
            sqlite3_bind_int(mark, 5, position);
            sqlite3_bind_text(mark, 6, title.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(mark, 7, added);
            sqlite3_bind_text(mark, 8, guid.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(mark);
            sqlite3_reset(mark);
        };
        qint64 id = 100;
        int n = 0;
        for (int f = 0; f < kFolders; ++f) {
            // Ten top folders under the menu, the rest spread below them.
            const qint64 parent = f < 10 ? 2 : 100 + (f % 10) * (1 + kBookmarks / kFolders);
            const qint64 folder = id++;
            addMark(folder, 2, 0, parent, f, "Folder " + QByteArray::number(f), 0);
            for (int i = 0; i < kBookmarks / kFolders; ++i, ++n) {
                const QByteArray url = "https://example" + QByteArray::number(n % 997)
                    + ".com/path/" + QByteArray::number(n);
                const QByteArray title = "Page title " + QByteArray::number(n);
                const QByteArray description = n % 4 ? QByteArray() : "About page " + title;
                sqlite3_bind_int64(place, 1, n + 1);
                sqlite3_bind_text(place, 2, url.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(place, 3, title.constData(), -1, SQLITE_TRANSIENT);
                if (description.isEmpty())
                    sqlite3_bind_null(place, 4);
                else
                    sqlite3_bind_text(place, 4, description.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(place, 5, url.right(12).constData(), -1, SQLITE_TRANSIENT);
                sqlite3_step(place);
                sqlite3_reset(place);
                addMark(id++, 1, n + 1, folder, i, title, (1500000000LL + n * 997LL) * 1000000);
            }
        }
        sqlite3_finalize(place);
        sqlite3_finalize(mark);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

// A fresh untitled document in a workspace without windows.
struct EmptyDocument
{
    outline::Workspace ws {{}};
    shell::DocumentLifecycle life {ws};
    EmptyDocument() { life.newDocument(false); }
};

// Imports `file` into a fresh document's root each time, up to the filled
// list; every bookmark and folder must arrive.
void importEachTime(benchmark::State &state, const char *format, const QString &file)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<EmptyDocument>();
        state.ResumeTiming();
        outline::HeadingNode *root = doc->ws.tree().root();
        const browsers::ImportResult result
            = browsers::importBookmarks(*doc->ws.document().database(), doc->ws.tree(), root,
                *browsers::bookmarkFormat(format), file);
        doc->ws.list().refill(root->key, doc->ws.document().database());
        if (result.bookmarksAdded != kBookmarks || doc->ws.tree().headingCount() < kFolders)
            state.SkipWithError("wrong counts");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = QFile(file).size() / 1048576.0;
}

void BM_ImportHtml100kIn1000Folders(benchmark::State &state)
{
    importEachTime(state, "html", htmlFile());
}
BENCHMARK(BM_ImportHtml100kIn1000Folders)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportHtml100k(benchmark::State &state)
{
    outline::Workspace ws {{}};
    shell::DocumentLifecycle life {ws};
    if (!life.loadDocument(bench::documentWith(kFolders, kBookmarks), nullptr))
        state.SkipWithError("open failed");
    const QString target = bench::benchFolder() + QStringLiteral("/export100k.html");
    for (auto _ : state) {
        const browsers::ExportResult result = browsers::exportBookmarkHtmlFile(
            *ws.document().database(), ws.tree(), nullptr, target);
        if (result.bookmarks != kBookmarks)
            state.SkipWithError("wrong count");
    }
    state.counters["file_MB"] = QFile(target).size() / 1048576.0;
}
BENCHMARK(BM_ExportHtml100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportFirefoxPlaces100k(benchmark::State &state)
{
    importEachTime(state, "firefox", placesFile());
}
BENCHMARK(BM_ImportFirefoxPlaces100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
