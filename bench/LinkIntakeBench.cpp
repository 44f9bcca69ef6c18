// SPDX-License-Identifier: GPL-3.0-or-later
// Links from outside: a drop of 1,000 links to listed rows, the titles of 100
// links from a server on 127.0.0.1, and `quillet --add` to a running window
// from the command to the listed row.
#include "BenchDocuments.h"
#include "LocalHttpServer.h"

#include "core/outline/BackgroundTitles.h"
#include "core/outline/LinkIntake.h"
#include "core/outline/LinkMimeData.h"
#include "core/outline/PageTitles.h"
#include "core/outline/Workspace.h"
#include "core/platform/SingleInstance.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"
#include "gui/shell/LinkRequests.h"
#include "gui/shell/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

// A new document of the root heading alone, named `name` in the bench
// folder, as the workspace's document; the root heading's key.
QString openEmptyDocument(outline::Workspace &ws, const QString &name)
{
    const QString path = bench::benchFolder() + QLatin1Char('/') + name;
    QFile::remove(path);
    store::createEmptyDatabase(path);
    ws.document().adoptOpened(store::openDocumentDatabase(path), path);
    ws.tree().addRootHeading();
    return ws.tree().root()->key;
}

// 1,000 links with titles, as Firefox drags them (UTF-16 link and title pairs).
QMimeData *thousandLinks()
{
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("https://example%1.org/page/%2\nPage title %2\n").arg(i % 97).arg(i);
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/x-moz-url"),
        QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
    return data;
}

void BM_Drop1000Links(benchmark::State &state)
{
    outline::Workspace ws({});
    const QString root = openEmptyDocument(ws, QStringLiteral("drop.rdb"));
    std::unique_ptr<QMimeData> data(thousandLinks());
    int listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store::BookmarkTable(*ws.document().database()).undoPending();
        ws.list().refill(root, ws.document().database());
        state.ResumeTiming();
        outline::takeLinks(ws, root, outline::readIncomingLinks(*data));
        state.PauseTiming();
        listed = ws.list().model().count();
        state.ResumeTiming();
    }
    state.counters["listed"] = listed;
}
BENCHMARK(BM_Drop1000Links)->Unit(benchmark::kMillisecond)->Iterations(5);

// A page of 20,000 bytes titled by its path.
QByteArray titledPage(const QByteArray &path)
{
    return "<html><head><title>Page " + path + "</title></head><body>" + QByteArray(20000, 'x')
        + "</body></html>";
}

void BM_Titles100Links(benchmark::State &state)
{
    for (const char *proxy : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"})
        qunsetenv(proxy);
    test::LocalHttpServer pages;
    pages.setRecordRequests(false);
    outline::IncomingLinks links;
    for (int i = 0; i < 100; ++i) {
        const QByteArray path = "/p" + QByteArray::number(i);
        pages.answer(path, test::HttpAnswer::ok(titledPage(path), "text/html; charset=utf-8"));
        links.links.append({pages.url(QString::fromLatin1(path)), {}});
    }
    outline::Workspace ws({});
    const QString root = openEmptyDocument(ws, QStringLiteral("titles.rdb"));
    outline::BackgroundTitles titles(ws);
    ws.setTitleFetcher(&titles);
    int renamed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store::BookmarkTable(*ws.document().database()).undoPending();
        ws.list().refill(root, ws.document().database());
        state.ResumeTiming();
        outline::takeLinks(ws, root, links);
        while (titles.titles().pending() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        state.PauseTiming();
        renamed = 0;
        for (int i = 0; i < ws.list().model().count(); ++i)
            renamed += ws.list().model().entry(i).name.startsWith(QLatin1String("Page /p"));
        state.ResumeTiming();
    }
    ws.setTitleFetcher(nullptr);
    state.counters["titled"] = renamed;
}
BENCHMARK(BM_Titles100Links)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// `quillet --add` as a process against a window of this process, from the
// start of the command to the row in the list.
void BM_AddToRunningInstance(benchmark::State &state)
{
    // This process is the running Quillet of the home.
    platform::SingleInstance lock;
    shell::MainWindow window(shell::MainWindowOverrides {nullptr, nullptr, nullptr, false});
    window.loadStartupDocument({QStringLiteral("quillet")}, nullptr);
    window.show();
    if (!window.linkRequests().listen()) {
        state.SkipWithError("cannot listen");
        return;
    }
    outline::BookmarkListModel &model = window.workspace().list().model();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    int n = 0;
    for (auto _ : state) {
        const int before = model.count();
        QProcess add;
        add.setProcessEnvironment(env);
        add.start(QStringLiteral(QUILLET_BINARY),
            {QStringLiteral("--add"), QStringLiteral("https://example.org/%1").arg(n++),
                QStringLiteral("--title"), QStringLiteral("Added %1").arg(n)});
        while (model.count() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        state.PauseTiming();
        add.waitForFinished(10000);
        state.ResumeTiming();
    }
    window.workspace().document().setModified(false);
    window.close();
}
BENCHMARK(BM_AddToRunningInstance)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

} // namespace
