// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a process: one instance per home, the close request of the
// operating system, and the untitled document's clean-up.
#include "GuiTestMain.h"
#include "core/common/AppHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <csignal>

class StartupTest : public QObject
{
    Q_OBJECT

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUILLET_HOME"), quillet::common::appHome());
        return env;
    }

    QStringList untitledFiles() const
    {
        return QDir(quillet::common::homePath(QStringLiteral("_tmp")))
            .entryList({QStringLiteral("_tmp*.rdb")}, QDir::Files);
    }

private Q_SLOTS:
    void secondInstanceEndsAtOnceAndTerminationClosesCleanly()
    {
        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(QUILLET_BINARY), {});
        QVERIFY(first.waitForStarted());
        // Running: the untitled document exists in _tmp.
        QTRY_COMPARE_WITH_TIMEOUT(untitledFiles().size(), 1, 20000);

        QProcess second;
        second.setProcessEnvironment(environment());
        QElapsedTimer timer;
        timer.start();
        second.start(QStringLiteral(QUILLET_BINARY), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(untitledFiles().size(), 1); // it made no document of its own

        // SIGTERM is the close box: an unmodified untitled document closes
        // without a question and its file goes.
        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(untitledFiles().isEmpty());
        QVERIFY(QFileInfo::exists(quillet::common::homePath(QStringLiteral("config.ini"))));
    }

    void withoutADisplayItSaysSoAndFails()
    {
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLET_BINARY), {});
        QVERIFY(process.waitForFinished(10000));
        QVERIFY(process.exitCode() != 0);
        const QByteArray error = process.readAllStandardError();
        QVERIFY2(error.contains("display"), error.constData());
        QCOMPARE(error.count('\n'), 1);
    }
};

QUILLET_GUI_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
