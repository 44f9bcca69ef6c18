// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the help-file project of a large document (pages, thumbnails,
// contents and project file), without the compiler.
#include "BenchDocuments.h"

#include "core/outline/HeadingTreeModel.h"
#include "core/pages/HelpProject.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

constexpr int kHeadings = 500;
constexpr int kBookmarks = 10000;

QString headingKey(int i)
{
    return i == 0 ? QStringLiteral("kRoot") : QStringLiteral("K%1").arg(i);
}

// Heading i > 0 sits under heading i / 8, so the tree is a few levels deep.
void fillTree(outline::HeadingTreeModel &tree)
{
    std::vector<outline::HeadingNode *> nodes(kHeadings);
    nodes[0] = tree.appendHeading(nullptr, QStringLiteral("my Favroites"), headingKey(0), 1, 2);
    for (int i = 1; i < kHeadings; ++i)
        nodes[i] = tree.appendHeading(
            nodes[i / 8], QStringLiteral("Heading & %1").arg(i), headingKey(i), 3, 4);
}

QString chmDocument()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    path = bench::benchFolder() + QStringLiteral("/chm.rdb");
    QImage image(180, 132, QImage::Format_RGB32);
    image.fill(QColor(90, 140, 200));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);

    store::createEmptyDatabase(path);
    auto db = store::openDocumentDatabase(path);
    store::Transaction transaction(*db);
    auto rs = db->openRecordset(QStringLiteral("tbItems"));
    for (int i = 0; i < kBookmarks; ++i) {
        rs->addNew();
        rs->setValue(QStringLiteral("tKey"), headingKey(i % kHeadings));
        rs->setValue(QStringLiteral("lKey"), QStringLiteral("K%1").arg(i + 1));
        rs->setValue(QStringLiteral("urlName"), QStringLiteral("Bookmark Закладка %1").arg(i));
        rs->setValue(QStringLiteral("urlLink"), QStringLiteral("example.org/page/%1").arg(i));
        rs->setValue(QStringLiteral("urlDescrip"),
            QStringLiteral("A few lines about the page, as users write them. ").repeated(3));
        rs->setValue(QStringLiteral("urlThumb"), jpeg);
        rs->setValue(QStringLiteral("delFlag"), 0);
        rs->update();
    }
    transaction.commit();
    return path;
}

void BM_HelpProject10000BookmarksIn500Headings(benchmark::State &state)
{
    auto db = store::openDocumentDatabase(chmDocument());
    outline::HeadingTreeModel tree;
    fillTree(tree);
    store::BookmarkTable table(*db);
    // A fresh folder each time: files deleted a moment ago make the file
    // system slow to create new ones, which a user building now and then
    // never meets.
    const QString base = bench::benchFolder() + QStringLiteral("/_chm");
    int run = 0;
    qsizetype files = 0;
    for (auto _ : state) {
        const QString folder = base + QString::number(++run);
        pages::HelpProjectWriter writer(tree, table, folder, nullptr, nullptr);
        if (!writer.build(QStringLiteral("Favorites.chm")))
            state.SkipWithError("the project could not be written");
        state.PauseTiming();
        files = QDir(folder).entryList(QDir::Files).size();
        state.ResumeTiming();
    }
    state.counters["files"] = static_cast<double>(files);
    for (int i = 1; i <= run; ++i)
        QDir(base + QString::number(i)).removeRecursively();
}
BENCHMARK(BM_HelpProject10000BookmarksIn500Headings)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
