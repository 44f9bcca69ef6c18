// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a page through the desktop's own browser: the handler for HTML
// files is asked of xdg-mime and started through its desktop entry.
#include "GuiTestMain.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/pages/BrowserOpening.h"
#include "gui/platform/QtBrowserShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace quillet;
using namespace quillet::test;

namespace {

void writeFile(const QString &path, const QByteArray &text, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class BrowserShellTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void desktopWithoutHtmlHandler()
    {
        // No xdg-mime to ask: the desktop knows no browser.
        const QString emptyBin = common::homePath(QStringLiteral("bin"));
        QDir().mkpath(emptyBin);
        ScopedEnvironment path("PATH", emptyBin);
        platform::QtBrowserShell shell;
        ScriptedMessageBoxes messages;
        QVERIFY(!pages::openInBrowser(QStringLiteral("http://a.example"), shell, messages));
        QCOMPARE(messages.texts(), QStringList {"Can not open your browser!"});
        QVERIFY(!QFileInfo::exists(common::homePath(QStringLiteral("tTestMe.htm"))));
    }

    void desktopHandlerIsStartedThroughItsEntry()
    {
        const QString home = common::appHome();
        const QString bin = home + "/bin";
        const QString out = home + "/started.txt";
        writeFile(bin + "/xdg-mime", "#!/bin/sh\necho quillet-test-browser.desktop\n", true);
        writeFile(bin + "/browser", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out.toUtf8() + "\"\n",
            true);
        writeFile(home + "/data/applications/quillet-test-browser.desktop",
            "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" + bin.toUtf8()
                + "/browser --new-window %u\n");
        ScopedEnvironment path("PATH", bin + ":/usr/bin:/bin");
        ScopedEnvironment data("XDG_DATA_HOME", home + "/data");

        platform::QtBrowserShell shell;
        ScriptedMessageBoxes messages;
        QVERIFY(
            pages::openInBrowser(QStringLiteral("http://a.example/?q=a b&c=d"), shell, messages));
        QVERIFY(messages.shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 5000);
        QFile started(out);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(started.readAll(), QByteArray("--new-window\nhttp://a.example/?q=a b&c=d\n"));
    }
};

QUILLET_GUI_TEST_MAIN(BrowserShellTest)
#include "tst_browsershell.moc"
