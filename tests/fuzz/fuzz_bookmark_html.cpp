// SPDX-License-Identifier: GPL-3.0-or-later
// The bookmark HTML reader, two ways. First byte even: the rest is a file of
// any bytes; reading it may report problems, never crash, hang or nest
// deeper than an import keeps. Odd: the rest describes a heading tree with
// bookmarks; exported and read back, it must come back the same, as far as
// the reader promises (names and titles with blanks collapsed, descriptions
// trimmed).
#include "FuzzHome.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace quillet;

namespace {

constexpr int kDeepest = 30;

// One document for the whole run; each round trip adds its rows in a
// transaction that is rolled back.
store::Database &document()
{
    static std::unique_ptr<store::Database> db = [] {
        QTemporaryDir &dir = fuzzFolder("fuzz_bookmark_html", QStringLiteral("home"));
        const QString path = dir.filePath(QStringLiteral("html.rdb"));
        store::createEmptyDatabase(path);
        return store::openDocumentDatabase(path);
    }();
    return *db;
}

[[noreturn]] void fail(const char *what, const QString &expected, const QString &got)
{
    std::fprintf(stderr, "Bookmark HTML round trip: %s: expected \"%s\", got \"%s\"\n", what,
        expected.toStdString().c_str(), got.toStdString().c_str());
    std::abort();
}

// Texts built from pieces that the writer must escape and the reader must
// not take for references or markup.
QString text(FuzzedDataProvider &fdp)
{
    static const char *const pieces[] = {"a", "Z", "7", " ", "  ", "&", ";", "=", "#", "<", ">",
        "\"", "'", "/", "?", "amp", "lt", "gt", "quot", "copy", "eacute", "x41", "#38", "DL", "H3",
        "A HREF", "é", "€", "日本", "\u00a0", "\t", "\n", "<!--", "-->", "</DL>"};
    constexpr size_t count = sizeof pieces / sizeof *pieces;
    QString out;
    const int length = fdp.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < length; ++i)
        out += QString::fromUtf8(pieces[fdp.ConsumeIntegralInRange<size_t>(0, count - 1)]);
    return out;
}

struct Expected
{
    const outline::HeadingNode *heading;
    std::vector<store::BookmarkRow> rows;
};

void compare(const browsers::ImportedFolder &read, const outline::HeadingNode *heading,
    const std::vector<std::vector<store::BookmarkRow>> &rowsOf,
    const QHash<const outline::HeadingNode *, size_t> &slot)
{
    const std::vector<store::BookmarkRow> &rows = rowsOf[slot.value(heading)];
    if (read.bookmarks.size() != rows.size())
        fail(
            "bookmark count", QString::number(rows.size()), QString::number(read.bookmarks.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const browsers::ImportedBookmark &b = read.bookmarks[i];
        if (b.name != rows[i].name.simplified())
            fail("name", rows[i].name.simplified(), b.name);
        if (b.link != rows[i].link)
            fail("link", rows[i].link, b.link);
        if (b.description != rows[i].description.trimmed())
            fail("description", rows[i].description.trimmed(), b.description);
        if (b.date != rows[i].date)
            fail("date", rows[i].date, b.date);
    }
    if (read.folders.size() != heading->children.size())
        fail("folder count", QString::number(heading->children.size()),
            QString::number(read.folders.size()));
    for (size_t i = 0; i < read.folders.size(); ++i) {
        const outline::HeadingNode *child = heading->children[i].get();
        if (read.folders[i].title != child->title.simplified())
            fail("title", child->title.simplified(), read.folders[i].title);
        compare(read.folders[i], child, rowsOf, slot); // at most kDeepest levels
    }
}

void roundTrip(FuzzedDataProvider &fdp)
{
    store::Database &db = document();
    outline::HeadingTreeModel tree;
    outline::HeadingNode *root = tree.addRootHeading();
    std::vector<outline::HeadingNode *> headings {root};
    std::vector<std::vector<store::BookmarkRow>> rowsOf(1);
    QHash<const outline::HeadingNode *, size_t> slot {{root, 0}};
    store::Transaction transaction(db);
    store::BookmarkTable table(db);
    int keys = 0;
    while (fdp.remaining_bytes() > 0 && headings.size() < 200) {
        outline::HeadingNode *at
            = headings[fdp.ConsumeIntegralInRange<size_t>(0, headings.size() - 1)];
        int depth = 0;
        for (const outline::HeadingNode *up = at; up->parent; up = up->parent)
            ++depth;
        if (fdp.ConsumeBool() && depth < kDeepest) {
            outline::HeadingNode *child
                = tree.appendHeading(at, text(fdp), QStringLiteral("k%1").arg(++keys), 1, 2);
            slot.insert(child, rowsOf.size());
            rowsOf.emplace_back();
            headings.push_back(child);
        } else {
            store::BookmarkRow row;
            row.headingKey = at->key;
            row.name = text(fdp);
            row.link = text(fdp);
            row.description = text(fdp);
            row.date = QStringLiteral("2024-01-02");
            table.addPending(row);
            rowsOf[slot.value(at)].push_back(row);
        }
    }
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    const browsers::ExportResult exported
        = browsers::exportBookmarkHtml(db, tree, nullptr, out, nullptr);
    if (!exported.ok())
        fail("export", QString(), exported.error);
    const browsers::ReadBookmarks read = browsers::readBookmarkHtml(bytes);
    if (!read.error.isEmpty() || !read.problems.isEmpty())
        fail("read", QString(), read.error + read.problems.join(u'\n'));
    compare(read.root, root, rowsOf, slot);
}

} // namespace

// The document is made before the first input: its key derivation is slow on
// purpose and would count against that input's time.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    document();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0) {
        const browsers::ReadBookmarks read = browsers::readBookmarkHtml(
            QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
        // The nesting stays within what an import keeps.
        std::vector<std::pair<const browsers::ImportedFolder *, int>> pending {{&read.root, 0}};
        while (!pending.empty()) {
            const auto [folder, depth] = pending.back();
            pending.pop_back();
            if (depth > browsers::kMaxFolderDepth)
                fail("nesting", QString::number(browsers::kMaxFolderDepth), QString::number(depth));
            for (const browsers::ImportedFolder &sub : folder->folders)
                pending.emplace_back(&sub, depth + 1);
        }
        return 0;
    }
    FuzzedDataProvider fdp(data + 1, size - 1);
    roundTrip(fdp);
    return 0;
}
