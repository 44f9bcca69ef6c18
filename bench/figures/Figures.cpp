// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own figures, measured on the real start-up path with the
// 100,000-bookmark document:
//   - time from starting the process to the filled, painted main window;
//   - proportional set size of all the program's processes after showing
//     50 bookmarks one after another in the description pane;
//   - how many browser-engine processes run then, and after the snapshot
//     window has opened.
// quillet_figures starts itself once per run (--run DOCUMENT [--walk]) and
// reads what the child prints.
#include "BenchDocuments.h"
#include "core/outline/BookmarkList.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/Application.h"
#include "gui/shell/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace quillet;

namespace {

bool g_child = false;
bool g_walk = false;

long long steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QByteArray readProc(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// This process and all its descendants.
QList<int> familyOf(int root)
{
    QHash<int, int> parents;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const int pid = entry.toInt(&number);
        if (!number)
            continue;
        const QByteArray stat = readProc(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1)
            parents.insert(pid, fields.at(1).toInt());
    }
    QList<int> family {root};
    for (qsizetype i = 0; i < family.size(); ++i) {
        for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
            if (it.value() == family.at(i))
                family << it.key();
        }
    }
    return family;
}

long long pssKb(int pid)
{
    const QByteArray rollup = readProc(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    const auto match = QRegularExpression(QStringLiteral("\\nPss:\\s+(\\d+) kB"))
                           .match(QString::fromLatin1(rollup));
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

int engineProcesses()
{
    int count = 0;
    for (int pid : familyOf(getpid())) {
        if (readProc(QStringLiteral("/proc/%1/comm").arg(pid)).startsWith("QtWebEngineProc"))
            ++count;
    }
    return count;
}

void reportMemory(const char *when)
{
    long long total = 0;
    const QList<int> family = familyOf(getpid());
    for (int pid : family)
        total += pssKb(pid);
    std::printf("%s: processes %lld pss-kb %lld engine-processes %d\n", when,
        static_cast<long long>(family.size()), total, engineProcesses());
    std::fflush(stdout);
}

shell::MainWindow *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<shell::MainWindow *>(w))
            return window;
    }
    return nullptr;
}

// Lets the event loop run for `ms`, then `next`.
void after(int ms, std::function<void()> next)
{
    QTimer::singleShot(ms, qApp, std::move(next));
}

void closeEverything()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    if (shell::MainWindow *w = mainWindow())
        w->close();
}

void openSnapshotWindow()
{
    shell::MainWindow *w = mainWindow();
    w->workspace().list().selectRow(0);
    after(4000, [] {
        reportMemory("snapshot-window");
        closeEverything();
        after(500, closeEverything);
    });
    after(0, [w] { w->commandBar().trigger(QStringLiteral("miLMakeSnap")); });
}

void walk(int row)
{
    shell::MainWindow *w = mainWindow();
    outline::BookmarkList &list = w->workspace().list();
    if (row == 50 || row >= list.model().count()) {
        // Pages still loading, processes still starting: let them settle.
        after(3000, [] {
            reportMemory("after-50");
            openSnapshotWindow();
        });
        return;
    }
    list.selectRow(row);
    list.syncDescriptionWithSelection();
    after(100, [row] { walk(row + 1); });
}

void watchForFilledWindow()
{
    shell::MainWindow *w = mainWindow();
    if (!w || !w->isVisible() || w->workspace().list().model().count() == 0) {
        after(1, watchForFilledWindow);
        return;
    }
    w->repaint();
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    std::printf("filled-ns %lld cpu-ms %.0f listed %d\n", steadyNs(), cpuMs,
        w->workspace().list().model().count());
    std::fflush(stdout);
    if (g_walk)
        walk(0);
    else
        after(0, closeEverything);
}

void startDriver()
{
    if (g_child)
        after(0, watchForFilledWindow);
}
Q_COREAPP_STARTUP_FUNCTION(startDriver)

QString runChild(const QString &document, bool walkRows, long long *startedNs)
{
    QProcess child;
    QStringList arguments {QStringLiteral("--run"), document};
    if (walkRows)
        arguments << QStringLiteral("--walk");
    *startedNs = steadyNs();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(300000))
        child.kill();
    return QString::fromLatin1(child.readAllStandardOutput());
}

int measure(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Making the 100,000-bookmark document...\n");
    std::fflush(stdout);
    const QString document = bench::documentWith(10000, 100000);

    std::vector<double> starts;
    std::vector<double> cpu;
    for (int i = 0; i < 6; ++i) {
        long long started = 0;
        const QString out = runChild(document, false, &started);
        const auto match
            = QRegularExpression(QStringLiteral("filled-ns (\\d+) cpu-ms (\\d+)")).match(out);
        if (!match.hasMatch()) {
            std::printf("The program did not start: %s\n", qPrintable(out));
            return 1;
        }
        // The first run fills the disk cache and the html folder.
        if (i > 0) {
            starts.push_back((match.captured(1).toLongLong() - started) / 1e6);
            cpu.push_back(match.captured(2).toDouble());
        }
    }
    std::sort(starts.begin(), starts.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("start to filled window: median %.0f ms (min %.0f, max %.0f, %zu runs); "
                "processor time of the program until then: median %.0f ms\n",
        starts[starts.size() / 2], starts.front(), starts.back(), starts.size(),
        cpu[cpu.size() / 2]);

    long long started = 0;
    const QString out = runChild(document, true, &started);
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const auto m = QRegularExpression(
            QStringLiteral("^(\\S+): processes (\\d+) pss-kb (\\d+) engine-processes (\\d+)"))
                           .match(line);
        if (!m.hasMatch())
            continue;
        std::printf("%s: %s processes, %.0f MB proportional set size, "
                    "%s QtWebEngineProcess\n",
            m.captured(1) == QLatin1String("after-50") ? "after showing 50 bookmarks"
                                                       : "with the snapshot window open",
            qPrintable(m.captured(2)), m.captured(3).toDouble() / 1024.0,
            qPrintable(m.captured(4)));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser engine plugin of this build tree.
    if (!qEnvironmentVariableIsSet("QUILLET_ENGINE_PLUGIN"))
        qputenv("QUILLET_ENGINE_PLUGIN", QUILLET_ENGINE_PLUGIN);
    if (argc >= 3 && std::strcmp(argv[1], "--run") == 0) {
        g_child = true;
        g_walk = argc >= 4 && std::strcmp(argv[3], "--walk") == 0;
        char *programArguments[] = {argv[0], argv[2], nullptr};
        return shell::runApplication(2, programArguments);
    }
    // One application home for all runs, as a user has.
    QTemporaryDir home;
    qputenv("QUILLET_HOME", home.path().toUtf8());
    return measure(argc, argv);
}
