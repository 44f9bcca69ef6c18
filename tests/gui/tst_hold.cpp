// SPDX-License-Identifier: GPL-3.0-or-later
// The open document stays held through every command of the window and
// every file dialog shown on its folder: a second process is refused and the
// engine's own locks are still there afterwards.
#include "DocumentBuilder.h"
#include "FileLocks.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "core/store/Schema.h"
#include "gui/commands/CommandBar.h"
#include "gui/platform/QtFileDialogs.h"
#include "gui/shell/MainWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>

using namespace quillet;
using namespace quillet::test;

namespace {

const QString kCli = QStringLiteral(QUILLET_CLI);

// Empty when `path` is held as it should be; else what is missing.
QString holdProblem(const QString &path)
{
    const FileLocks locks = locksOn(path);
    if (locks.holds != 1)
        return QStringLiteral("%1 holds").arg(locks.holds);
    if (locks.engineLocksHere == 0)
        return QStringLiteral("the engine's locks are gone");
    const int second = secondProcessLists(kCli, path);
    if (second != 3)
        return QStringLiteral("a second process was not refused (%1)").arg(second);
    return QString();
}

QString writeSample(const QString &path)
{
    writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
            {QStringLiteral("kRoot"), QStringLiteral("Soups"), QStringLiteral("k1")}},
        {{QStringLiteral("kRoot"), QStringLiteral("L1"), QStringLiteral("Soup"),
            QStringLiteral("http://soup")}});
    return path;
}

// Runs a command and closes every modal window it opens.
void runClosingDialogs(shell::MainWindow &w, const QString &key)
{
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    timer.start(10);
    w.commandBar().trigger(key);
}

} // namespace

class HoldTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearHome(); }

    void everyCommandLeavesTheDocumentHeld()
    {
        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        RecordingDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {writeSample(common::homePath(QStringLiteral("doc.rdb")))}));
        QCOMPARE(holdProblem(w.workspace().document().path()), QString());

        // Any dialog a command opens is closed at once; file dialogs answer
        // as scripted (cancelled unless told).
        const QStringList commands = {QStringLiteral("miLNew"), QStringLiteral("miLEdit"),
            QStringLiteral("miESelectAll"), QStringLiteral("miECopy"), QStringLiteral("miEPaste"),
            QStringLiteral("miLSearch"), QStringLiteral("miEFind"), QStringLiteral("miNAddHead"),
            QStringLiteral("miNEdit"), QStringLiteral("miNDown"), QStringLiteral("miNUp"),
            QStringLiteral("miEDelete"), QStringLiteral("miFSave"), QStringLiteral("miFOpen"),
            QStringLiteral("miTDBBackup"), QStringLiteral("miTDBCompact"),
            QStringLiteral("miTDBRestore"), QStringLiteral("miTMakeCHM"), QStringLiteral("miTScan"),
            QStringLiteral("miTOptions"), QStringLiteral("miFSaveAs")};
        for (const QString &command : commands) {
            if (command == QLatin1String("miTDBBackup"))
                dialogs.choose(common::homePath(QStringLiteral("backup.dbk")));
            if (command == QLatin1String("miFSaveAs"))
                dialogs.choose(common::homePath(QStringLiteral("copy.rdb")));
            runClosingDialogs(w, command);
            QCOMPARE(command + QLatin1Char(' ') + holdProblem(w.workspace().document().path()),
                command + QLatin1Char(' '));
        }
        QCOMPARE(w.workspace().document().path(), common::homePath(QStringLiteral("copy.rdb")));
    }

    // The dialogs list the document's folder and type every file in it.
    void fileDialogsOnTheDocumentsFolderLeaveItHeld()
    {
        const QString folder = common::homePath(QStringLiteral("docs"));
        QDir().mkpath(folder);
        const QString path = writeSample(folder + QStringLiteral("/doc.rdb"));
        for (const char *name : {"page.html", "notes", "picture.png"}) {
            QFile file(folder + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<html>");
        }
        auto db = store::openDocumentDatabase(path);
        QCOMPARE(holdProblem(path), QString());

        platform::QtFileDialogs dialogs;
        // Each dialog, and the entry it lists once it has typed it.
        const std::vector<std::pair<std::function<void()>, QString>> shows
            = {{[&] { dialogs.openFile(QStringLiteral("Open"), folder, QStringLiteral("all|*")); },
                   path},
                {[&] {
                     dialogs.saveFile(QStringLiteral("Save As"), folder, QString(),
                         QStringLiteral("rdb files(*.rdb)|*.rdb|all|*"));
                 },
                    path},
                {[&] { dialogs.chooseFolder(QStringLiteral("Folder"), folder); }, folder}};
        for (const auto &[show, entry] : shows) {
            const QString listed = entry;
            bool typed = false;
            QTimer timer;
            QElapsedTimer clock;
            clock.start();
            connect(&timer, &QTimer::timeout, this, [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                auto *model = dialog->findChild<QFileSystemModel *>();
                const QModelIndex index = model ? model->index(listed) : QModelIndex();
                typed = index.isValid() && !model->type(index).isEmpty();
                if (typed || clock.elapsed() > 20000)
                    dialog->reject();
            });
            timer.start(20);
            show();
            QVERIFY(typed);
            QCOMPARE(holdProblem(path), QString());
        }
    }
};

QUILLET_GUI_TEST_MAIN(HoldTest)
#include "tst_hold.moc"
