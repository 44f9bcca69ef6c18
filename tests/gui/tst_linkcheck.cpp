// SPDX-License-Identifier: GPL-3.0-or-later
// The link check window opened from the main window (Tools menu, the list's
// popup) against a server of the test on 127.0.0.1, driven by keys and
// buttons.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "LocalHttpServer.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;

namespace {

QStringList column(QTreeView *view, int column)
{
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts << view->model()->index(row, column).data().toString();
    return texts;
}

void selectRow(QTreeView *view, int row)
{
    view->setFocus();
    view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString liveLinkOf(shell::MainWindow &w, const QString &name)
{
    for (const store::BookmarkRow &row :
        store::BookmarkTable(*w.workspace().document().database()).allLiveRows()) {
        if (row.name == name)
            return row.link;
    }
    return QStringLiteral("(none)");
}

} // namespace

class LinkCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearHome(); }

    void checksFromTheToolsMenuAndRepairsFromTheWindow()
    {
        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.answer("/ok", HttpAnswer::ok());
        server.answer("/new", HttpAnswer::ok());
        server.answer("/old", HttpAnswer::redirect(301, "/new"));
        const QString path = common::homePath(QStringLiteral("links.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("Sites"), QStringLiteral("K10")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Fine"),
                 server.url(QStringLiteral("/ok"))},
                {QStringLiteral("kRoot"), QStringLiteral("K2"), QStringLiteral("Old"),
                    server.url(QStringLiteral("/old"))},
                {QStringLiteral("K10"), QStringLiteral("K3"), QStringLiteral("Gone"),
                    server.url(QStringLiteral("/gone"))},
                {QStringLiteral("K10"), QStringLiteral("K4"), QStringLiteral("Mail"),
                    QStringLiteral("mailto:me@site.test")}});
        ScriptedMessageBoxes messages;
        RecordingDesktop desktop;
        shell::MainWindow w({&messages, nullptr, &desktop});
        QVERIFY(startWith(w, {path}));
        QVERIFY(w.commandBar()
                    .menu(QStringLiteral("bndTool"))
                    ->actions()
                    .contains(w.commandBar().action(QStringLiteral("miTCheckLinks"))));

        QVERIFY(answerDialog(w, QStringLiteral("miTCheckLinks"), "frmCheckLinks", [&](QWidget *d) {
            auto *list = child<QTreeView>(d, "lvwLinks");
            auto *counts = child<QLabel>(d, "lblCounts");
            QCOMPARE(child<QComboBox>(d, "cboScope")->currentIndex(), 0); // whole document
            QVERIFY(child<QCheckBox>(d, "chkProblems")->isChecked());
            QCOMPARE(list->model()->rowCount(), 0); // nothing runs before Start
            // Enter starts: Start is the default button.
            QTest::keyClick(child<QComboBox>(d, "cboScope"), Qt::Key_Return);
            QTRY_COMPARE(child<QLabel>(d, "lblProgress")->text(), QStringLiteral("4 of 4 links"));
            QTRY_VERIFY(!child<QPushButton>(d, "cmdStop")->isEnabled());
            QCOMPARE(counts->text(), QStringLiteral("OK 1   Moved 1   Dead 1   Skipped 1"));
            QCOMPARE(column(list, 0), QStringList({QStringLiteral("Old"), QStringLiteral("Gone")}));
            QCOMPARE(list->model()->index(0, 3).data().toString(),
                QStringLiteral("Moved \u2192 ") + server.url(QStringLiteral("/new")));
            QCOMPARE(list->model()->index(1, 1).data().toString(),
                QStringLiteral("my Favroites\\Sites"));
            QCOMPARE(list->model()->index(1, 3).data().toString(),
                QStringLiteral("Dead: 404 Not Found"));
            auto *problemsOnly = child<QCheckBox>(d, "chkProblems");
            problemsOnly->setFocus();
            QTest::keyClick(problemsOnly, Qt::Key_Space);
            QCOMPARE(list->model()->rowCount(), 4);
            QTest::keyClick(problemsOnly, Qt::Key_Space);
            QCOMPARE(list->model()->rowCount(), 2);

            // Enter opens the link; Use new link gives the moved bookmark its new link.
            selectRow(list, 0);
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(desktop.links, QStringList {server.url(QStringLiteral("/old"))});
            click(child<QPushButton>(d, "cmdUseNew"));
            QCOMPARE(liveLinkOf(w, QStringLiteral("Old")), server.url(QStringLiteral("/new")));
            QCOMPARE(
                w.workspace().list().model().entry(1).link, server.url(QStringLiteral("/new")));
            QCOMPARE(counts->text(), QStringLiteral("OK 2   Moved 0   Dead 1   Skipped 1"));
            QCOMPARE(column(list, 0), QStringList {QStringLiteral("Gone")});

            // Go to bookmark shows it in the main window; Delete removes it.
            selectRow(list, 0);
            click(child<QPushButton>(d, "cmdGoTo"));
            QCOMPARE(w.workspace().tree().current()->title, QStringLiteral("Sites"));
            QCOMPARE(listedNames(w), QStringList({QStringLiteral("Gone"), QStringLiteral("Mail")}));
            QCOMPARE(w.workspace().list().selectedRow(), 0);
            selectRow(list, 0);
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(list->model()->rowCount(), 0);
            QCOMPARE(counts->text(), QStringLiteral("OK 2   Moved 0   Dead 0   Skipped 1"));
            QCOMPARE(listedNames(w), QStringList {QStringLiteral("Mail")});
            QTest::keyClick(d, Qt::Key_Escape);
        }));
        QCOMPARE(liveLinkOf(w, QStringLiteral("Gone")), QStringLiteral("(none)"));
        QVERIFY(w.workspace().document().isModified());
        QVERIFY(messages.shown.isEmpty());
        // The check itself asked each link once, and nothing of the document.
        QCOMPARE(server.requestCount("/old"), 1);
        w.workspace().document().setModified(false);
    }

    void popupChecksTheSelectedBookmarksAtOnceAndStopEndsIt()
    {
        LocalHttpServer server;
        server.answer("/ok", HttpAnswer::ok());
        HttpAnswer silent;
        silent.neverAnswer = true;
        server.answer("/silent", silent);
        const QString path = common::homePath(QStringLiteral("popup.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("A"),
                 server.url(QStringLiteral("/ok"))},
                {QStringLiteral("kRoot"), QStringLiteral("K2"), QStringLiteral("B"),
                    server.url(QStringLiteral("/silent"))},
                {QStringLiteral("kRoot"), QStringLiteral("K3"), QStringLiteral("C"),
                    server.url(QStringLiteral("/other"))}});
        ScriptedMessageBoxes messages;
        shell::MainWindow w({&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        QTreeView *mainList = w.bookmarkView();
        mainList->setFocus();
        w.workspace().list().selectRow(0);
        mainList->selectionModel()->select(mainList->model()->index(1, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);

        // The popup, opened from the keyboard, and its "Check links".
        const QPoint at = mainList->visualRect(mainList->model()->index(0, 0)).center();
        QContextMenuEvent request(
            QContextMenuEvent::Keyboard, at, mainList->viewport()->mapToGlobal(at));
        QApplication::sendEvent(mainList->viewport(), &request);
        QMenu *popup = w.commandBar().listPopup();
        QTRY_VERIFY(popup->isVisible());
        QAction *check = w.commandBar().action(QStringLiteral("miLCheckLinks"));
        QVERIFY(popup->actions().contains(check));
        bool seen = false;
        QTimer wait;
        wait.setSingleShot(true);
        connect(&wait, &QTimer::timeout, this, [&] {
            QWidget *d = QApplication::activeModalWidget();
            if (!d) {
                wait.start(10); // not shown yet
                return;
            }
            QCOMPARE(d->objectName(), QStringLiteral("frmCheckLinks"));
            seen = true;
            QCOMPARE(child<QComboBox>(d, "cboScope")->currentIndex(), 2); // selected bookmarks
            auto *progress = child<QLabel>(d, "lblProgress");
            QTRY_COMPARE(progress->text(), QStringLiteral("1 of 2 links"));
            QVERIFY(child<QPushButton>(d, "cmdStop")->isEnabled());
            click(child<QPushButton>(d, "cmdStop"));
            QVERIFY(!child<QPushButton>(d, "cmdStop")->isEnabled());
            QCOMPARE(progress->text(), QStringLiteral("1 of 2 links"));
            click(child<QPushButton>(d, "cmdClose"));
        });
        wait.start(0);
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(check).center());
        QVERIFY(seen);
        QCOMPARE(server.requestCount("/other"), 0);
        QVERIFY(!w.workspace().document().isModified());
        QVERIFY(messages.shown.isEmpty());
    }
};

QUILLET_GUI_TEST_MAIN(LinkCheckTest)
#include "tst_linkcheck.moc"
