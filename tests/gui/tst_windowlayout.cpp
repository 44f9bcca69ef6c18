// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's settings and layout across restarts: View toggles,
// window place and state, splitters, fonts, and the client area's numbers.
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "core/common/AppHome.h"
#include "core/outline/ClientLayout.h"
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"
#include "gui/commands/CommandBar.h"
#include "gui/outline/ClientArea.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

using namespace quillet;
using namespace quillet::outline;
using namespace quillet::test;

namespace {

struct Panes
{
    explicit Panes(shell::MainWindow &w)
        : client(w.findChild<ClientArea *>(QStringLiteral("picClient")))
        , tree(w.findChild<QWidget *>(QStringLiteral("treContent")))
        , list(w.findChild<QWidget *>(QStringLiteral("lvwBookmark")))
        , pane(w.findChild<QWidget *>(QStringLiteral("webDescrip")))
        , drgV(w.findChild<QWidget *>(QStringLiteral("drgV")))
        , drgH(w.findChild<QWidget *>(QStringLiteral("drgH")))
    {
    }
    ClientArea *client;
    QWidget *tree;
    QWidget *list;
    QWidget *pane;
    QWidget *drgV;
    QWidget *drgH;
};

void writeConfig(const char *section, const char *key, const QString &value)
{
    QVERIFY(writeIniValue(QLatin1String(section), QLatin1String(key), value, configIniPath()));
}

// A left-button drag on a splitter bar, in its own pixels.
void drag(QWidget *bar, QPoint from, QPoint to, QWidget *ghost, QRect *ghostDuringMove = nullptr)
{
    auto send = [bar](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), bar->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
            Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    QVERIFY(ghost->isVisible());
    send(QEvent::MouseMove, to, Qt::LeftButton);
    if (ghostDuringMove)
        *ghostDuringMove = ghost->geometry();
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    QVERIFY(!ghost->isVisible());
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearHome(); }

    // No INI files: maximised, every panel shown, splitters 5000/3000, the
    // window's font, the image folder made; all of it written at shutdown.
    void defaultsWithoutSettingsFiles()
    {
        QVERIFY(!QFileInfo::exists(configIniPath()));
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        QTRY_VERIFY(w.isMaximized());
        const Panes p(w);
        for (const char *key : {"miVToolBox", "miVNavPanel", "miVDescription"})
            QVERIFY(w.commandBar().action(QLatin1String(key))->isChecked());
        for (QWidget *part : {p.tree, p.list, p.pane, p.drgV, p.drgH})
            QVERIFY2(part->isVisible(), qPrintable(part->objectName()));
        QVERIFY(w.commandBar().toolbox()->isVisible());
        QCOMPARE(p.tree->width(), toPixels(3000));
        QCOMPARE(p.list->height(), toPixels(5000));
        QVERIFY(QFileInfo(defaultImageFolder()).isDir());
        const OptionSettings &options = w.workspace().optionSettings();
        QCOMPARE(options.fontName, w.font().family());
        QCOMPARE(p.tree->font().family(), w.font().family());
        QCOMPARE(p.list->font(), p.tree->font());
        QCOMPARE(options.loadMethods, 0);
        QVERIFY(w.close());

        const WindowSettings saved = loadWindowSettings();
        QCOMPARE(saved.cmdShow, 2);
        QCOMPARE(saved.hPosition, 5000);
        QCOMPARE(saved.vPosition, 3000);
        QVERIFY(saved.showPanel && saved.showToolbox && saved.showDescrip);
        QCOMPARE(readIniValue(QStringLiteral("View"), QStringLiteral("Descrip"), configIniPath()),
            QStringLiteral("True"));
        QCOMPARE(readIniValue(QStringLiteral("Font"), QStringLiteral("FontName"), optionIniPath()),
            w.font().family());

        // A window closed before it was ever shown keeps the stored state.
        shell::MainWindow unseen;
        QVERIFY(unseen.close());
        QCOMPARE(loadWindowSettings().cmdShow, 2);
    }

