// SPDX-License-Identifier: GPL-3.0-or-later
// Thumbnail figures: a 4000 x 3000 photo (JPEG) and a 1280 x 8000 captured
// page (PNG), each made once per process.
#include "BenchDocuments.h"

#include "core/snapshots/ImageFiles.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

// Gradients with grain, so the encoder cannot squeeze it like a flat fill.
QString photo()
{
    static const QString path = [] {
        QImage image(4000, 3000, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grain = static_cast<int>(random.bounded(32));
                line[x] = qRgb((x / 16 + grain) % 256, (y / 12 + grain) % 256, (x + y) / 28 % 256);
            }
        }
        const QString file = bench::benchFolder() + QStringLiteral("/photo.jpg");
        image.save(file, "JPG", 90);
        return file;
    }();
    return path;
}

// A white page with lines of "text" and a few coloured boxes.
QString page()
{
    static const QString path = [] {
        QImage image(1280, 8000, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QRandomGenerator random(11);
        for (int y = 20; y < image.height(); y += 22) {
            for (int x = 40; x < 1200;) {
                const int word = 20 + static_cast<int>(random.bounded(60));
                painter.fillRect(x, y, word, 10, QColor(40, 40, 40));
                x += word + 8;
            }
            if (y % 1100 == 20)
                painter.fillRect(100, y, 600, 300, QColor::fromHsv((y / 10) % 360, 160, 220));
        }
        painter.end();
        const QString file = bench::benchFolder() + QStringLiteral("/page.png");
        image.save(file, "PNG");
        return file;
    }();
    return path;
}

void run(benchmark::State &state, const QString &file)
{
    for (auto _ : state) {
        const auto bytes = snapshots::makeThumbnail(file);
        if (!bytes || bytes->isEmpty())
            state.SkipWithError("no thumbnail");
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_ThumbnailOfPhotoJpeg(benchmark::State &state)
{
    run(state, photo());
}
BENCHMARK(BM_ThumbnailOfPhotoJpeg)->Unit(benchmark::kMillisecond);

void BM_ThumbnailOfPagePng(benchmark::State &state)
{
    run(state, page());
}
BENCHMARK(BM_ThumbnailOfPagePng)->Unit(benchmark::kMillisecond);

} // namespace
