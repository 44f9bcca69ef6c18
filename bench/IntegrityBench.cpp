// SPDX-License-Identifier: GPL-3.0-or-later
// The check a document from elsewhere passes before it loads, on a 100,000
// bookmark document: what it adds to opening, and what its parts and the
// engine's own checks would cost instead.
#include "BenchDocuments.h"

#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/Database.h"
#include "core/store/DocumentCheck.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"
#include "core/store/TrustedDocuments.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

enum Option
{
    OpenOnly,
    ChosenCheck,
    QuickCheckAll,
    IntegrityCheckAll,
    WalkItemTable,
    WalkItemIndex,
    ReadNodes,
};

void runStatement(store::Database &db, const QString &sql)
{
    store::Statement s(db, sql);
    while (s.next()) { }
}

void BM_OpenWithCheck100k(benchmark::State &state)
{
    const auto option = static_cast<Option>(state.range(0));
    const QString path = bench::documentWith(10000, 100000);
    for (auto _ : state) {
        // Database::open, not openDocumentDatabase: this process wrote the
        // file and would skip the check.
        auto db = store::Database::open(path, store::openConnectString());
        switch (option) {
        case OpenOnly:
            break;
        case ChosenCheck:
            store::checkDocument(*db);
            break;
        case QuickCheckAll:
            runStatement(*db, QStringLiteral("PRAGMA quick_check"));
            break;
        case IntegrityCheckAll:
            runStatement(*db, QStringLiteral("PRAGMA integrity_check"));
            break;
        case WalkItemTable:
            runStatement(*db, QStringLiteral("SELECT count(ID) FROM tbItems NOT INDEXED"));
            break;
        case WalkItemIndex:
            runStatement(
                *db, QStringLiteral("SELECT count(*) FROM tbItems INDEXED BY ixItemsLink"));
            break;
        case ReadNodes:
            runStatement(*db, QStringLiteral("SELECT Parent, Title, Key FROM tbNodes"));
            break;
        }
        state.PauseTiming();
        store::Statement pages(*db, QStringLiteral("PRAGMA page_count"));
        state.counters["pages"] = pages.next() ? static_cast<double>(pages.integer(0)) : 0;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWithCheck100k)
    ->ArgName("option")
    ->DenseRange(OpenOnly, ReadNodes)
    ->Unit(benchmark::kMillisecond);

// The whole load (check, tree, root list) of a file this process wrote (0),
// of one from elsewhere (1), and of one from elsewhere opened as Open does,
// with the test for a document first (2): the differences are what the check
// costs a user.
void BM_LoadDocument100k(benchmark::State &state)
{
    const int mode = static_cast<int>(state.range(0));
    const QString path = bench::documentWith(10000, 100000);
    const QString copy = bench::benchFolder() + QStringLiteral("/elsewhere.rdb");
    outline::Workspace ws({});
    shell::DocumentLifecycle life(ws);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(copy);
        // QFile::copy: the program does not know the copy as its own.
        QFile::copy(path, copy);
        if (mode == 0)
            store::trustClosedDocument(copy);
        state.ResumeTiming();
        if ((mode == 2 && !store::canOpenDatabase(copy)) || !life.loadDocument(copy, nullptr))
            state.SkipWithError("load failed");
        state.PauseTiming();
        ws.document().closeDatabase();
        ws.clearHeadingTree();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadDocument100k)->ArgName("mode")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
