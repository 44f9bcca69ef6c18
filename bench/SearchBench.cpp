// SPDX-License-Identifier: GPL-3.0-or-later
// Find and duplicate-scan figures over 100,000 bookmarks, through the windows'
// own code paths.
#include "BenchDocuments.h"

#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"
#include "core/store/StoreFiles.h"
#include "gui/search/DuplicatesDialog.h"
#include "gui/search/FindDialog.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <optional>

using namespace quillet;

namespace {

constexpr int kBookmarks = 100000;
constexpr int kGroups = 5000;
constexpr int kHeadings = 100;

// 100,000 bookmarks over 100 headings: every 10th name holds "tenk", every
// 1000th also "hundo"; the first rows form 5,000 groups of 2 to 4 members that
// share a link (in varying letter case), the rest have links of their own.
QString searchDocument()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    path = bench::benchFolder() + QStringLiteral("/search.rdb");
    QStringList keys;
    auto db = bench::documentOfHeadings(path, kHeadings, keys);
    store::Transaction transaction(*db);
    store::Statement insert(*db, QLatin1String(bench::kInsertBookmark));
    int row = 0;
    auto add = [&](const QString &link) {
        QString tag;
        if (row % 10 == 0)
            tag += QStringLiteral(" tenk");
        if (row % 1000 == 0)
            tag += QStringLiteral(" hundo");
        insert.bind(1, keys[row % kHeadings])
            .bind(2, QStringLiteral("K%1").arg(row + 1))
            .bind(3, QStringLiteral("page %1%2").arg(row).arg(tag))
            .bind(4, link)
            .bind(5, QStringLiteral("Notes about page %1, worth keeping.").arg(row));
        insert.run();
        ++row;
    };
    for (int g = 0; g < kGroups; ++g) {
        const QString link = QStringLiteral("https://shared.example.org/group/%1").arg(g);
        for (int m = 0; m < 2 + g % 3; ++m)
            add(m % 2 ? link.toUpper() : link);
    }
    while (row < kBookmarks)
        add(QStringLiteral("https://www.example.org/articles/%1/index.html").arg(row));
    transaction.commit();
    return path;
}

struct Loaded
{
    outline::Workspace ws {{}};
    shell::DocumentLifecycle life {ws};
    explicit Loaded(const QString &path) { life.loadDocument(path, nullptr); }
    ~Loaded() { ws.document().closeDatabase(); }
};

void findThroughWindow(benchmark::State &state, const QString &text)
{
    Loaded doc(searchDocument());
    search::FindDialog dialog(doc.ws, nullptr);
    dialog.show();
    dialog.findChild<QLineEdit *>(QStringLiteral("txtSearch"))->setText(text);
    auto *find = dialog.findChild<QPushButton *>(QStringLiteral("cmdFind"));
    for (auto _ : state) {
        find->click();
        QCoreApplication::processEvents(); // the list lays out and paints
    }
    state.counters["hits"] = dialog.finder().results().count();
}

void BM_FindAll10kHits(benchmark::State &state)
{
    findThroughWindow(state, QStringLiteral("tenk"));
}
BENCHMARK(BM_FindAll10kHits)->Unit(benchmark::kMillisecond);

void BM_FindAll100Hits(benchmark::State &state)
{
    findThroughWindow(state, QStringLiteral("hundo"));
}
BENCHMARK(BM_FindAll100Hits)->Unit(benchmark::kMillisecond);

void BM_DuplicateScan5kGroups(benchmark::State &state)
{
    Loaded doc(searchDocument());
    search::DuplicatesDialog dialog(doc.ws, nullptr);
    dialog.show();
    auto *start = dialog.findChild<QPushButton *>(QStringLiteral("cmdStart"));
    for (auto _ : state) {
        start->click();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = dialog.scan().model().count();
}
BENCHMARK(BM_DuplicateScan5kGroups)->Unit(benchmark::kMillisecond);

void BM_DeleteDuplicates1k(benchmark::State &state)
{
    const QString work = bench::benchFolder() + QStringLiteral("/search-delete.rdb");
    std::optional<Loaded> doc;
    std::optional<search::DuplicateScan> scan;
    for (auto _ : state) {
        state.PauseTiming();
        scan.reset();
        doc.reset();
        QFile::remove(work);
        store::copyFile(searchDocument(), work);
        doc.emplace(work);
        scan.emplace(doc->ws);
        scan->scan();
        // The second member of the first 1,000 groups.
        QList<int> rows;
        for (int i = 0; i < scan->model().count() && rows.size() < 1000; ++i) {
            if (scan->model().at(i).group)
                rows << i + 2;
        }
        const int before = scan->model().count();
        state.ResumeTiming();
        scan->deleteRows(rows);
        state.counters["deleted"] = before - scan->model().count();
    }
}
BENCHMARK(BM_DeleteDuplicates1k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