    // Each toggle hides its part and gives the room away; the marks come
    // back after a restart, and the parts stay hidden.
    void viewTogglesAndTheirPersistence()
    {
        {
            shell::MainWindow w;
            QVERIFY(showAndWait(w));
            const Panes p(w);
            w.commandBar().action(QStringLiteral("miVNavPanel"))->trigger();
            QVERIFY(!p.tree->isVisible() && !p.drgV->isVisible());
            QCOMPARE(p.list->x(), 0);
            QCOMPARE(p.pane->x(), 0);
            w.commandBar().action(QStringLiteral("miVDescription"))->trigger();
            QVERIFY(!p.pane->isVisible() && !p.drgH->isVisible());
            QCOMPARE(p.list->geometry(), p.client->rect());

            // The toolbox button on the main toolbar shares the View item.
            QToolBar *toolbox = w.commandBar().toolbox();
            const int clientLeft = p.client->x();
            QVERIFY(clientLeft > 0);
            auto *button
                = qobject_cast<QToolButton *>(w.commandBar().mainToolbar()->widgetForAction(
                    w.commandBar().action(QStringLiteral("miVToolBox"))));
            QVERIFY(button && button->isChecked());
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(!w.commandBar().action(QStringLiteral("miVToolBox"))->isChecked());
            QVERIFY(!toolbox->isVisible());
            QTRY_COMPARE(p.client->x(), 0);
            QTRY_COMPARE(p.list->geometry(), p.client->rect());
            QVERIFY(w.close());
        }
        const WindowSettings saved = loadWindowSettings();
        QVERIFY(!saved.showPanel && !saved.showDescrip && !saved.showToolbox);

        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        const Panes p(w);
        for (const char *key : {"miVToolBox", "miVNavPanel", "miVDescription"})
            QVERIFY(!w.commandBar().action(QLatin1String(key))->isChecked());
        QVERIFY(!p.tree->isVisible() && !p.pane->isVisible());
        QVERIFY(!w.commandBar().toolbox()->isVisible());
        QTRY_COMPARE(p.list->geometry(), p.client->rect());

        w.commandBar().action(QStringLiteral("miVNavPanel"))->trigger();
        QVERIFY(p.tree->isVisible() && p.drgV->isVisible());
        QCOMPARE(p.list->x(), toPixels(3120));
        QVERIFY(w.close());
        QVERIFY(loadWindowSettings().showPanel);
    }

    // iCmdShow=0 opens a normal window at the stored place; an unmoved
    // window writes the place back unchanged, a minimised one as maximised.
    void normalWindowAtTheStoredPlace()
    {
        writeConfig("WindowState", "iCmdShow", QStringLiteral("0"));
        writeConfig("Position", "Top", QStringLiteral("100"));
        writeConfig("Position", "Left", QStringLiteral("100"));
        writeConfig("Position", "Width", QStringLiteral("8000"));
        writeConfig("Position", "Height", QStringLiteral("6000"));
        {
            shell::MainWindow w;
            QVERIFY(showAndWait(w));
            QVERIFY(!w.isMaximized());
            QCOMPARE(w.geometry(), QRect(7, 7, 533, 400));
            QVERIFY(w.close());
        }
        WindowSettings saved = loadWindowSettings();
        QCOMPARE(saved.cmdShow, 0);
        QCOMPARE(QList<int>({saved.top, saved.left, saved.width, saved.height}),
            QList<int>({100, 100, 8000, 6000}));

        {
            shell::MainWindow w;
            QVERIFY(showAndWait(w));
            w.setGeometry(30, 40, 700, 500);
            w.showMinimized();
            QTRY_VERIFY(w.isMinimized());
            QVERIFY(w.close());
        }
        saved = loadWindowSettings();
        QCOMPARE(saved.cmdShow, 2);
        QCOMPARE(QList<int>({saved.top, saved.left, saved.width, saved.height}),
            QList<int>({600, 450, 10500, 7500}));

        // Maximised from there: the normal place is kept for next time.
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        QTRY_VERIFY(w.isMaximized());
        QCOMPARE(w.normalGeometry(), QRect(30, 40, 700, 500));
        QVERIFY(w.close());
        QCOMPARE(loadWindowSettings().left, 450);
    }

    // Stored places no screen can show (a hand-edited or foreign config.ini)
    // open a window on the screen, no larger than it.
    void placesBeyondTheScreenAreFitted()
    {
        writeConfig("WindowState", "iCmdShow", QStringLiteral("0"));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Top, Left, Width, Height.
        const char *const places[][4] = {{"0", "0", "999999999", "999999999"},
            {"-99999", "300000", "9000", "7000"}, {"100", "100", "491505", "491505"}};
        for (const auto &place : places) {
            writeConfig("Position", "Top", QLatin1String(place[0]));
            writeConfig("Position", "Left", QLatin1String(place[1]));
            writeConfig("Position", "Width", QLatin1String(place[2]));
            writeConfig("Position", "Height", QLatin1String(place[3]));
            shell::MainWindow w;
            QVERIFY(showAndWait(w));
            QVERIFY2(screen.intersects(w.geometry()), place[1]);
            QVERIFY(w.width() <= screen.width() && w.height() <= screen.height());
            QVERIFY(w.geometry().top() >= screen.top());
            QVERIFY(w.close());
        }
    }

