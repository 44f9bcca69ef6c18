// SPDX-License-Identifier: GPL-3.0-or-later
// The Favorites exchange over 100,000 shortcuts in 1,000 folders of three
// levels: the first import into an empty document (counting walk included),
// a second import that adds nothing, and the export into an empty folder.
#include "BenchDocuments.h"

#include "core/favorites/FavoritesExchange.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "gui/platform/QtProgressView.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

using namespace quillet;

namespace {

constexpr int kFilesPerFolder = 100;

void writeShortcut(const QByteArray &path, int n)
{
    const QByteArray bytes = "[InternetShortcut]\nURL=https://www.example.org/articles/"
        + QByteArray::number(n) + "/index.html\n";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        (void)!::write(fd, bytes.constData(), size_t(bytes.size()));
        ::close(fd);
    }
}

// 10 folders, 9 in each (90), 10 in each of those (900): 1,000 folders with
// 100 shortcuts each. Made once per process.
QString favoritesFolder()
{
    static QString folder;
    if (!folder.isEmpty())
        return folder;
    folder = bench::benchFolder() + QStringLiteral("/favorites");
    int n = 0;
    auto fill = [&n](const QString &path) {
        QDir().mkpath(path);
        const QByteArray base = QFile::encodeName(path) + "/Page ";
        for (int i = 0; i < kFilesPerFolder; ++i, ++n)
            writeShortcut(base + QByteArray::number(n) + ".url", n);
    };
    for (int a = 0; a < 10; ++a) {
        const QString top = folder + QStringLiteral("/Topic %1").arg(a);
        fill(top);
        for (int b = 0; b < 9; ++b) {
            const QString mid = top + QStringLiteral("/Area %1").arg(b);
            fill(mid);
            for (int c = 0; c < 10; ++c)
                fill(mid + QStringLiteral("/Item %1").arg(c));
        }
    }
    return folder;
}

// An empty untitled document in a workspace whose bar is a real one.
struct Session
{
    QProgressBar bar;
    platform::QtProgressView view {&bar};
    outline::Workspace ws {{nullptr, nullptr, nullptr, nullptr, nullptr, &view}};
    shell::DocumentLifecycle life {ws};
    favorites::FavoritesExchange exchange {ws, life};
    Session() { life.newDocument(false); }
    ~Session() { ws.document().closeAndDeleteUntitled(); }
    int live() { return store::BookmarkTable(*ws.document().database()).countLive(); }
};

void BM_ImportFavorites100k(benchmark::State &state)
{
    qputenv("QUILLET_FAVORITES", favoritesFolder().toUtf8());
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<Session>();
        state.ResumeTiming();
        session->exchange.importFavorites(&session->view);
        state.PauseTiming();
        state.counters["bookmarks"] = session->live();
        state.counters["headings"] = session->ws.tree().headingCount();
        session.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportFavorites100k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ReimportFavorites100k(benchmark::State &state)
{
    qputenv("QUILLET_FAVORITES", favoritesFolder().toUtf8());
    Session session;
    session.exchange.importFavorites(&session.view);
    const int before = session.live();
    for (auto _ : state)
        session.exchange.importFavorites(&session.view);
    state.counters["added"] = session.live() - before;
}
BENCHMARK(BM_ReimportFavorites100k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportFavorites100k(benchmark::State &state)
{
    qputenv("QUILLET_FAVORITES", favoritesFolder().toUtf8());
    Session session;
    session.exchange.importFavorites(&session.view);
    const QString target = bench::benchFolder() + QStringLiteral("/export");
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = target + QString::number(round++);
        QDir().mkpath(folder);
        qputenv("QUILLET_FAVORITES", folder.toUtf8());
        state.ResumeTiming();
        session.exchange.exportFavorites(&session.view);
    }
    state.counters["bookmarks"] = session.live();
}
BENCHMARK(BM_ExportFavorites100k)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
