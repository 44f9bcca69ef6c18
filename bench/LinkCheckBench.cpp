// SPDX-License-Identifier: GPL-3.0-or-later
// Link check figures against servers of this process on 127.0.0.1: many
// links answered at once, slow answers across servers, and the memory a
// check of 100,000 bookmarks adds, through the window's own session.
#include "BenchDocuments.h"
#include "LocalHttpServer.h"

#include "core/links/LinkCheckSession.h"
#include "core/links/LinkChecker.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"

#include <QEventLoop>
#include <QFile>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace quillet;
using test::HttpAnswer;
using test::LocalHttpServer;

namespace {

// `count` servers answering every path with `answer`, requests not recorded.
std::vector<std::unique_ptr<LocalHttpServer>> startServers(int count, const HttpAnswer &answer)
{
    std::vector<std::unique_ptr<LocalHttpServer>> servers;
    for (int i = 0; i < count; ++i) {
        servers.push_back(std::make_unique<LocalHttpServer>());
        servers.back()->setRecordRequests(false);
        servers.back()->setFallback(answer);
    }
    return servers;
}

// `count` distinct links spread evenly over the servers.
QStringList linksOver(const std::vector<std::unique_ptr<LocalHttpServer>> &servers, int count)
{
    QStringList links;
    links.reserve(count);
    for (int i = 0; i < count; ++i)
        links << servers[static_cast<size_t>(i) % servers.size()]->url(
            QStringLiteral("/page/%1").arg(i));
    return links;
}

void checkLinks(benchmark::State &state, int servers, int links, int delayMs)
{
    const auto running = startServers(servers, HttpAnswer::ok("<p>page</p>").delayed(delayMs));
    const QStringList toCheck = linksOver(running, links);
    int ok = 0;
    for (auto _ : state) {
        links::LinkChecker checker;
        checker.run(toCheck);
        ok = 0;
        for (int i = 0; i < checker.total(); ++i)
            ok += checker.result(i).verdict == links::Verdict::Ok ? 1 : 0;
    }
    state.counters["links"] = links;
    state.counters["ok"] = ok;
    state.counters["servers"] = servers;
}

void BM_CheckLinks10kAnsweredAtOnce(benchmark::State &state)
{
    checkLinks(state, 16, 10000, 0);
}
BENCHMARK(BM_CheckLinks10kAnsweredAtOnce)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CheckLinks1kAnsweredAfter200ms(benchmark::State &state)
{
    checkLinks(state, 20, 1000, 200);
}
BENCHMARK(BM_CheckLinks1kAnsweredAfter200ms)->Unit(benchmark::kMillisecond)->Iterations(1);

// Resident and peak memory of the process in kB (/proc/self/status).
long statusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ':';
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return 0;
}

// A document of `bookmarks` rows over 100 headings, each with a link of its
// own on one of the servers.
QString linkDocument(const std::vector<std::unique_ptr<LocalHttpServer>> &servers, int bookmarks)
{
    const QString path = bench::benchFolder() + QStringLiteral("/links.rdb");
    QStringList keys;
    auto db = bench::documentOfHeadings(path, 100, keys);
    store::Transaction transaction(*db);
    store::Statement insert(*db, QLatin1String(bench::kInsertBookmark));
    const QStringList links = linksOver(servers, bookmarks);
    for (int row = 0; row < bookmarks; ++row) {
        insert.bind(1, keys[row % keys.size()])
            .bind(2, QStringLiteral("K%1").arg(row + 1))
            .bind(3, QStringLiteral("Bookmark number %1").arg(row))
            .bind(4, links[row])
            .bind(5, QStringLiteral("Notes about page %1, worth keeping.").arg(row));
        insert.run();
    }
    transaction.commit();
    return path;
}

void BM_CheckLinks100kBookmarksMemory(benchmark::State &state)
{
    const auto servers = startServers(16, HttpAnswer::ok());
    const QString path = linkDocument(servers, 100000);
    outline::Workspace ws {{}};
    shell::DocumentLifecycle life {ws};
    life.loadDocument(path, nullptr);
    long addedKb = 0;
    long peakAddedKb = 0;
    int checked = 0;
    for (auto _ : state) {
        const long before = statusKb("VmRSS");
        // Peak resident memory counts from here (Linux: "5" resets VmHWM).
        std::ofstream("/proc/self/clear_refs") << "5";
        links::LinkCheckSession session(ws);
        QEventLoop loop;
        QObject::connect(
            &session, &links::LinkCheckSession::runningChanged, &loop, [&loop](bool running) {
                if (!running)
                    loop.quit();
            });
        session.start(links::CheckScope::Document);
        if (session.isRunning())
            loop.exec();
        checked = session.model().count(links::Verdict::Ok);
        addedKb = statusKb("VmRSS") - before;
        peakAddedKb = statusKb("VmHWM") - before;
    }
    ws.document().closeDatabase();
    state.counters["bookmarks_ok"] = checked;
    state.counters["added_MB"] = static_cast<double>(addedKb) / 1024.0;
    state.counters["peak_added_MB"] = static_cast<double>(peakAddedKb) / 1024.0;
}
BENCHMARK(BM_CheckLinks100kBookmarksMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
