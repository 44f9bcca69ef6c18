// SPDX-License-Identifier: GPL-3.0-or-later
// The bookmark editor (frmItem) driven as a user would: typing, clicks on
// its buttons and its drop-down tree, and the list commands that open it.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "gui/commands/CommandBar.h"
#include "gui/editors/BookmarkDialog.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;
using editors::BookmarkDialog;
using Mode = editors::BookmarkEditor::Mode;

namespace {

const QString kNews = QStringLiteral("K10");
const QString kRecipes = QStringLiteral("K20");

QString writeSample()
{
    const QString path = common::homePath(QStringLiteral("sample.rdb"));
    writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
            {QStringLiteral("kRoot"), QStringLiteral("News"), kNews},
            {kNews, QStringLiteral("Local"), QStringLiteral("K11")},
            {QStringLiteral("kRoot"), QStringLiteral("Recipes"), kRecipes}},
        {{kNews, QStringLiteral("K1"), QStringLiteral("BOB'S PAGE"), QStringLiteral("http://bob")},
            {kNews, QStringLiteral("K2"), QStringLiteral("Weekly"), QStringLiteral("http://week")},
            {kRecipes, QStringLiteral("K1"), QStringLiteral("Soup"),
                QStringLiteral("http://soup")}});
    return path;
}

// "name:delFlag:lKey" for the rows of a heading, storage order.
QStringList rowsOf(store::Database &db, const QString &heading)
{
    QStringList rows;
    auto rs
        = db.openRecordset(QStringLiteral("select * from tbItems where tKey = '%1'").arg(heading));
    for (; !rs->eof(); rs->moveNext())
        rows << QStringLiteral("%1:%2:%3")
                    .arg(rs->text(QStringLiteral("urlName")))
                    .arg(rs->integer(QStringLiteral("delFlag")))
                    .arg(rs->text(QStringLiteral("lKey")));
    return rows;
}

} // namespace

class BookmarkEditorTest : public QObject
{
    Q_OBJECT

    // A workspace over the sample with "News" selected and listed.
    struct Fixture
    {
        ScriptedMessageBoxes messages;
        RecordingDescription description;
        RecordingStatus status;
        outline::Workspace ws {{&messages, nullptr, nullptr, &description, &status, nullptr}};

        Fixture()
        {
            const QString path = writeSample();
            ws.document().adoptOpened(store::openDocumentDatabase(path), path);
            outline::loadHeadingTree(*ws.document().database(), ws.tree(), nullptr);
            ws.selectHeading(ws.tree().findByKey(kNews));
        }
        store::Database &db() { return *ws.document().database(); }
        void select(const QString &key)
        {
            ws.list().selectRow(ws.list().model().rowOfKey(key), false);
        }
    };

private Q_SLOTS:
    void init() { clearHome(); }

