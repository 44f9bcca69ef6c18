// A collection built from nothing through the main window, as a user would:
// headings and bookmarks through their editors, a move, cut and paste, drag
// and drop, Save As, and the file opened again.
#include "DocumentBuilder.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "browser/DragViews.h"
#include "platform/AppHome.h"
#include "shell/CommandBar.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace quillet;
using namespace quillet::test;

class WorkflowTest : public QObject
{
    Q_OBJECT

    template<typename T> static T *child(QWidget *dialog, const char *name)
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }

    // Runs `command` and answers the modal editor it opens with `fill`.
    void withDialog(shell::MainWindow &w, const char *command, const char *dialogName,
        std::function<void(QWidget *)> fill)
    {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QLatin1String(dialogName));
            seen = true;
            fill(dialog);
        });
        w.commandBar().action(QLatin1String(command))->trigger();
        QVERIFY(seen);
    }

    // A sub-heading of the selected heading.
    void addHeading(shell::MainWindow &w, const QString &title)
    {
        withDialog(w, "miNAddHead", "frmNode", [&](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtHeading"), title);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdSubHeading"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdExit"), Qt::LeftButton);
        });
    }

    void addBookmark(shell::MainWindow &w, const QString &name, const QString &link)
    {
        withDialog(w, "miLNew", "frmItem", [&](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtName"), name);
            QTest::keyClicks(child<QLineEdit>(dialog, "txtLink"), link);
            QTest::keyClicks(child<QPlainTextEdit>(dialog, "txtDescrip"), QStringLiteral("notes"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdAdd"), Qt::LeftButton);
        });
    }

    void select(shell::MainWindow &w, const QString &title)
    {
        auto &tree = w.workspace().tree();
        const auto matches = w.headingView()->model()->match(w.headingView()->model()->index(0, 0),
            Qt::DisplayRole, title, 1, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY(!matches.isEmpty());
        browser::HeadingNode *node = tree.nodeAt(matches.first());
        w.headingView()->scrollTo(matches.first());
        QTest::mouseClick(w.headingView()->viewport(), Qt::LeftButton, {},
            w.headingView()->visualRect(matches.first()).center());
        QCOMPARE(tree.current(), node);
    }

    QStringList names(shell::MainWindow &w)
    {
        QStringList result;
        for (int i = 0; i < w.workspace().list().model().count(); ++i)
            result << w.workspace().list().model().entry(i).name;
        return result;
    }

    QString shape(const browser::HeadingNode *node)
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
        const auto matches = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole,
            title, 1, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY(!matches.isEmpty());
        tree->scrollTo(matches.first());
        const QPoint pos = tree->visualRect(matches.first()).center();
        QMimeData data;
        data.setData(QStringLiteral("application/x-quillet-drag"), QByteArray());
        QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &enter);
        QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &move);
        QCOMPARE(static_cast<browser::HeadingTreeView *>(tree)->dropHighlight(), matches.first());
        QDropEvent drop(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &drop);
        QVERIFY(!static_cast<browser::HeadingTreeView *>(tree)->dropHighlight().isValid());
    }

private Q_SLOTS:
    void init() { QDir(platform::appHome()).removeRecursively(); }

    void buildSaveAndReopen()
    {
        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        const QString path = platform::homePath(QStringLiteral("collection.rdb"));
        {
            shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, nullptr});
            w.loadStartupDocument({QStringLiteral("quillet")}, nullptr);
            w.show();
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
            QCOMPARE(
                names(w), (QStringList {QStringLiteral("Novel shop"), QStringLiteral("Poems")}));
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
            QCOMPARE(names(w), QStringList {QStringLiteral("Poems")});

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
        QVERIFY(QDir(platform::homePath(QStringLiteral("_tmp")))
                    .entryList({QStringLiteral("*.rdb")})
                    .isEmpty());

        shell::MainWindow again(shell::MainWindowOverrides {&messages, &dialogs, nullptr});
        again.loadStartupDocument({QStringLiteral("quillet"), path}, nullptr);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(shape(again.workspace().tree().root()),
            QStringLiteral("my Favroites(Cooking(Reading))"));
        again.headingView()->expandAll();
        select(again, QStringLiteral("Reading"));
        QCOMPARE(
            names(again), (QStringList {QStringLiteral("Novel shop"), QStringLiteral("Poems")}));
        select(again, QStringLiteral("Cooking"));
        QCOMPARE(names(again), QStringList {QStringLiteral("Poems")});
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(again.close());
    }
};

QUILLET_GUI_TEST_MAIN(WorkflowTest)
#include "tst_workflow.moc"
