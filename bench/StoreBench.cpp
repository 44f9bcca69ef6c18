// SPDX-License-Identifier: GPL-3.0-or-later
// Engine figures: opening, the find and duplicate queries, bulk inserts.
#include "BenchDocuments.h"

#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace quillet;

namespace {

constexpr int kRows = 100000;

void BM_OpenDocument100k(benchmark::State &state)
{
    const QString path = bench::documentWith(100, kRows);
    for (auto _ : state) {
        auto db = store::openDocumentDatabase(path);
        benchmark::DoNotOptimize(db.get());
    }
}
BENCHMARK(BM_OpenDocument100k)->Unit(benchmark::kMillisecond);

const QString kFindAll = QStringLiteral(
    "SELECT * FROM tbItems WHERE (urlName & urlLink & urlDescrip) Like '*needle*' and delFlag<>-1");

void BM_FindAll100k(benchmark::State &state)
{
    auto db = store::openDocumentDatabase(bench::documentWith(100, kRows));
    int found = 0;
    for (auto _ : state) {
        auto rs = db->openRecordset(kFindAll);
        found = rs->recordCount();
    }
    state.counters["rows"] = found;
}
BENCHMARK(BM_FindAll100k)->Unit(benchmark::kMillisecond);

// The floor: the same search in plain SQL with the engine's own LIKE, on a
// connection that has only the text collation.
int jetCollationStandIn(void *, int n1, const void *a, int n2, const void *b)
{
    const int c = memcmp(a, b, std::min(n1, n2));
    return c ? c : n1 - n2;
}

void BM_FindAllPlainLikeFloor(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(bench::documentWith(100, kRows));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray password(store::kDocumentPassword);
    sqlite3_key(db, password.constData(), password.size());
    sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, jetCollationStandIn);
    sqlite3_exec(db,
        "PRAGMA cipher_page_size = 4096; PRAGMA locking_mode = EXCLUSIVE; "
        "PRAGMA cache_size = -65536;",
        nullptr, nullptr, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT rowid, ID, tKey, lKey, urlName, urlLink, urlDate, urlDescrip, "
        "imgFile, delFlag FROM tbItems WHERE (ifnull(urlName,'') || "
        "ifnull(urlLink,'') || ifnull(urlDescrip,'')) LIKE '%needle%' AND "
        "delFlag <> -1",
        -1, &stmt, nullptr);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < 10; ++i)
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
            ++found;
        }
        sqlite3_reset(stmt);
    }
    state.counters["rows"] = found;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BM_FindAllPlainLikeFloor)->Unit(benchmark::kMillisecond);

void BM_DuplicateLinks100k(benchmark::State &state)
{
    auto db = store::openDocumentDatabase(bench::documentWith(100, kRows));
    int groups = 0;
    for (auto _ : state) {
        auto rs = db->openRecordset(QStringLiteral("Select urlLink from tbItems Where delFlag <>-1 "
                                                   "Group By urlLink Having count(urlLink) >1"));
        groups = rs->recordCount();
    }
    state.counters["groups"] = groups;
}
BENCHMARK(BM_DuplicateLinks100k)->Unit(benchmark::kMillisecond);

void BM_Insert100kInOneTransaction(benchmark::State &state)
{
    QStringList keys, names, links;
    for (int i = 0; i < kRows; ++i) {
        keys << QStringLiteral("K%1").arg(i + 1);
        names << QStringLiteral("bookmark %1").arg(i);
        links << QStringLiteral("https://example.org/%1").arg(i);
    }
    const QString root = QStringLiteral("kRoot"), date = QStringLiteral("2024-05-17"),
                  description = QStringLiteral("description");
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = bench::benchFolder() + QStringLiteral("/insert-%1.rdb").arg(run++);
        store::createEmptyDatabase(path);
        auto db = store::openDocumentDatabase(path);
        state.ResumeTiming();
        store::Transaction transaction(*db);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        for (int i = 0; i < kRows; ++i) {
            rs->addNew();
            rs->setValue(QStringLiteral("tKey"), root);
            rs->setValue(QStringLiteral("lKey"), keys.at(i));
            rs->setValue(QStringLiteral("urlName"), names.at(i));
            rs->setValue(QStringLiteral("urlLink"), links.at(i));
            rs->setValue(QStringLiteral("urlDate"), date);
            rs->setValue(QStringLiteral("urlDescrip"), description);
            rs->setValue(QStringLiteral("delFlag"), 1);
            rs->update();
        }
        transaction.commit();
        state.PauseTiming();
        db.reset();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Insert100kInOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