    // Add mode: the OK button follows both boxes, a clashing or invalid name
    // is refused with its message and the dialog keeps what was typed.
    void addEnablesOkAndRefusesBadNames()
    {
        Fixture f;
        BookmarkDialog dialog(f.ws, Mode::Add);
        QVERIFY(showAndWait(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillet "));
        QCOMPARE(child<QLabel>(&dialog, "lblTitle")->text(), QStringLiteral("Add Bookmark"));
        auto *ok = child<QPushButton>(&dialog, "cmdAdd");
        QVERIFY(ok->isVisible());
        QVERIFY(!child<QPushButton>(&dialog, "cmdEdit")->isVisible());
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdExit")->text(), QStringLiteral("&Exit"));
        QCOMPARE(child<QLineEdit>(&dialog, "txtCategory")->text(), QStringLiteral("News"));
        QVERIFY(!child<QTreeView>(&dialog, "treBookmark")->isVisible());

        auto *name = child<QLineEdit>(&dialog, "txtName");
        auto *link = child<QLineEdit>(&dialog, "txtLink");
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(name, QStringLiteral("   "));
        QTest::keyClicks(link, QStringLiteral("http://bob.example.org"));
        QVERIFY(!ok->isEnabled()); // blanks are no name
        QTest::keyClicks(name, QStringLiteral("Bob's page "));
        QVERIFY(ok->isEnabled());
        QTest::keyClicks(child<QPlainTextEdit>(&dialog, "txtDescrip"), QStringLiteral(" his "));

        click(ok);
        QCOMPARE(f.messages.texts(),
            QStringList {
                QStringLiteral("\"Bob's page\" already exists. Please choose another name. ")});
        QCOMPARE(f.messages.shown.last().icon, platform::MessageIcon::Exclamation);
        QVERIFY(dialog.isVisible());
        QCOMPARE(name->text(), QStringLiteral("   Bob's page "));

        retype(name, QStringLiteral("Bob|page"));
        click(ok);
        QCOMPARE(f.messages.texts().last(),
            QStringLiteral("The bookmark name is invalid or cannot contain any of the following "
                           "characters:\r\n \\ / : * ? \" < > | "));
        QVERIFY(dialog.isVisible());
        QCOMPARE(rowsOf(f.db(), kNews).size(), 2);
        QVERIFY(!f.ws.document().isModified());

        retype(link, QStringLiteral("  "));
        QVERIFY(!ok->isEnabled());
        retype(link, QStringLiteral("http://bob.example.org"));
        retype(name, QStringLiteral(" Bob's blog"));
        click(ok);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QString key = f.ws.list().selectedKey();
        QCOMPARE(rowsOf(f.db(), kNews).last(), QStringLiteral("Bob's blog:1:") + key);
        QCOMPARE(f.description.current, QStringLiteral("Bob's blog"));
        QCOMPARE(f.status.text, QStringLiteral("Status: Idle - 3 bookmarks found."));
        QVERIFY(f.ws.document().isModified());
    }

    // The drop-down tree picks another heading: the row goes there with an
    // empty key and the list stays as it was.
    void addToAnotherHeadingThroughTheDropDownTree()
    {
        Fixture f;
        BookmarkDialog dialog(f.ws, Mode::Add);
        QVERIFY(showAndWait(dialog));
        auto *button = child<QToolButton>(&dialog, "imgButton");
        auto *tree = child<QTreeView>(&dialog, "treBookmark");
        auto *category = child<QLineEdit>(&dialog, "txtCategory");
        auto *name = child<QLineEdit>(&dialog, "txtName");

        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
        QVERIFY(tree->isVisible());
        QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("News"));
        // A press anywhere else closes it; Enter in the category box toggles it.
        QTest::mouseClick(name, Qt::LeftButton);
        QVERIFY(!tree->isVisible());
        category->setFocus();
        QTest::keyClick(category, Qt::Key_Return);
        QVERIFY(tree->isVisible());
        QVERIFY(dialog.isVisible()); // Enter there is not OK

        const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0),
            Qt::DisplayRole, QStringLiteral("Recipes"), 1, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        const QPoint at = tree->visualRect(found.first()).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(category->text(), QStringLiteral("Recipes"));
        QVERIFY(tree->isVisible()); // a click keeps it open
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!tree->isVisible());
        QCOMPARE(dialog.categoryKey(), kRecipes);

        QTest::keyClicks(name, QStringLiteral("soup")); // "Soup" lives there
        QTest::keyClicks(child<QLineEdit>(&dialog, "txtLink"), QStringLiteral("http://stew"));
        click(child<QPushButton>(&dialog, "cmdAdd"));
        QCOMPARE(f.messages.texts(),
            QStringList {QStringLiteral("\"soup\" already exists. Please choose another name. ")});
        retype(name, QStringLiteral("Stew"));
        click(child<QPushButton>(&dialog, "cmdAdd"));
        QVERIFY(!dialog.isVisible());

