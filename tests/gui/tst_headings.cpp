// SPDX-License-Identifier: GPL-3.0-or-later
// The heading editor dialog and the heading commands of the main window,
// driven through their widgets.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBar.h"
#include "gui/editors/HeadingDialog.h"
#include "gui/shell/MainWindow.h"
#include "gui/widgets/HeadingIcons.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;

class HeadingsTest : public QObject
{
    Q_OBJECT

private:
    QStringList childTitles(const outline::HeadingNode *node)
    {
        QStringList titles;
        for (const auto &c : node->children)
            titles << c->title;
        return titles;
    }

    QString writeSample()
    {
        const QString path = common::homePath(QStringLiteral("headings.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), QStringLiteral("K10")},
                {QStringLiteral("kRoot"), QStringLiteral("Recipes"), QStringLiteral("K20")},
                {QStringLiteral("K20"), QStringLiteral("Soup"), QStringLiteral("K21")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Home page"),
                 QStringLiteral("http://home.example.org")},
                {QStringLiteral("K10"), QStringLiteral("K1"), QStringLiteral("Daily news"),
                    QStringLiteral("http://news.example.org")},
                {QStringLiteral("K20"), QStringLiteral("K1"), QStringLiteral("Bread"),
                    QStringLiteral("http://bread.example.org")}});
        return path;
    }

private Q_SLOTS:
    void init() { clearHome(); }

