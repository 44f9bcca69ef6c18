// SPDX-License-Identifier: GPL-3.0-or-later
// "Create chm file" from the real main window, compiled by chmcmd, with the
// desktop in a temporary folder.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProgressBar>
#include <QToolBar>
#include <QToolButton>

using namespace quillet;
using namespace quillet::test;

class HelpFileGuiTest : public QObject
{
    Q_OBJECT

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    RecordingDesktop desktop;
    QTemporaryDir user;
    std::optional<ScopedUserHome> m_user;
    QString desktopFolder;

private Q_SLOTS:
    void initTestCase()
    {
        desktopFolder = user.filePath(QStringLiteral("Desktop"));
        QDir().mkpath(desktopFolder);
        m_user.emplace(user.path());
    }

    void createChmFileFromTheToolbar()
    {
        const QString path = common::homePath(QStringLiteral("my.links.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("Новости"), QStringLiteral("K7")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Soup"),
                 QStringLiteral("http://soup")},
                {QStringLiteral("K7"), QStringLiteral("K2"), QStringLiteral("Лента"),
                    QStringLiteral("lenta.ru")}});
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {path}));

        QAction *make = w.commandBar().action(QStringLiteral("miTMakeCHM"));
        QVERIFY(w.commandBar().menu(QStringLiteral("bndTool"))->actions().contains(make));
        auto *button
            = qobject_cast<QToolButton *>(w.commandBar().mainToolbar()->widgetForAction(make));
        QVERIFY(button);
        click(button);

        const QString help = desktopFolder + QStringLiteral("/my.links.chm");
        QTRY_VERIFY(QFileInfo(help).size() > 0);
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(desktop.files, QStringList {desktopFolder});
        QCOMPARE(w.statusText(), QStringLiteral("Status: Idle"));
        QVERIFY(!child<QProgressBar>(&w, "proShow")->isVisible());

        // A second build replaces the copy on the desktop.
        QFile::resize(help, 1);
        w.commandBar().trigger(QStringLiteral("miTMakeCHM"));
        QTRY_VERIFY(QFileInfo(help).size() > 1);
        QCOMPARE(desktop.files.size(), 2);
    }
};

QUILLET_GUI_TEST_MAIN(HelpFileGuiTest)
#include "tst_helpfile.moc"