        QCOMPARE(rowsOf(f.db(), kRecipes),
            (QStringList {QStringLiteral("Soup:0:K1"), QStringLiteral("Stew:1:")}));
        QCOMPARE(f.ws.list().model().count(), 2);
        QCOMPARE(f.ws.list().listedHeading(), kNews);
        QVERIFY(f.description.shownNames.size() == 1); // the fill's, nothing since
        QCOMPARE(f.status.text, QStringLiteral("Status: Idle - 2 bookmarks found."));
    }

    // Edit mode: the picker is locked, the boxes hold the bookmark, a saved
    // bookmark is copied on write and a second edit changes the copy.
    void editCopiesOnWriteOnce()
    {
        Fixture f;
        f.select(QStringLiteral("K2"));
        {
            BookmarkDialog dialog(f.ws, Mode::Edit);
            QVERIFY(showAndWait(dialog));
            QCOMPARE(child<QLabel>(&dialog, "lblTitle")->text(), QStringLiteral("Edit Bookmark"));
            QVERIFY(!child<QPushButton>(&dialog, "cmdAdd")->isVisible());
            auto *ok = child<QPushButton>(&dialog, "cmdEdit");
            QVERIFY(ok->isVisible());
            QVERIFY(ok->isEnabled());
            QVERIFY(!child<QLineEdit>(&dialog, "txtCategory")->isEnabled());
            QTest::mouseClick(child<QToolButton>(&dialog, "imgButton"), Qt::LeftButton);
            QVERIFY(!child<QTreeView>(&dialog, "treBookmark")->isVisible());
            auto *name = child<QLineEdit>(&dialog, "txtName");
            QCOMPARE(name->text(), QStringLiteral("Weekly"));
            QCOMPARE(child<QLineEdit>(&dialog, "txtLink")->text(), QStringLiteral("http://week"));

            retype(name, QStringLiteral("bob's page")); // another bookmark's name
            click(ok);
            QCOMPARE(f.messages.texts().size(), 1);
            QVERIFY(dialog.isVisible());
            retype(name, QStringLiteral("Weekly digest"));
            retype(child<QPlainTextEdit>(&dialog, "txtDescrip"), QStringLiteral("every Monday"));
            click(ok);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(rowsOf(f.db(), kNews),
            (QStringList {QStringLiteral("BOB'S PAGE:0:K1"), QStringLiteral("Weekly:-1:K2"),
                QStringLiteral("Weekly digest:1:K2")}));
        QCOMPARE(f.description.current, QStringLiteral("Weekly digest"));
        QCOMPARE(f.ws.list().selectedKey(), QStringLiteral("K2"));
        QVERIFY(f.ws.document().isModified());

        {
            BookmarkDialog dialog(f.ws, Mode::Edit);
            QVERIFY(showAndWait(dialog));
            retype(child<QLineEdit>(&dialog, "txtLink"), QStringLiteral("http://weekly"));
            click(child<QPushButton>(&dialog, "cmdEdit"));
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(rowsOf(f.db(), kNews).size(), 3);
        QCOMPARE(f.ws.list().model().entry(f.ws.list().selectedRow()).link,
            QStringLiteral("http://weekly"));
    }

    // miLEdit and miLNew from the main window: the list keeps one selected
    // bookmark while the dialog is open and gets multiple selection back.
    void listCommandsOpenTheEditorWithASingleSelection()
    {
        const QString path = writeSample();
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        w.workspace().selectHeading(w.workspace().tree().findByKey(kNews));
        outline::BookmarkList &list = w.workspace().list();
        QCOMPARE(list.model().count(), 2);
        list.selectAll();
        list.selection().setCurrentIndex(
            list.model().index(list.model().rowOfKey(QStringLiteral("K2")), 0),
            QItemSelectionModel::NoUpdate);
        QCOMPARE(list.selectedCount(), 2);

        QString seenTitle;
        int seenSelected = -1;
        QAbstractItemView::SelectionMode seenMode {};
        auto runEditor = [&](const char *command, const std::function<void(QWidget *)> &act) {
            answerDialog(w, QLatin1String(command), "frmItem", [&](QWidget *dialog) {
                seenTitle = child<QLabel>(dialog, "lblTitle")->text();
                seenSelected = list.selectedCount();
                seenMode = w.bookmarkView()->selectionMode();
                act(dialog);
            });
        };

        runEditor("miLEdit", [](QWidget *dialog) { click(child<QPushButton>(dialog, "cmdExit")); });
        QCOMPARE(seenTitle, QStringLiteral("Edit Bookmark"));
        QCOMPARE(seenSelected, 1);
        QCOMPARE(seenMode, QAbstractItemView::SingleSelection);
        QCOMPARE(list.selectedKey(), QStringLiteral("K2"));
        QCOMPARE(w.bookmarkView()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!w.workspace().document().isModified());

        seenTitle.clear();
        runEditor("miLNew", [](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtName"), QStringLiteral("Almanac"));
            QTest::keyClicks(child<QLineEdit>(dialog, "txtLink"), QStringLiteral("http://alm"));
            click(child<QPushButton>(dialog, "cmdAdd"));
        });
        QCOMPARE(seenTitle, QStringLiteral("Add Bookmark"));
        QCOMPARE(list.model().entry(0).name, QStringLiteral("Almanac"));
        QCOMPARE(list.selectedRow(), 0);
        QCOMPARE(w.statusText(), QStringLiteral("Status: Idle - 3 bookmarks found."));
        QVERIFY(w.workspace().document().isModified());
        QCOMPARE(w.bookmarkView()->selectionMode(), QAbstractItemView::ExtendedSelection);

        // Without a selected bookmark miLEdit opens nothing.
        list.selection().clear();
        seenTitle.clear();
        runEditor("miLEdit", [](QWidget *dialog) { click(child<QPushButton>(dialog, "cmdExit")); });
        QCoreApplication::processEvents();
        QVERIFY(seenTitle.isEmpty());
        QVERIFY(messages.shown.isEmpty());

        messages.answer(platform::MessageAnswer::No);
        QVERIFY(w.close());
    }
};

QUILLET_GUI_TEST_MAIN(BookmarkEditorTest)
#include "tst_bookmarkeditor.moc"
