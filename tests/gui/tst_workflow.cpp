// SPDX-License-Identifier: GPL-3.0-or-later
// A collection built from nothing through the main window, as a user would:
// headings and bookmarks through their editors, a move, cut and paste, drag
// and drop, Save As, and the file opened again.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "gui/commands/CommandBar.h"
#include "gui/outline/DragViews.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace quillet;
using namespace quillet::test;

class WorkflowTest : public QObject
{
    Q_OBJECT

    // A sub-heading of the selected heading.
    void addHeading(shell::MainWindow &w, const QString &title)
    {
        QVERIFY(answerDialog(w, QStringLiteral("miNAddHead"), "frmNode", [&](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtHeading"), title);
            click(child<QPushButton>(dialog, "cmdSubHeading"));
            click(child<QPushButton>(dialog, "cmdExit"));
        }));
    }

    void addBookmark(shell::MainWindow &w, const QString &name, const QString &link)
    {
        QVERIFY(answerDialog(w, QStringLiteral("miLNew"), "frmItem", [&](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtName"), name);
            QTest::keyClicks(child<QLineEdit>(dialog, "txtLink"), link);
            QTest::keyClicks(child<QPlainTextEdit>(dialog, "txtDescrip"), QStringLiteral("notes"));
            click(child<QPushButton>(dialog, "cmdAdd"));
        }));
    }

    void select(shell::MainWindow &w, const QString &title)
    {
        outline::HeadingNode *node = w.workspace().tree().nodeAt(headingIndex(w, title));
        QVERIFY(clickHeading(w, title));
        QCOMPARE(w.workspace().tree().current(), node);
    }

    QString shape(const outline::HeadingNode *node)
    {
        QString text = node->title;
        if (!node->children.empty()) {
            QStringList children;
            for (const auto &c : node->children)
                children << shape(c.get());
            text += QLatin1Char('(') + children.join(QLatin1Char(' ')) + QLatin1Char(')');
        }
        return text;
    }

    // A drop of our own drag at the centre of heading `title`.
    void dropOn(shell::MainWindow &w, const QString &title)
    {
        QTreeView *tree = w.headingView();
        const QModelIndex target = headingIndex(w, title);
        QVERIFY(target.isValid());
        tree->scrollTo(target);
        const QPoint pos = tree->visualRect(target).center();
        QMimeData data;
        data.setData(QStringLiteral("application/x-quillet-drag"), QByteArray());
        QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &enter);
        QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &move);
        QCOMPARE(static_cast<outline::HeadingTreeView *>(tree)->dropHighlight(), target);
        QDropEvent drop(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &drop);
        QVERIFY(!static_cast<outline::HeadingTreeView *>(tree)->dropHighlight().isValid());
    }

private Q_SLOTS:
    void init() { clearHome(); }

    void buildSaveAndReopen()
    {
        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        const QString path = common::homePath(QStringLiteral("collection.rdb"));
        {
            shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, nullptr});
            QVERIFY(startWith(w));
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            auto &tree = w.workspace().tree();

            addHeading(w, QStringLiteral("Reading"));
            select(w, QStringLiteral("my Favroites"));
            addHeading(w, QStringLiteral("Cooking"));
            QCOMPARE(shape(tree.root()), QStringLiteral("my Favroites(Reading Cooking)"));

            select(w, QStringLiteral("Reading"));
            addBookmark(
                w, QStringLiteral("  Novel shop "), QStringLiteral("http://books.example.org"));
            addBookmark(w, QStringLiteral("Poems"), QStringLiteral("http://poems.example.org"));
            QCOMPARE(listedNames(w),
                (QStringList {QStringLiteral("Novel shop"), QStringLiteral("Poems")}));
            QCOMPARE(w.statusText(), QStringLiteral("Status: Idle - 2 bookmarks found."));

            // Up: Cooking comes before Reading.
            select(w, QStringLiteral("Cooking"));
            w.commandBar().action(QStringLiteral("miNUp"))->trigger();
            QCOMPARE(shape(tree.root()), QStringLiteral("my Favroites(Cooking Reading)"));

            // Copy a bookmark into Cooking with the keyboard.
            select(w, QStringLiteral("Reading"));
            w.workspace().list().selectRow(1); // Poems
            // The editors were modal windows of their own: back to the main one.
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            w.bookmarkView()->setFocus();
            QTest::keyClick(w.bookmarkView(), Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(w.workspace().clipboard().keys().size(), 1);
            select(w, QStringLiteral("Cooking"));
            QTest::keyClick(w.bookmarkView(), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(listedNames(w), QStringList {QStringLiteral("Poems")});

            // Drag Reading onto Cooking: it becomes Cooking's first child.
            select(w, QStringLiteral("Reading"));
            dropOn(w, QStringLiteral("Cooking"));
            QCOMPARE(shape(tree.root()), QStringLiteral("my Favroites(Cooking(Reading))"));
            // Dragging Cooking into its own child changes nothing.
            select(w, QStringLiteral("Cooking"));
            dropOn(w, QStringLiteral("Reading"));
            QCOMPARE(shape(tree.root()), QStringLiteral("my Favroites(Cooking(Reading))"));

            dialogs.choose(path);
            QTest::keyClick(w.bookmarkView(), Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(w.windowTitle(), QStringLiteral("Quillet- collection.rdb"));
            QVERIFY(!w.workspace().document().isModified());
            QVERIFY(w.close());
        }
        QVERIFY(QDir(common::homePath(QStringLiteral("_tmp")))
                    .entryList({QStringLiteral("*.rdb")})
                    .isEmpty());

        shell::MainWindow again(shell::MainWindowOverrides {&messages, &dialogs, nullptr});
        QVERIFY(startWith(again, {path}));
        QCOMPARE(shape(again.workspace().tree().root()),
            QStringLiteral("my Favroites(Cooking(Reading))"));
        again.headingView()->expandAll();
        select(again, QStringLiteral("Reading"));
        QCOMPARE(listedNames(again),
            (QStringList {QStringLiteral("Novel shop"), QStringLiteral("Poems")}));
        select(again, QStringLiteral("Cooking"));
        QCOMPARE(listedNames(again), QStringList {QStringLiteral("Poems")});
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(again.close());
    }
};

QUILLET_GUI_TEST_MAIN(WorkflowTest)
#include "tst_workflow.moc"
