// SPDX-License-Identifier: GPL-3.0-or-later
// The find and duplicate windows opened from the main window (shortcut,
// toolbar, menu) and driven through their widgets.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;

namespace {

// Clicks `row` of `view` (double when asked), as the mouse would.
void clickRow(QTreeView *view, int row, bool twice = false)
{
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class FindTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearHome(); }

    void bothWindowsWorkFromTheMainWindow()
    {
        const QString path = common::homePath(QStringLiteral("find.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), QStringLiteral("K10")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("alpha one"),
                 QStringLiteral("dup.org")},
                {QStringLiteral("K10"), QStringLiteral("K1"), QStringLiteral("alpha two"),
                    QStringLiteral("DUP.org")},
                {QStringLiteral("K10"), QStringLiteral("K2"), QStringLiteral("beta"),
                    QStringLiteral("b.org")}});
        ScriptedMessageBoxes messages;
        RecordingDesktop desktop;
        shell::MainWindow w({&messages, nullptr, &desktop});
        QVERIFY(startWith(w, {path}));
        QAction *find = w.commandBar().action(QStringLiteral("miEFind"));
        QCOMPARE(find->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(w.commandBar().mainToolbar()->actions().contains(find));

        // Ctrl+F, typing and Enter, then a double click on a hit.
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == QLatin1String("frmFind"));
            seen = true;
            QCOMPARE(dialog->windowTitle(), QStringLiteral(" Quillet"));
            QCOMPARE(child<QComboBox>(dialog, "cboOption")->currentText(), QStringLiteral("All"));
            auto *text = child<QLineEdit>(dialog, "txtSearch");
            auto *results = child<QTreeView>(dialog, "lvwResult");
            auto *clear = child<QPushButton>(dialog, "cmdClear");
            QVERIFY(!child<QPushButton>(dialog, "cmdFind")->isEnabled());
            QTest::keyClicks(text, QStringLiteral("ALPHA"));
            QVERIFY(child<QPushButton>(dialog, "cmdFind")->isEnabled());
            QTest::keyClick(text, Qt::Key_Return);
            QCOMPARE(results->model()->rowCount(), 2);
            QVERIFY(clear->isEnabled());
            clickRow(results, 1, true);
            QCOMPARE(w.workspace().tree().current()->title, QStringLiteral("News"));
            QCOMPARE(
                listedNames(w), QStringList({QStringLiteral("alpha two"), QStringLiteral("beta")}));
            QCOMPARE(w.workspace().list().selectedRow(), 0);
            QVERIFY(dialog->isVisible());
            click(clear);
            QCOMPARE(results->model()->rowCount(), 0);
            QVERIFY(!clear->isEnabled());
            click(child<QPushButton>(dialog, "cmdExit"));
        });
        QTest::keyClick(w.bookmarkView(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(seen);

        // The duplicate scan: a group opens its link, a member is deleted
        // and leaves the main list.
        QVERIFY(answerDialog(w, QStringLiteral("miTScan"), "frmDups", [&](QWidget *dialog) {
            auto *list = child<QTreeView>(dialog, "lvwDups");
            click(child<QPushButton>(dialog, "cmdStart"));
            QCOMPARE(list->model()->rowCount(), 3);
            QVERIFY(!child<QLabel>(dialog, "lblPro")->isVisible());
            clickRow(list, 0);
            QCOMPARE(desktop.links.size(), 1);
            const int two
                = list->model()->index(1, 0).data().toString() == QLatin1String(" alpha two") ? 1
                                                                                              : 2;
            clickRow(list, two);
            click(child<QPushButton>(dialog, "cmdDelete"));
            QCOMPARE(list->model()->rowCount(), 2);
            click(child<QPushButton>(dialog, "cmdExit"));
        }));
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("beta")});
        QVERIFY(w.workspace().document().isModified());
        QVERIFY(messages.shown.isEmpty());
        w.workspace().document().setModified(false);
    }
};

QUILLET_GUI_TEST_MAIN(FindTest)
#include "tst_find.moc"