    void windowKeepsItsMinimumSize()
    {
        writeConfig("WindowState", "iCmdShow", QStringLiteral("0"));
        writeConfig("Position", "Width", QStringLiteral("1500"));
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        QCOMPARE(w.width(), 400);
        w.resize(100, 50);
        QCOMPARE(w.size(), QSize(400, 300));
        QVERIFY(w.close());
    }

    // The client area applies the numbers of its layout: a stored tree
    // width of 100 is laid out as 600, a huge one is cut at W - 700.
    void clientAreaFollowsTheLayoutNumbers()
    {
        writeConfig("Splitter", "vPosition", QStringLiteral("100"));
        writeConfig("Splitter", "hPosition", QStringLiteral("99999"));
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        const Panes p(w);
        const QSize room = toTwips(p.client->size());
        const ClientLayout expected = layoutClient(room, 100, 99999, true, true);
        QCOMPARE(p.tree->geometry(), toPixels(QRect(0, 0, 600, room.height())));
        QCOMPARE(p.list->height(), toPixels(room.height() - 720));
        QCOMPARE(p.list->geometry(), toPixels(expected.list));
        QCOMPARE(p.drgV->geometry(), toPixels(expected.vSplitter));
        QCOMPARE(p.drgH->geometry(), toPixels(expected.hSplitter));
        QCOMPARE(p.pane->geometry(), toPixels(expected.pane));

        w.workspace().windowSettings().vPosition = 99999;
        p.client->relayout();
        QCOMPARE(p.tree->width(), toPixels(room.width() - 700));
        QVERIFY(w.close());
        // Reading the settings changes nothing stored by itself.
        QCOMPARE(loadWindowSettings().vPosition, 99999);
    }

    // Dragging beyond 650 from an edge stops the ghost bar there; the drop
    // moves the panes and stores the new place.
    void splitterDragsStopAt650AndStoreThePlace()
    {
        QSize room;
        {
            shell::MainWindow w;
            QVERIFY(showAndWait(w));
            const Panes p(w);
            QWidget *ghost = p.client->ghostBar();
            room = toTwips(p.client->size());
            QRect during;

            drag(p.drgV, QPoint(2, 100), QPoint(-1000, 100), ghost, &during);
            QCOMPARE(during.x(), toPixels(650));
            QCOMPARE(w.workspace().windowSettings().vPosition, 635);
            QCOMPARE(p.tree->width(), toPixels(635));
            QCOMPARE(p.list->x(), toPixels(755));
            QCOMPARE(p.pane->x(), p.list->x());
            QCOMPARE(p.drgH->x(), p.list->x());

            drag(p.drgV, QPoint(2, 100), QPoint(5000, 100), ghost, &during);
            QCOMPARE(during.x(), toPixels(room.width() - 650));
            QCOMPARE(w.workspace().windowSettings().vPosition, room.width() - 650 - 15);

            drag(p.drgH, QPoint(100, 8), QPoint(100, -2000), ghost, &during);
            QCOMPARE(during.y(), toPixels(650));
            QCOMPARE(w.workspace().windowSettings().hPosition, 635);
            QCOMPARE(p.list->height(), toPixels(635));
            QCOMPARE(p.pane->y(), toPixels(755));
            QCOMPARE(p.pane->geometry().bottom(), p.client->rect().bottom());

            drag(p.drgH, QPoint(100, 8), QPoint(100, 5000), ghost, &during);
            QCOMPARE(during.y(), toPixels(room.height() - 650));
            QCOMPARE(w.workspace().windowSettings().hPosition, room.height() - 650 - 15);
            // A right-button press moves nothing.
            QMouseEvent right(QEvent::MouseButtonPress, QPointF(2, 2),
                p.drgH->mapToGlobal(QPointF(2, 2)), Qt::RightButton, Qt::RightButton,
                Qt::NoModifier);
            QApplication::sendEvent(p.drgH, &right);
            QVERIFY(!ghost->isVisible());
            QVERIFY(w.close());
        }
        const WindowSettings saved = loadWindowSettings();
        QCOMPARE(saved.vPosition, room.width() - 665);
        QCOMPARE(saved.hPosition, room.height() - 665);
        // Next time the stored places go through the layout's limits.
        shell::MainWindow again;
        QVERIFY(showAndWait(again));
        const Panes p(again);
        QCOMPARE(toTwips(p.client->size()), room);
        QCOMPARE(p.tree->width(), toPixels(room.width() - 700));
        QCOMPARE(p.list->height(), toPixels(room.height() - 720));
        QVERIFY(again.close());
    }

