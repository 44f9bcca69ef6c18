// SPDX-License-Identifier: GPL-3.0-or-later
// Description pane figures: ShowDescription of a bookmark with a thumbnail,
// from the call until the pane reports its page loaded.
#include "pages/DescriptionPane.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

using namespace quillet;

namespace {

store::BookmarkRow bookmarkWithThumbnail(int n)
{
    QImage image(180, 132, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((n * 47) % 360, 180, 220));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    store::BookmarkRow row;
    row.name = QStringLiteral("Bookmark %1").arg(n);
    row.link = QStringLiteral("www.example.org/page/%1").arg(n);
    row.description
        = QStringLiteral("A few lines about the page, as users write them. ").repeated(4);
    row.thumbnail = jpeg;
    return row;
}

// Milliseconds from the call to loadFinished; negative when it failed.
double showAndWait(pages::DescriptionPane &pane, const store::BookmarkRow &row)
{
    QEventLoop loop;
    bool ok = false;
    const auto connection
        = QObject::connect(&pane, &QWebEngineView::loadFinished, &loop, [&](bool finished) {
              ok = finished;
              loop.quit();
          });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    pane.showBookmark(row);
    loop.exec();
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    return ok ? ms : -1;
}

void BM_ShowDescriptionWithThumbnail(benchmark::State &state)
{
    pages::DescriptionPane pane;
    pane.setAttribute(Qt::WA_DontShowOnScreen);
    pane.resize(640, 320);
    pane.show();
    const store::BookmarkRow rows[] = {bookmarkWithThumbnail(1), bookmarkWithThumbnail(2)};

    // The first page also starts the web engine; it is not counted.
    const double first = showAndWait(pane, rows[0]);
    std::vector<double> times;
    int n = 1;
    for (auto _ : state) {
        const double ms = showAndWait(pane, rows[n++ % 2]);
        if (ms < 0) {
            state.SkipWithError("the page did not load");
            break;
        }
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
    }
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    state.counters["first_ms"] = first;
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p90_ms"] = times[times.size() * 9 / 10];
}
BENCHMARK(BM_ShowDescriptionWithThumbnail)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

} // namespace