    void theImageListHoldsPairsOfDistinctPictures()
    {
        const widgets::HeadingIcons &icons = widgets::HeadingIcons::instance();
        QVERIFY(icons.count() >= 12);
        QCOMPARE(icons.count() % 2, 0);
        QVERIFY(icons.icon(0).isNull());
        QVERIFY(icons.icon(icons.count() + 1).isNull());
        QSet<QByteArray> seen;
        for (int k = 1; k <= icons.count(); ++k) {
            const QIcon icon = icons.icon(k);
            QVERIFY(!icon.isNull());
            // Sharp on a high-density screen: a real 32 pixel picture.
            QCOMPARE(icon.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
            const QImage image = icon.pixmap(QSize(16, 16), 1.0).toImage();
            seen.insert(
                QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
        }
        QCOMPARE(seen.size(), icons.count());
    }

    void addModeEnablesByTitleAndAddsUntilExit()
    {
        ScriptedMessageBoxes messages;
        outline::Workspace ws({&messages});
        outline::HeadingNode *root = ws.tree().addRootHeading();
        editors::HeadingDialog dialog(ws, false);
        QVERIFY(dialog.setUp());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillet "));
        QCOMPARE(child<QLabel>(&dialog, "lblTitle")->text(), QStringLiteral("Add Heading"));
        auto *title = child<QLineEdit>(&dialog, "txtHeading");
        auto *heading = child<QPushButton>(&dialog, "cmdHeading");
        auto *sub = child<QPushButton>(&dialog, "cmdSubHeading");
        QVERIFY(!child<QPushButton>(&dialog, "cmdOK")->isVisible());
        QVERIFY(!heading->isEnabled());
        QVERIFY(!sub->isEnabled());
        auto *icons = child<QComboBox>(&dialog, "imgcbo_Icon");
        QCOMPARE(icons->count(), widgets::HeadingIcons::instance().count() / 2);
        QCOMPARE(icons->itemText(1), QStringLiteral("Display Icon 2"));
        QCOMPARE(icons->itemData(1).toString(), QStringLiteral("a3"));
        QCOMPARE(icons->currentIndex(), 0);

        // The root gets children only.
        QTest::keyClicks(title, QStringLiteral("Work"));
        QVERIFY(!heading->isEnabled());
        QVERIFY(sub->isEnabled());
        icons->setFocus();
        QTest::keyClick(icons, Qt::Key_Down);
        QCOMPARE(icons->currentIndex(), 1);
        QVERIFY(!child<QLabel>(&dialog, "imgIcon")->pixmap().isNull());
        click(sub);
        QVERIFY(dialog.isVisible());
        QCOMPARE(title->text(), QString());
        QVERIFY(!sub->isEnabled());
        QCOMPARE(childTitles(root), QStringList {QStringLiteral("Work")});
        QCOMPARE(root->firstChild()->image, 3);
        QCOMPARE(root->firstChild()->expandedImage, 4);
        QCOMPARE(ws.tree().current(), root->firstChild());

        // Beside the new heading now; a clash keeps the dialog and the text.
        QTest::keyClicks(title, QStringLiteral("Play"));
        QVERIFY(heading->isEnabled());
        click(heading);
        QTest::keyClicks(title, QStringLiteral(" wORK "));
        click(heading);
        QCOMPARE(messages.texts(),
            QStringList {QStringLiteral("\"wORK\" already exists. Please choose another name. ")});
        QCOMPARE(title->text(), QStringLiteral(" wORK "));
        QCOMPARE(childTitles(root), (QStringList {QStringLiteral("Work"), QStringLiteral("Play")}));
        QVERIFY(ws.document().isModified());

        click(child<QPushButton>(&dialog, "cmdExit"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void editModeRenamesAndClosesOrRefuses()
    {
        ScriptedMessageBoxes messages;
        outline::Workspace ws({&messages});
        outline::HeadingNode *root = ws.tree().addRootHeading();
        ws.tree().appendHeading(root, QStringLiteral("News"), QStringLiteral("K1"), 1, 2);
        outline::HeadingNode *food
            = ws.tree().appendHeading(root, QStringLiteral("Food"), QStringLiteral("K2"), 5, 6);
        ws.tree().setCurrent(nullptr);
        QVERIFY(!editors::HeadingDialog(ws, true).setUp());

        ws.tree().setCurrent(food);
        editors::HeadingDialog dialog(ws, true);
        QVERIFY(dialog.setUp());
        dialog.show();
        QCOMPARE(child<QLabel>(&dialog, "lblTitle")->text(), QStringLiteral("Edit Heading"));
        QVERIFY(!child<QPushButton>(&dialog, "cmdHeading")->isVisible());
        QVERIFY(!child<QPushButton>(&dialog, "cmdSubHeading")->isVisible());
        QCOMPARE(child<QComboBox>(&dialog, "imgcbo_Icon")->currentIndex(), 2);
        auto *title = child<QLineEdit>(&dialog, "txtHeading");
        auto *ok = child<QPushButton>(&dialog, "cmdOK");
        QCOMPARE(title->text(), QStringLiteral("Food"));
        QVERIFY(ok->isEnabled());
        title->clear();
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(title, QStringLiteral("news"));
        click(ok);
        QVERIFY(dialog.isVisible());
        QCOMPARE(messages.texts(),
            QStringList {QStringLiteral("\"news\" already exists. Please choose another name. ")});
        title->setText(QStringLiteral("Fo:od"));
        click(ok);
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].text,
            QStringLiteral("The heading is invalid or cannot contain any of the following "
                           "characters:\r\n \\ / : * ? \" < > | "));
        QCOMPARE(messages.shown[1].icon, platform::MessageIcon::Exclamation);
        QVERIFY(!ws.document().isModified());
        title->setText(QStringLiteral("  Dishes "));
        click(ok);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(food->title, QStringLiteral("Dishes"));
        QCOMPARE(food->key, QStringLiteral("K2"));
        QVERIFY(ws.document().isModified());
    }

    // Through the main window: the toolbox commands, the modal editor, the
    // listing rule of clicks and keys, and the tree saved in its new order.
    void toolboxCommandsOnTheMainWindow()
    {
        const QString path = writeSample();
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w, {path}));
        QTreeView *tree = w.headingView();
        auto &model = w.workspace().tree();
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Home page")});

        // An arrow key moves the selection at once, the list on release.
        tree->setFocus();
        QTest::keyPress(tree, Qt::Key_Down);
        QCOMPARE(model.current()->title, QStringLiteral("News"));
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Home page")});
        QTest::keyRelease(tree, Qt::Key_Down);
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Daily news")});

        // Heading editor in add mode, run modally from the toolbox.
        QVERIFY(answerDialog(w, QStringLiteral("miNAddHead"), "frmNode", [](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtHeading"), QStringLiteral("Sports"));
            click(child<QPushButton>(dialog, "cmdHeading"));
            click(child<QPushButton>(dialog, "cmdExit"));
        }));
        QCOMPARE(childTitles(model.root()),
            (QStringList {
                QStringLiteral("News"), QStringLiteral("Sports"), QStringLiteral("Recipes")}));
        QCOMPARE(model.indexOf(model.current()), tree->currentIndex());
        QVERIFY(listedNames(w).isEmpty());

        // Right into News, then Down out of it into Recipes, expanding it.
        w.commandBar().action(QStringLiteral("miNRight"))->trigger();
        QVERIFY(tree->isExpanded(model.indexOf(model.findByKey(QStringLiteral("K10")))));
        w.commandBar().action(QStringLiteral("miNDown"))->trigger();
        outline::HeadingNode *recipes = model.findByKey(QStringLiteral("K20"));
        QCOMPARE(
            childTitles(recipes), (QStringList {QStringLiteral("Sports"), QStringLiteral("Soup")}));
        QVERIFY(tree->isExpanded(model.indexOf(recipes)));
        QCOMPARE(model.current()->title, QStringLiteral("Sports"));
        QCOMPARE(tree->currentIndex(), model.indexOf(model.current()));

        // A click on another heading lists it; the root cannot be deleted.
        const QRect soup = tree->visualRect(model.indexOf(model.findByKey(QStringLiteral("K21"))));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, soup.center());
        QCOMPARE(model.current()->title, QStringLiteral("Soup"));
        const QRect top = tree->visualRect(model.indexOf(model.root()));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, top.center());
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Home page")});
        w.commandBar().action(QStringLiteral("miNDelete"))->trigger();
        QCOMPARE(messages.texts(), QStringList {QStringLiteral(" Can not delete root node.")});

        // Deleting Recipes lists News, its previous sibling.
        tree->setCurrentIndex(model.indexOf(recipes));
        w.commandBar().action(QStringLiteral("miNDelete"))->trigger();
        QCOMPARE(childTitles(model.root()), QStringList {QStringLiteral("News")});
        QCOMPARE(listedNames(w), QStringList {QStringLiteral("Daily news")});
        QCOMPARE(tree->currentIndex(), model.indexOf(model.findByKey(QStringLiteral("K10"))));

        QVERIFY(w.workspace().document().isModified());
        w.commandBar().action(QStringLiteral("miFSave"))->trigger();
        QVERIFY(!w.workspace().document().isModified());
        QVERIFY(w.close());
        QCOMPARE(nodeRows(path),
            (QStringList {
                QStringLiteral("0>kRoot:my Favroites"), QStringLiteral("kRoot>K10:News")}));
        QCOMPARE(itemRows(path),
            (QStringList {QStringLiteral("Home page:0"), QStringLiteral("Daily news:0")}));
    }
};

QUILLET_GUI_TEST_MAIN(HeadingsTest)
#include "tst_headings.moc"
