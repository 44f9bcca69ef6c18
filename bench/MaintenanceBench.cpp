// SPDX-License-Identifier: GPL-3.0-or-later
// Backup, compaction and restore of a 100,000-bookmark document with 50,000
// pending changes and 10,000 headings.
#include "BenchDocuments.h"

#include "core/outline/Workspace.h"
#include "core/platform/FileDialogs.h"
#include "core/platform/MessageBoxes.h"
#include "core/shell/DatabaseMaintenance.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/shell/RestoreSession.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace quillet;

namespace {

// Answers every question with its first button and every dialog with `path`.
struct Unattended : platform::MessageBoxes, platform::FileDialogs
{
    QString path;
    platform::MessageAnswer show(const QString &, platform::MessageIcon,
        platform::MessageButtons buttons, const QString &) override
    {
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::Yes;
    }
    QString openFile(const QString &, const QString &, const QString &) override { return path; }
    QString saveFile(const QString &, const QString &, const QString &, const QString &) override
    {
        return path;
    }
    QString chooseFolder(const QString &, const QString &) override { return path; }
};

int pendingRows = 0;

// Made once: a quarter of the rows added, a quarter removed, the rest committed.
QString pendingDocument()
{
    static const QString path = [] {
        const QString committed = bench::documentWith(10000, 100000);
        const QString result = bench::benchFolder() + QStringLiteral("/maintenance.rdb");
        QFile::remove(result);
        store::copyFile(committed, result);
        auto db = store::openDocumentDatabase(result);
        sqlite3_exec(db->handle(),
            "UPDATE tbItems SET delFlag = CASE rowid % 4 WHEN 0 THEN 1 ELSE -1 END "
            "WHERE rowid % 4 < 2",
            nullptr, nullptr, nullptr);
        pendingRows = sqlite3_changes(db->handle());
        return result;
    }();
    return path;
}

// A workspace holding a fresh copy of the document, modified.
struct OpenDocument
{
    Unattended answers;
    outline::Workspace ws {{&answers, &answers, nullptr, nullptr, nullptr, nullptr}};
    shell::DocumentLifecycle life {ws};
    QString path = bench::benchFolder() + QStringLiteral("/maintenance-work.rdb");

    bool open()
    {
        ws.document().closeDatabase();
        ws.clearHeadingTree();
        QFile::remove(path);
        store::copyFile(pendingDocument(), path);
        if (!life.loadDocument(path, nullptr))
            return false;
        ws.document().setTitledName(path);
        ws.document().setModified(true);
        return true;
    }
};

void BM_Backup100kWith50kPending(benchmark::State &state)
{
    OpenDocument doc;
    const QString target = bench::benchFolder() + QStringLiteral("/maintenance.dbk");
    doc.answers.path = target;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        if (!doc.open())
            state.SkipWithError("open failed");
        state.ResumeTiming();
        shell::DatabaseMaintenance(doc.ws).backup();
    }
    state.counters["backup_MB"] = QFile(target).size() / 1048576.0;
    state.counters["pending"] = pendingRows;
}
BENCHMARK(BM_Backup100kWith50kPending)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Compact100kWith50kPending(benchmark::State &state)
{
    OpenDocument doc;
    for (auto _ : state) {
        state.PauseTiming();
        if (!doc.open())
            state.SkipWithError("open failed");
        state.ResumeTiming();
        shell::DatabaseMaintenance(doc.ws).compact();
    }
}
BENCHMARK(BM_Compact100kWith50kPending)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Restore100k(benchmark::State &state)
{
    OpenDocument doc;
    const QString backup = bench::benchFolder() + QStringLiteral("/restore-source.dbk");
    const QString target = bench::benchFolder() + QStringLiteral("/restored.rdb");
    QFile::remove(backup);
    store::copyFile(pendingDocument(), backup);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        shell::RestoreSession restore(doc.ws, doc.life);
        restore.setSource(backup);
        restore.setDestination(target);
        state.ResumeTiming();
        if (!restore.restore())
            state.SkipWithError("restore failed");
    }
}
BENCHMARK(BM_Restore100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
