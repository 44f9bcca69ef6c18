// SPDX-License-Identifier: GPL-3.0-or-later
// Description pane figures: ShowDescription of a bookmark with a thumbnail,
// from the call until the pane has painted the page.
#include "gui/pages/DescriptionPane.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
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

// Milliseconds from the call to the painted page.
double showAndPaint(pages::DescriptionPane &pane, const store::BookmarkRow &row)
{
    QElapsedTimer timer;
    timer.start();
    pane.showBookmark(row);
    pane.viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

void BM_ShowDescriptionWithThumbnail(benchmark::State &state)
{
    pages::DescriptionPane pane;
    pane.setAttribute(Qt::WA_DontShowOnScreen);
    pane.resize(640, 320);
    pane.show();
    const store::BookmarkRow rows[] = {bookmarkWithThumbnail(1), bookmarkWithThumbnail(2)};

    // The first page also loads fonts and the picture codec; it is not
    // counted.
    const double first = showAndPaint(pane, rows[0]);
    std::vector<double> times;
    int n = 1;
    for (auto _ : state) {
        const double ms = showAndPaint(pane, rows[n++ % 2]);
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