    void progressBarSitsInStatusPanelTwo()
    {
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        QProgressBar *bar = w.progressBar();
        QWidget *panel = w.findChild<QWidget *>(QStringLiteral("staTipPanel2"));
        QVERIFY(panel);
        QCOMPARE(bar->parentWidget(), w.statusBar());
        QVERIFY(!bar->isVisible());
        w.workspace().services().progress->setVisible(true);
        QVERIFY(bar->isVisible());
        const QRect cell = panel->geometry();
        const QRect expected
            = toPixels(progressBarRect(QRect(toTwips(cell.x()), toTwips(cell.y()),
                                           toTwips(cell.width()), toTwips(cell.height())),
                toTwips(w.statusBar()->height())));
        QCOMPARE(bar->geometry(), expected);
        QVERIFY(bar->geometry().left() > cell.left() && bar->geometry().right() < cell.right());
        w.workspace().services().progress->setVisible(false);
        QVERIFY(w.close());
    }

    // A font this machine lacks falls back to the window's font, which is
    // what gets written back; an installed one reaches tree and list.
    void listFontFromOptionsWithFallback()
    {
        QVERIFY(writeIniValue(QStringLiteral("Font"), QStringLiteral("FontName"),
            QStringLiteral("No Such Family 4711"), optionIniPath()));
        QVERIFY(writeIniValue(QStringLiteral("Font"), QStringLiteral("FontSize"),
            QStringLiteral("big"), optionIniPath()));
        QString windowFamily;
        {
            shell::MainWindow w;
            windowFamily = w.font().family();
            QCOMPARE(w.headingView()->font().family(), windowFamily);
            QVERIFY(w.close());
        }
        QCOMPARE(readIniValue(QStringLiteral("Font"), QStringLiteral("FontName"), optionIniPath()),
            windowFamily);
        QVERIFY(readIniValue(QStringLiteral("Font"), QStringLiteral("FontSize"), optionIniPath())
                    .toDouble()
            > 0);

        const QString family = QFontDatabase::families().constFirst();
        QVERIFY(writeIniValue(
            QStringLiteral("Font"), QStringLiteral("FontName"), family, optionIniPath()));
        QVERIFY(writeIniValue(QStringLiteral("Font"), QStringLiteral("FontSize"),
            QStringLiteral("14"), optionIniPath()));
        shell::MainWindow w;
        QCOMPARE(w.headingView()->font().family(), family);
        QCOMPARE(w.headingView()->font().pointSizeF(), 14.0);
        QCOMPARE(w.bookmarkView()->font(), w.headingView()->font());
        QVERIFY(w.close());
    }

    // Junk in config.ini reads as the defaults, the window opens, and
    // shutdown writes every key cleanly next to the junk it keeps.
    void junkSettingsFileIsRewrittenAtShutdown()
    {
        QDir().mkpath(common::appHome());
        QFile file(configIniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x01\xff\xfe junk\n[View\nPanel=False\n[WindowState]\niCmdShow=abc\n"
                   "[Splitter]\nvPosition=12x\nvPosition=4000\n");
        file.write(QByteArray(5000, 'x'));
        file.close();
        {
            shell::MainWindow w;
            QVERIFY(showAndWait(w));
            QTRY_VERIFY(w.isMaximized());
            QCOMPARE(w.workspace().windowSettings().vPosition, 3000);
            QVERIFY(w.commandBar().action(QStringLiteral("miVNavPanel"))->isChecked());
            QVERIFY(w.close());
        }
        const IniDocument ini(configIniPath());
        QCOMPARE(ini.value(QStringLiteral("WindowState"), QStringLiteral("iCmdShow")),
            QStringLiteral("2"));
        QCOMPARE(ini.value(QStringLiteral("Splitter"), QStringLiteral("vPosition")),
            QStringLiteral("3000"));
        QCOMPARE(
            ini.value(QStringLiteral("View"), QStringLiteral("Panel")), QStringLiteral("True"));
        QCOMPARE(loadWindowSettings().hPosition, 5000);
    }
};

QUILLET_GUI_TEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
