// SPDX-License-Identifier: GPL-3.0-or-later
// The command set as the running main window shows it: menus, toolbars,
// toolbox and list popup against the command table, recent files, the
// select-all paths.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "core/settings/Settings.h"
#include "core/shell/CommandTable.h"
#include "core/store/EngineError.h"
#include "gui/commands/CommandBar.h"
#include "gui/commands/CommandBinding.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <stdexcept>

using namespace quillet;
using namespace quillet::test;

namespace {

QStringList visibleKeysOf(const QMenu *menu)
{
    QStringList keys;
    for (const QAction *a : menu->actions()) {
        if (a->isVisible())
            keys << a->objectName();
    }
    return keys;
}

QToolBar *toolBarIn(QMainWindow &w, Qt::ToolBarArea area)
{
    for (QToolBar *bar : w.findChildren<QToolBar *>()) {
        if (w.toolBarArea(bar) == area)
            return bar;
    }
    return nullptr;
}

} // namespace

class CommandBarTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearHome(); }

    // Every band, read from the window's own menu bar, toolbars and popup.
    void bandsHoldTheirItemsInOrder()
    {
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        auto band
            = [](const char *key) { return shell::findCommandBand(QLatin1String(key))->items; };

        const QList<QAction *> menus = w.menuBar()->actions();
        QCOMPARE(actionKeys(menus), band("bndMenu"));
        for (QAction *menu : menus) {
            QVERIFY2(menu->menu(), qPrintable(menu->objectName()));
            const QString submenu = shell::findCommandItem(menu->objectName())->submenu;
            QCOMPARE(actionKeys(menu->menu()->actions()), shell::findCommandBand(submenu)->items);
            QCOMPARE(menu->menu()->title(), menu->text());
        }
        QCOMPARE(actionKeys(menus.at(0)->menu()->actions()), band("bndFile"));
        QAction *synch = w.findChild<QAction *>(QStringLiteral("miTSynch"));
        QVERIFY(synch->menu());
        QCOMPARE(actionKeys(synch->menu()->actions()), band("bndSync"));

        QToolBar *toolbar = toolBarIn(w, Qt::TopToolBarArea);
        QToolBar *toolbox = toolBarIn(w, Qt::LeftToolBarArea);
        QVERIFY(toolbar && toolbox);
        QCOMPARE(actionKeys(toolbar->actions()), band("bndToolbar"));
        QCOMPARE(actionKeys(toolbox->actions()), band("bndNode"));
        QCOMPARE(actionKeys(w.commandBar().listPopup()->actions()), band("bndList"));

        // Shared items are one action wherever they stand.
        QMenu *edit = w.commandBar().menu(QStringLiteral("bndEdit"));
        for (const char *key : {"miECut", "miECopy", "miEPaste", "miEDelete", "miESelectAll"}) {
            QAction *a = w.findChild<QAction *>(QLatin1String(key));
            QVERIFY(edit->actions().contains(a));
            QVERIFY(w.commandBar().listPopup()->actions().contains(a));
        }
        QCOMPARE(w.findChildren<QAction *>(QStringLiteral("miEFind")).size(), 1);
    }

    // Captions, tooltips, shortcuts, styles and pictures of every item.
    void itemsCarryTheirCaptionsTooltipsShortcutsAndIcons()
    {
        shell::MainWindow w;
        const QList<shell::CommandItem> &items = shell::commandItems();
        QCOMPARE(w.commandBar().actions().size(), items.size());
        for (const shell::CommandItem &item : items) {
            const QString key = item.key;
            QAction *a = w.findChild<QAction *>(key);
            QVERIFY2(a, qPrintable(key));
            if (!key.startsWith(QLatin1String("miFMRU")))
                QCOMPARE(a->text(), item.caption);
            if (!item.tooltip.isEmpty())
                QCOMPARE(a->toolTip(), item.tooltip);
            QCOMPARE(a->shortcut(), QKeySequence(item.shortcut));
            QCOMPARE(a->isSeparator(), item.style == shell::CommandItem::Style::Separator);
            QCOMPARE(a->isCheckable(), item.style == shell::CommandItem::Style::Check);
            // Never greyed, but for Undo and Redo with nothing to play back.
            const bool history = key == QLatin1String("miEUndo") || key == QLatin1String("miERedo");
            QVERIFY2(a->isEnabled() != history || !a->isVisible(), qPrintable(key));
            QCOMPARE(a->icon().isNull(), item.icon < 0);
            if (item.icon >= 0) {
                const QList<QSize> sizes = a->icon().availableSizes();
                QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)),
                    qPrintable(key));
                QVERIFY(!a->icon().pixmap(16).toImage().isNull());
            }
        }
        // The blanks that widen the menus are part of the captions.
        auto text
            = [&w](const char *key) { return w.findChild<QAction *>(QLatin1String(key))->text(); };
        QCOMPARE(text("miESelectAll"), QStringLiteral("Select all   ") + QString(5, u' '));
        QCOMPARE(text("miTImport"), QStringLiteral("Import from IE Favorites") + QString(7, u' '));
        QCOMPARE(text("miHContent"), QStringLiteral("Content                  "));
        QCOMPARE(text("miFSaveAs"), QStringLiteral("Save as..."));
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("miFNew"))->toolTip(),
            QStringLiteral("New file"));
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("miESelectAll"))->shortcut(),
            QKeySequence(Qt::CTRL | Qt::Key_A));
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("miTExport"))->shortcut(),
            QKeySequence(Qt::CTRL | Qt::Key_E));
    }

    void toolboxButtonsShowPicturesAndTooltipsOnly()
    {
        shell::MainWindow w;
        QVERIFY(showAndWait(w));
        QToolBar *toolbox = w.commandBar().toolbox();
        QCOMPARE(toolbox->toolButtonStyle(), Qt::ToolButtonIconOnly);
        int buttons = 0;
        for (QAction *a : toolbox->actions()) {
            if (a->isSeparator())
                continue;
            auto *button = qobject_cast<QToolButton *>(toolbox->widgetForAction(a));
            QVERIFY(button);
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
            QVERIFY(button->text().isEmpty());
            QVERIFY(!button->icon().isNull());
            QCOMPARE(button->toolTip(), shell::findCommandItem(a->objectName())->tooltip);
            ++buttons;
        }
        QCOMPARE(buttons, 7);
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("miNAddHead"))->toolTip(),
            QStringLiteral("Add heading or subheading"));
    }

    void recentFilesStopAtTheFirstEmptyEntry()
    {
        {
            shell::MainWindow w;
            QMenu *file = w.commandBar().menu(QStringLiteral("bndFile"));
            // None: no entries and no rule before Exit.
            QCOMPARE(visibleKeysOf(file),
                (QStringList {QStringLiteral("miFNew"), QStringLiteral("miFOpen"),
                    QStringLiteral("miFSave"), QStringLiteral("miFSaveAs"),
                    QStringLiteral("miFSep1"), QStringLiteral("miFExit")}));
            QVERIFY(w.close());
        }
        WindowSettings settings = loadWindowSettings();
        settings.mru
            = {QStringLiteral("/docs/one.rdb"), QString(), QStringLiteral("/docs/three.rdb")};
        QVERIFY(saveWindowSettings(settings));
        shell::MainWindow w;
        QCOMPARE(visibleKeysOf(w.commandBar().menu(QStringLiteral("bndFile"))),
            (QStringList {QStringLiteral("miFNew"), QStringLiteral("miFOpen"),
                QStringLiteral("miFSave"), QStringLiteral("miFSaveAs"), QStringLiteral("miFSep1"),
                QStringLiteral("miFMRU1"), QStringLiteral("miSepMRU"), QStringLiteral("miFExit")}));
        QCOMPARE(w.commandBar().action(QStringLiteral("miFMRU1"))->text(),
            QStringLiteral("&1 /docs/one.rdb"));
        QVERIFY(w.close());
        // Entries that are not shown are still kept.
        QCOMPARE(loadWindowSettings().mru[2], QStringLiteral("/docs/three.rdb"));
    }

    // Wiring mistakes fail while the window is built; a command's engine
    // failure reaches the user as one critical message.
    void bindingRefusesWrongKeysAndReportsEngineErrors()
    {
        QMainWindow host;
        commands::CommandBar bar(&host);
        ScriptedMessageBoxes messages;
        outline::Workspace ws({&messages});
        commands::CommandBinding commands(bar, ws);
        const auto nothing = [] {};
        // Unknown, a separator, a menu.
        for (const char *key : {"miNoSuch", "miFSep1", "mnuFile"}) {
            QVERIFY_THROWS_EXCEPTION(std::logic_error, commands.bind(QLatin1String(key), nothing));
            QVERIFY_THROWS_EXCEPTION(std::logic_error, commands.leaveUnbound(QLatin1String(key)));
        }
        QVERIFY_THROWS_EXCEPTION(std::logic_error, bar.trigger(QStringLiteral("miNoSuch")));

        int runs = 0;
        commands.bind(QStringLiteral("miEFind"), [&runs] {
            ++runs;
            throw store::EngineError(store::EngineErrorCode::DiskFull, QStringLiteral("Disk full"));
        });
        QVERIFY_THROWS_EXCEPTION(
            std::logic_error, commands.bind(QStringLiteral("miEFind"), nothing));
        QVERIFY_THROWS_EXCEPTION(
            std::logic_error, commands.leaveUnbound(QStringLiteral("miEFind")));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, commands.requireComplete());
        bar.trigger(QStringLiteral("miEFind"));
        QCOMPARE(runs, 1);
        QCOMPARE(messages.texts(), QStringList {QStringLiteral("Disk full")});
        QCOMPARE(messages.shown.first().icon, platform::MessageIcon::Critical);
    }

    // Ctrl+A in the list and "Select all" on its context menu select every
    // listed bookmark.
    void selectAllByKeyAndByContextMenu()
    {
        const QString path = common::homePath(QStringLiteral("three.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Alpha"),
                 QStringLiteral("http://a.example.org")},
                {QStringLiteral("kRoot"), QStringLiteral("K2"), QStringLiteral("Beta"),
                    QStringLiteral("http://b.example.org")},
                {QStringLiteral("kRoot"), QStringLiteral("K3"), QStringLiteral("Gamma"),
                    QStringLiteral("http://c.example.org")}});
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        w.activateWindow();
        QTreeView *list = w.bookmarkView();
        QItemSelectionModel *selection = list->selectionModel();
        QCOMPARE(w.workspace().list().model().count(), 3);

        list->setFocus();
        selection->clearSelection();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selection->selectedRows().size(), 3);

        selection->clearSelection();
        const QPoint at = list->visualRect(list->model()->index(1, 0)).center();
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &request);
        QMenu *popup = w.commandBar().listPopup();
        QTRY_VERIFY(popup->isVisible());
        QAction *selectAll = w.commandBar().action(QStringLiteral("miESelectAll"));
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(selectAll).center());
        QTRY_VERIFY(!popup->isVisible());
        QCOMPARE(selection->selectedRows().size(), 3);
        QVERIFY(w.close());
        QVERIFY(messages.shown.isEmpty());
    }
};

QUILLET_GUI_TEST_MAIN(CommandBarTest)
#include "tst_commandbar.moc"
