// SPDX-License-Identifier: GPL-3.0-or-later
// Pasting many copied bookmarks into another heading.
#include "BenchDocuments.h"

#include "core/outline/BookmarkList.h"
#include "core/outline/Workspace.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

// Heading K1 holds 5,000 bookmarks; K2 already holds the names of every
// other one, so half of the pasted names clash.
QString pasteDocument()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    path = bench::benchFolder() + QStringLiteral("/paste.rdb");
    store::createEmptyDatabase(path);
    auto db = store::openDocumentDatabase(path);
    store::Transaction transaction(*db);
    auto rs = db->openRecordset(QStringLiteral("tbItems"));
    for (int i = 0; i < 5000; ++i) {
        for (const char *heading : {"K1", "K2"}) {
            if (heading[1] == '2' && i % 2)
                continue;
            rs->addNew();
            rs->setValue(QStringLiteral("tKey"), QLatin1String(heading));
            rs->setValue(QStringLiteral("lKey"), QStringLiteral("K%1").arg(i + 1));
            rs->setValue(QStringLiteral("urlName"), QStringLiteral("bookmark %1").arg(i));
            rs->setValue(
                QStringLiteral("urlLink"), QStringLiteral("https://example.org/%1").arg(i));
            rs->setValue(QStringLiteral("urlDescrip"), QStringLiteral("a description"));
            rs->setValue(QStringLiteral("urlThumb"), QByteArray(6000, 'j'));
            rs->setValue(QStringLiteral("delFlag"), 0);
            rs->update();
        }
    }
    transaction.commit();
    return path;
}

void BM_Paste5000Copies(benchmark::State &state)
{
    const QString source = pasteDocument();
    const QString work = bench::benchFolder() + QStringLiteral("/paste-work.rdb");
    int pasted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        outline::Workspace ws({});
        bench::openFreshCopy(ws, source, work);
        ws.list().refill(QStringLiteral("K1"), ws.document().database());
        ws.list().selectAll();
        ws.list().copyBookmarks(QStringLiteral("K1"));
        ws.list().refill(QStringLiteral("K2"), ws.document().database());
        state.ResumeTiming();
        ws.list().pasteBookmarks(QStringLiteral("K2"));
        state.PauseTiming();
        pasted = ws.list().model().count();
        ws.document().closeDatabase();
        state.ResumeTiming();
    }
    state.counters["listed_after"] = pasted;
}
BENCHMARK(BM_Paste5000Copies)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undo of pasting all 5,000 bookmarks of K1 into K2, copied or cut: the
// arrivals go (kept aside for a redo), cut rows come back.
void undoPaste(benchmark::State &state, bool cut)
{
    const QString source = pasteDocument();
    const QString work = bench::benchFolder() + QStringLiteral("/undo-paste.rdb");
    int listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        outline::Workspace ws({});
        bench::openFreshCopy(ws, source, work);
        ws.list().refill(QStringLiteral("K1"), ws.document().database());
        ws.list().selectAll();
        if (cut)
            ws.list().cutBookmarks(QStringLiteral("K1"));
        else
            ws.list().copyBookmarks(QStringLiteral("K1"));
        ws.list().refill(QStringLiteral("K2"), ws.document().database());
        ws.list().pasteBookmarks(QStringLiteral("K2"));
        state.ResumeTiming();

        if (!ws.history().undo())
            state.SkipWithError("nothing to undo");

        state.PauseTiming();
        listed = ws.list().model().count();
        ws.document().closeDatabase();
        state.ResumeTiming();
    }
    state.counters["listed_after"] = listed;
}

void BM_UndoPaste5000Copies(benchmark::State &state)
{
    undoPaste(state, false);
}
BENCHMARK(BM_UndoPaste5000Copies)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UndoPaste5000Cut(benchmark::State &state)
{
    undoPaste(state, true);
}
BENCHMARK(BM_UndoPaste5000Cut)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
