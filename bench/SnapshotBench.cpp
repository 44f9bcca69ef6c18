// SPDX-License-Identifier: GPL-3.0-or-later
// Snapshot figures in the real page renderer (offscreen): the full-page
// capture of a loaded 1280 x 6000 page, checked against its markers, the
// capture of a page that makes itself 100,000 px square, and a snapshot run
// over 20 local pages.
#include "../tests/support/MarkerPage.h"
#include "BenchDocuments.h"

#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/snapshots/SnapshotRun.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Schema.h"
#include "gui/platform/BrowserEngine.h"
#include "gui/platform/BrowserEngineLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace quillet;

namespace {

QString writePage(const QString &name, const QString &html)
{
    const QString path = bench::benchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(html.toUtf8());
    return path;
}

template<typename Done> bool waitFor(Done done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The renderer in a hidden window whose page area is `view` large.
struct HiddenBrowser : platform::PageRendererListener
{
    HiddenBrowser(platform::BrowserEngine &engine, QSize view)
        : renderer(engine.makePageRenderer(&host))
    {
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.resize(view);
        renderer->view()->resize(view);
        renderer->setListener(this);
        host.show();
    }
    bool load(const QString &path)
    {
        loaded = false;
        renderer->navigate(QUrl::fromLocalFile(path).toString());
        return waitFor([&] { return loaded; }, 20000);
    }
    void documentCompleted() override { loaded = true; }
    void statusTextChanged(const QString &) override { }
    QWidget host;
    std::unique_ptr<platform::PageRendererView> renderer;
    bool loaded = false;
};

void BM_FullPageCapture(benchmark::State &state)
{
    test::MarkerPage markers;
    platform::BrowserEngine *engine = platform::browserEngine();
    if (!engine) {
        state.SkipWithError("no browser engine");
        return;
    }
    HiddenBrowser browser(
        *engine, QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    if (!browser.load(writePage(QStringLiteral("markers.htm"), markers.html()))) {
        state.SkipWithError("page did not load");
        return;
    }
    int wrong = 0;
    for (auto _ : state) {
        QImage captured;
        bool done = false;
        browser.renderer->capturePage([&](const QImage &image) {
            captured = image;
            done = true;
        });
        if (!waitFor([&] { return done; }, 60000)) {
            state.SkipWithError("capture did not end");
            return;
        }
        wrong += markers.wrongBlocks(captured) != 0;
    }
    state.counters["wrong_pictures"] = wrong;
}
// A page area as wide as the page and 1000 high; the snapshot window's
// default page area.
BENCHMARK(BM_FullPageCapture)
    ->Args({1296, 1000})
    ->Args({1016, 690})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// A page that makes itself 100,000 x 100,000 px: the capture keeps to its
// bounds (the top-left 8192 x 8192 px). `peak_rss_mb` is the program's own
// peak resident memory (the engine's processes come on top).
void BM_HugePageCapture(benchmark::State &state)
{
    platform::BrowserEngine *engine = platform::browserEngine();
    if (!engine) {
        state.SkipWithError("no browser engine");
        return;
    }
    HiddenBrowser browser(*engine, QSize(1296, 1000));
    const QString page = writePage(QStringLiteral("huge.htm"),
        QStringLiteral("<html><body style=\"margin:0\"><div style=\"width:100000px;"
                       "height:100000px;background:linear-gradient(45deg,#036,#fc0)\">"
                       "</div></body></html>"));
    if (!browser.load(page)) {
        state.SkipWithError("page did not load");
        return;
    }
    QSize size;
    for (auto _ : state) {
        bool done = false;
        browser.renderer->capturePage([&](const QImage &image) {
            size = image.size();
            done = true;
        });
        if (!waitFor([&] { return done; }, 600000)) {
            state.SkipWithError("capture did not end");
            return;
        }
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["width"] = size.width();
    state.counters["height"] = size.height();
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_HugePageCapture)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The description pane, unseen here.
class NoDescription : public platform::DescriptionView
{
public:
    void showBookmark(const store::BookmarkRow &) override { }
    void blank() override { }
};

void BM_SnapshotRun20(benchmark::State &state)
{
    constexpr int kPages = 20;
    test::MarkerPage markers;
    markers.size = QSize(1280, 3000);
    const QString html = markers.html();
    NoDescription description;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = bench::benchFolder() + QStringLiteral("/snap.rdb");
        QFile::remove(path);
        QFile::copy(bench::documentWith(1, kPages), path);
        outline::Workspace ws({nullptr, nullptr, nullptr, &description, nullptr, nullptr});
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        store::Database &db = *ws.document().database();
        {
            store::BookmarkTable table(db);
            int n = 0;
            for (const store::BookmarkRow &row : table.liveRows(QStringLiteral("kRoot"))) {
                store::BookmarkChange change;
                change.link
                    = QUrl::fromLocalFile(writePage(QStringLiteral("page%1.htm").arg(n++), html))
                          .toString();
                table.change(row.id, change);
            }
        }
        outline::loadHeadingTree(db, ws.tree(), nullptr);
        ws.selectHeading(ws.tree().findByKey(QStringLiteral("kRoot")));
        ws.list().selectAll();
        platform::BrowserEngine *engine = platform::browserEngine();
        if (!engine) {
            state.SkipWithError("no browser engine");
            return;
        }
        HiddenBrowser browser(*engine, QSize(1016, 690));
        snapshots::SnapshotRun run(ws, *browser.renderer);
        waitFor([] { return false; }, 300); // about:blank
        state.ResumeTiming();

        run.startClicked();
        if (!waitFor([&] { return run.mode() == snapshots::SnapshotRun::Mode::Idle; }, 300000)) {
            state.SkipWithError("run did not end");
            return;
        }
        state.PauseTiming();
        state.counters["pictures"] = static_cast<double>(ws.document().pendingImageFiles().size());
        state.counters["bookmarks"] = static_cast<double>(run.entries().size());
        state.ResumeTiming();
    }
    state.counters["pages_per_second"] = benchmark::Counter(
        kPages * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SnapshotRun20)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
