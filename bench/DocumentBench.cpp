// SPDX-License-Identifier: GPL-3.0-or-later
// Document figures: loading, listing a large heading, Save and Discard, and
// the memory of a window holding a large document.
#include "BenchDocuments.h"

#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"
#include "gui/shell/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

constexpr int kHeadings = 10000;
constexpr int kBookmarks = 100000;

void BM_LoadDocument(benchmark::State &state)
{
    const QString path = bench::documentWith(kHeadings, kBookmarks);
    outline::Workspace ws({});
    shell::DocumentLifecycle life(ws);
    for (auto _ : state) {
        if (!life.loadDocument(path, nullptr))
            state.SkipWithError("load failed");
        state.PauseTiming();
        state.counters["listed"] = ws.list().model().count();
        state.counters["headings"] = ws.tree().headingCount();
        ws.document().closeDatabase();
        ws.clearHeadingTree();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

void BM_FillBookmarkList10k(benchmark::State &state)
{
    const QString path = bench::documentWith(kHeadings, kBookmarks);
    outline::Workspace ws({});
    shell::DocumentLifecycle life(ws);
    life.loadDocument(path, nullptr);
    for (auto _ : state) {
        ws.list().clear();
        ws.list().fill(QLatin1String(store::kRootKey), ws.document().database());
    }
    state.counters["listed"] = ws.list().model().count();
}
BENCHMARK(BM_FillBookmarkList10k)->Unit(benchmark::kMillisecond);

// Save (commit) or Discard of 100,000 pending rows with a 10,000-heading tree.
void resolve(benchmark::State &state, bool commit)
{
    const QString source = bench::documentWith(kHeadings, kBookmarks, true);
    const QString work = bench::benchFolder() + QStringLiteral("/resolve.rdb");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(work);
        store::copyFile(source, work);
        auto db = store::openDocumentDatabase(work);
        outline::HeadingTreeModel tree;
        outline::loadHeadingTree(*db, tree, nullptr);
        state.ResumeTiming();
        outline::resolvePendingChanges(*db, &tree,
            commit ? quillet::store::Resolution::Save : quillet::store::Resolution::Discard,
            nullptr, nullptr);
    }
}

void BM_Save100kPending(benchmark::State &state)
{
    resolve(state, true);
}
BENCHMARK(BM_Save100kPending)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Discard100kPending(benchmark::State &state)
{
    resolve(state, false);
}
BENCHMARK(BM_Discard100kPending)->Unit(benchmark::kMillisecond)->Iterations(3);

// Save of one added bookmark in a document of 100,000 bookmarks and 10,000
// headings, through the File menu's Save, as the status waits for it.
void BM_SaveOneChangedBookmark(benchmark::State &state)
{
    const QString work = bench::benchFolder() + QStringLiteral("/save-one.rdb");
    QFile::remove(work);
    store::copyFile(bench::documentWith(kHeadings, kBookmarks), work);
    outline::Workspace ws({});
    shell::DocumentLifecycle life(ws);
    if (!life.loadDocument(work, nullptr)) {
        state.SkipWithError("load failed");
        return;
    }
    ws.document().setTitledName(work);
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ws.document().database()->execute(
            QStringLiteral("insert into tbItems (tKey, lKey, urlName, urlLink, delFlag) "
                           "values ('kRoot', 'Kbench%1', 'Added', 'http://added.test/', 1)")
                .arg(++added));
        ws.document().setModified(true);
        state.ResumeTiming();
        if (!life.save())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveOneChangedBookmark)->Unit(benchmark::kMillisecond)->Iterations(20);

// Peak resident memory of a fresh process that shows the main window with
// the document open and its largest heading listed.
void BM_PeakMemoryHoldingDocument(benchmark::State &state)
{
    const QString path = bench::documentWith(kHeadings, kBookmarks);
    double peakMb = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(
            QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-document"), path});
        child.waitForFinished(120000);
        const QByteArray out = child.readAllStandardOutput();
        const auto match
            = QRegularExpression(QStringLiteral("peak-kb (\\d+)")).match(QString::fromLatin1(out));
        if (!match.hasMatch()) {
            state.SkipWithError("the holding process reported nothing");
            return;
        }
        peakMb = match.captured(1).toDouble() / 1024.0;
    }
    state.counters["peak_MB"] = peakMb;
}
BENCHMARK(BM_PeakMemoryHoldingDocument)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

// The child side of BM_PeakMemoryHoldingDocument.
int holdDocument(int argc, char **argv)
{
    QApplication app(argc, argv);
    shell::MainWindow window;
    window.loadStartupDocument(
        {QStringLiteral("quillet"), QString::fromLocal8Bit(argv[2])}, nullptr);
    window.show();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    const auto match = QRegularExpression(QStringLiteral("VmHWM:\\s+(\\d+) kB"))
                           .match(QString::fromLatin1(status.readAll()));
    std::printf("listed %d peak-kb %s\n", window.workspace().list().model().count(),
        qPrintable(match.captured(1)));
    window.workspace().document().closeDatabase();
    return 0;
}
