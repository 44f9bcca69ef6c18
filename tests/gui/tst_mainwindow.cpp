// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user would: keys, clicks and menus.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/settings/Settings.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QDragMoveEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QString writeSample(const QString &name)
    {
        const QString path = common::homePath(name);
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), QStringLiteral("K10")},
                {QStringLiteral("kRoot"), QStringLiteral("Recipes"), QStringLiteral("K20")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Home page"),
                 QStringLiteral("http://home.example.org")},
                {QStringLiteral("K10"), QStringLiteral("K1"), QStringLiteral("Daily news"),
                    QStringLiteral("http://news.example.org")},
                {QStringLiteral("K10"), QStringLiteral("K2"), QStringLiteral("Weekly digest"),
                    QStringLiteral("http://digest.example.org")},
                {QStringLiteral("K20"), QStringLiteral("K1"), QStringLiteral("Soup"),
                    QStringLiteral("http://soup.example.org")}});
        return path;
    }

private Q_SLOTS:
    void init() { clearHome(); }

    // Open a document given on the command line, select a heading, delete a
    // bookmark with the Delete key, save with Ctrl+S, reopen: the bookmark
    // is gone for good and the rest is there.
    void deleteWithTheKeyboardSaveAndReopen()
    {
        const QString path = writeSample(QStringLiteral("my bookmarks.rdb"));
        ScriptedMessageBoxes messages;
        {
            shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
            QVERIFY(startWith(w, {QLatin1Char('"') + path + QLatin1Char('"')}));
            w.activateWindow();
            QCOMPARE(w.windowTitle(), QStringLiteral("Quillet- my bookmarks.rdb"));
            QCOMPARE(listedNames(w), QStringList {QStringLiteral("Home page")});
            QCOMPARE(w.statusText(), QStringLiteral("Status: Idle - 1 bookmarks found."));

            QVERIFY(clickHeading(w, QStringLiteral("News")));
            QTRY_COMPARE(listedNames(w),
                (QStringList {QStringLiteral("Daily news"), QStringLiteral("Weekly digest")}));
            QTreeView *list = w.bookmarkView();
            const QRect first = list->visualRect(w.workspace().list().model().index(0, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
            QCOMPARE(w.workspace().list().selectedKey(), QStringLiteral("K1"));
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(listedNames(w), QStringList {QStringLiteral("Weekly digest")});
            QVERIFY(w.workspace().document().isModified());
            QCOMPARE(w.statusText(), QStringLiteral("Status: Idle - 1 bookmarks found."));

            QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
            QVERIFY(!w.workspace().document().isModified());
            QVERIFY(w.close());
            QVERIFY(messages.shown.isEmpty());
        }
        QCOMPARE(itemRows(path),
            (QStringList {QStringLiteral("Home page:0"), QStringLiteral("Weekly digest:0"),
                QStringLiteral("Soup:0")}));
        // The file is in the recent list and opens again from there.
        QCOMPARE(loadWindowSettings().mru[0], path);
        shell::MainWindow again(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(again));
        QCOMPARE(again.windowTitle(), QStringLiteral("Quillet"));
        QAction *recent = again.commandBar().action(QStringLiteral("miFMRU1"));
        QVERIFY(recent->isVisible());
        QCOMPARE(recent->text(), QStringLiteral("&1 ") + path);
        recent->trigger();
        QCOMPARE(again.windowTitle(), QStringLiteral("Quillet- my bookmarks.rdb"));
        QVERIFY(clickHeading(again, QStringLiteral("News")));
        QTRY_COMPARE(listedNames(again), QStringList {QStringLiteral("Weekly digest")});
        QVERIFY(again.close());
    }

    // Edit > Undo and Redo head the Edit menu, name the step, answer Ctrl+Z,
    // Ctrl+Shift+Z and Ctrl+Y, and go grey when there is nothing to play back.
    void undoAndRedoFromTheEditMenuAndKeys()
    {
        const QString path = writeSample(QStringLiteral("undo.rdb"));
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        w.activateWindow();
        QAction *undo = w.commandBar().action(QStringLiteral("miEUndo"));
        QAction *redo = w.commandBar().action(QStringLiteral("miERedo"));
        const QList<QAction *> edit = w.commandBar().menu(QStringLiteral("bndEdit"))->actions();
        QCOMPARE(edit.mid(0, 2), (QList<QAction *> {undo, redo}));
        QVERIFY(edit.at(2)->isSeparator());
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("Undo"));

        QVERIFY(clickHeading(w, QStringLiteral("News")));
        QTRY_COMPARE(listedNames(w).size(), 2);
        QTreeView *list = w.bookmarkView();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Weekly digest")});
        QTRY_COMPARE(undo->text(), QStringLiteral("Undo Delete bookmark"));
        QVERIFY(undo->isEnabled() && !redo->isEnabled());

        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(listedNames(w),
            (QStringList {QStringLiteral("Daily news"), QStringLiteral("Weekly digest")}));
        QCOMPARE(w.workspace().list().selectedKey(), QStringLiteral("K1"));
        QCOMPARE(redo->text(), QStringLiteral("Redo Delete bookmark"));
        QVERIFY(!undo->isEnabled() && redo->isEnabled());
        QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Weekly digest")});
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Weekly digest")});

        // Save settles the steps: nothing is left to undo.
        QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(w.close());
    }

    // In a long tree the selected heading stays in sight, whether a command
    // or the arrow keys made it current; a held key's repeated releases do
    // not end the hold; a slow drag in a scroll zone keeps the tree scrolling.
    void longTreeKeepsTheSelectionInSightAndHeldKeysHold()
    {
        QList<NodeRow> nodes {
            {QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")}};
        for (int i = 1; i <= 300; ++i)
            nodes << NodeRow(QStringLiteral("kRoot"),
                QStringLiteral("H%1").arg(i, 3, 10, QLatin1Char('0')),
                QStringLiteral("K%1").arg(i));
        const QString path = common::homePath(QStringLiteral("long.rdb"));
        writeDocument(path, nodes,
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("a"),
                 QStringLiteral("http://a")},
                {QStringLiteral("kRoot"), QStringLiteral("K2"), QStringLiteral("b"),
                    QStringLiteral("http://b")}});
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        QTreeView *tree = w.headingView();
        auto inSight = [tree] {
            return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
        };
        outline::HeadingTreeModel &model = w.workspace().tree();
        model.setCurrent(model.findByKey(QStringLiteral("K300")));
        QVERIFY(inSight());
        tree->setFocus();
        model.setCurrent(model.findByKey(QStringLiteral("K1")));
        for (int i = 0; i < 60; ++i)
            QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("H061"));
        QVERIFY(inSight());

        outline::BookmarkList &list = w.workspace().list();
        QTreeView *bookmarks = w.bookmarkView();
        w.activateWindow();
        bookmarks->setFocus();
        QTRY_VERIFY(bookmarks->hasFocus());
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(bookmarks, &press);
        QVERIFY(list.keyHeld());
        QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(bookmarks, &repeated);
        QVERIFY(list.keyHeld());
        QKeyEvent released(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(bookmarks, &released);
        QVERIFY(!list.keyHeld());

        auto *timer = tree->findChild<QTimer *>(QStringLiteral("tmrTemp"));
        QVERIFY(timer);
        QMimeData data;
        data.setData(QStringLiteral("application/x-quillet-drag"), QByteArray());
        const QPoint zone(20, tree->viewport()->height() - 3);
        auto moveTo = [&](QPoint pos) {
            QDragMoveEvent move(pos, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(tree->viewport(), &move);
        };
        QDragEnterEvent enter(zone, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &enter);
        moveTo(zone);
        QVERIFY(timer->isActive());
        const int scrolledFrom = tree->verticalScrollBar()->value();
        // A move every 30 ms, slower than nothing but faster than the tick.
        for (int i = 0; i < 12; ++i) {
            QTest::qWait(30);
            moveTo(zone + QPoint(i % 2, 0));
        }
        QVERIFY(tree->verticalScrollBar()->value() > scrolledFrom);
        moveTo(QPoint(20, tree->viewport()->height() / 2));
        QVERIFY(!timer->isActive());
        w.workspace().document().setModified(false);
        QVERIFY(w.close());
    }

    // Exit with unsaved changes asks; Cancel keeps everything as it was.
    void closingAModifiedDocumentAsksAndCancelKeepsIt()
    {
        const QString path = writeSample(QStringLiteral("sample.rdb"));
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        w.bookmarkView()->setFocus();
        w.commandBar().action(QStringLiteral("miEDelete"))->trigger();
        QVERIFY(w.workspace().document().isModified());

        messages.answer(platform::MessageAnswer::Cancel);
        QVERIFY(!w.close());
        QCOMPARE(messages.texts(),
            QStringList {
                QStringLiteral("The current file has been modified, would you like to save it?")});
        QVERIFY(w.workspace().document().isModified());
        QVERIFY(w.workspace().document().isOpen());

        messages.answer(platform::MessageAnswer::No);
        QVERIFY(w.close());
        QCOMPARE(itemRows(path).first(), QStringLiteral("Home page:0")); // discarded
    }

    // A start-up document that cannot be loaded: its message, then an empty
    // untitled document whose caption has no "- New".
    void startupFileThatFailsEndsInAnUntitledDocument()
    {
        OptionSettings options;
        options.loadMethods = 2;
        options.startupFile = common::homePath(QStringLiteral("missing.rdb"));
        QVERIFY(saveOptionSettings(options));
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        w.loadStartupDocument(
            {QStringLiteral("quillet"), QStringLiteral("/no/such/file.rdb")}, nullptr);
        QCOMPARE(messages.texts(),
            QStringList {QLatin1Char('\'') + options.startupFile
                + QStringLiteral("' could not be loaded. Could not find file '")
                + options.startupFile + QStringLiteral("'.")});
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillet"));
        QVERIFY(w.workspace().document().isUntitled());
        QCOMPARE(w.statusText(), QStringLiteral("Status: Idle"));
        const QString untitled = w.workspace().document().path();
        QVERIFY(QFileInfo::exists(untitled));
        // Closing an untitled document without changes asks nothing and
        // removes its file.
        QVERIFY(w.close());
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(!QFileInfo::exists(untitled));
    }

    void fileMenuHoldsTheCommandsInOrder()
    {
        shell::MainWindow w;
        QMenu *file = w.commandBar().menu(QStringLiteral("bndFile"));
        QCOMPARE(actionKeys(file->actions()),
            (QStringList {QStringLiteral("miFNew"), QStringLiteral("miFOpen"),
                QStringLiteral("miFSave"), QStringLiteral("miFSaveAs"), QStringLiteral("miFSep1"),
                QStringLiteral("miFMRU1"), QStringLiteral("miFMRU2"), QStringLiteral("miFMRU3"),
                QStringLiteral("miSepMRU"), QStringLiteral("miFExit")}));
        QCOMPARE(w.commandBar().action(QStringLiteral("miFSave"))->shortcut(),
            QKeySequence(QStringLiteral("Ctrl+S")));
        w.close();
    }
};

QUILLET_GUI_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
