// SPDX-License-Identifier: GPL-3.0-or-later
// Bookmark editor figures: the name clash test when a heading already holds
// the name and 1,000 numbered siblings, in a 100,000-bookmark document.
#include "BenchDocuments.h"

#include "core/outline/BookmarkNames.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

constexpr int kSiblings = 1000;
const QString kHeading = QStringLiteral("K5");

// The large bench document plus "Tools", "Tools #1" ... "Tools #999" under
// one heading; opened once per process.
store::Database &clashDocument()
{
    static std::unique_ptr<store::Database> db = [] {
        const QString path = bench::benchFolder() + QStringLiteral("/clash.rdb");
        QFile::remove(path);
        store::copyFile(bench::documentWith(10000, 100000), path);
        auto opened = store::openDocumentDatabase(path);
        store::Transaction transaction(*opened);
        auto rs = opened->openRecordset(QStringLiteral("tbItems"));
        for (int n = 0; n < kSiblings; ++n) {
            rs->addNew();
            rs->setValue(QStringLiteral("tKey"), kHeading);
            rs->setValue(QStringLiteral("lKey"), QStringLiteral("K%1").arg(900000 + n));
            rs->setValue(QStringLiteral("urlName"),
                n == 0 ? QStringLiteral("Tools") : QStringLiteral("Tools #%1").arg(n));
            rs->setValue(QStringLiteral("urlLink"), QStringLiteral("https://tools.example.org/"));
            rs->setValue(QStringLiteral("urlDate"), QStringLiteral("2024-05-17"));
            rs->setValue(QStringLiteral("delFlag"), 0);
            rs->update();
        }
        transaction.commit();
        return opened;
    }();
    return *db;
}

// What the editor and a paste do on a clash: the test, then the numbered name.
void BM_BookmarkNameClash1000Siblings(benchmark::State &state)
{
    store::Database &db = clashDocument();
    for (auto _ : state) {
        const bool exists = outline::bookmarkNameExists(db, QStringLiteral("TOOLS"), kHeading);
        const QString name = outline::uniqueBookmarkName(db, QStringLiteral("Tools"), kHeading);
        if (!exists || name != QStringLiteral("Tools #1000"))
            state.SkipWithError("wrong answer");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(BM_BookmarkNameClash1000Siblings)->Unit(benchmark::kMillisecond);

// The same through one read of the heading's names, as a paste does.
void BM_BookmarkNameSetClash1000Siblings(benchmark::State &state)
{
    store::Database &db = clashDocument();
    for (auto _ : state) {
        const auto names = outline::BookmarkNameSet::read(db, kHeading);
        const QString name = names.contains(QStringLiteral("TOOLS"))
            ? names.uniqueName(QStringLiteral("Tools"))
            : QString();
        if (name != QStringLiteral("Tools #1000"))
            state.SkipWithError("wrong answer");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(BM_BookmarkNameSetClash1000Siblings)->Unit(benchmark::kMillisecond);

// One name query alone: what each candidate would cost if every candidate
// asked the database.
void BM_BookmarkNameExistsOneQuery(benchmark::State &state)
{
    store::Database &db = clashDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            outline::bookmarkNameExists(db, QStringLiteral("Tools #500"), kHeading));
}
BENCHMARK(BM_BookmarkNameExistsOneQuery)->Unit(benchmark::kMillisecond);

} // namespace
