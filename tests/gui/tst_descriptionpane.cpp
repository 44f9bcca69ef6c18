// SPDX-License-Identifier: GPL-3.0-or-later
// The description pane in its rich-text view: what it shows, what it refuses
// to load, and where its links go.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "PaneContents.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/common/Vendor.h"
#include "core/outline/BookmarkList.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBar.h"
#include "gui/pages/DescriptionPane.h"
#include "gui/shell/MainWindow.h"

#include <QAbstractItemView>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextLayout>

using namespace quillet;
using namespace quillet::test;

namespace {

QByteArray jpeg(const QColor &colour)
{
    QImage image(180, 132, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

store::BookmarkRow bookmark(const QString &name, const QString &link,
    const QString &description = QString(), const QByteArray &thumbnail = {})
{
    store::BookmarkRow row;
    row.name = name;
    row.link = link;
    row.description = description;
    row.thumbnail = thumbnail;
    return row;
}

// A pane as the main window shows it, on no screen.
struct Pane
{
    Pane()
    {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(640, 320);
        view.show();
    }
    pages::DescriptionPane view;
};

bool near(QRgb a, const QColor &b)
{
    return qAbs(qRed(a) - b.red()) < 24 && qAbs(qGreen(a) - b.green()) < 24
        && qAbs(qBlue(a) - b.blue()) < 24;
}

QStringList htmlFiles()
{
    return QDir(pages::htmlFolder()).entryList(QDir::Files, QDir::Name);
}

QStringList thumbnailFiles()
{
    return QDir(pages::htmlFolder()).entryList({QStringLiteral("image?.jpg")}, QDir::Files);
}

void clickAt(pages::DescriptionPane &pane, int position)
{
    const QRect at = paneRect(pane, position);
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, at.center());
}

// The lines of the block holding `text`, as the view laid them out.
QList<QTextLine> linesOf(pages::DescriptionPane &pane, const QString &text)
{
    const QTextBlock block = pane.document()->find(text).block();
    QList<QTextLine> lines;
    for (int i = 0; block.isValid() && i < block.layout()->lineCount(); ++i)
        lines << block.layout()->lineAt(i);
    return lines;
}

} // namespace

class DescriptionPaneTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QDir(pages::htmlFolder()).removeRecursively(); }

    void showsTheBookmarkWithItsStyleSheetAndThumbnail()
    {
        Pane p;
        p.view.showBookmark(bookmark(QStringLiteral("News & more"), QStringLiteral("news.example"),
            QStringLiteral("<b>bold</b> text"), jpeg(Qt::red)));
        QCOMPARE(p.view.objectName(), QStringLiteral("webDescrip"));
        const QString text = p.view.toPlainText();
        QVERIFY2(text.contains(QStringLiteral("News & more")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("bold text")));
        QVERIFY(linkPosition(p.view, QStringLiteral("http://news.example")) >= 0);
        // The description's markup is rendered.
        QTextCursor bold = p.view.document()->find(QStringLiteral("bold"));
        QCOMPARE(bold.charFormat().fontWeight(), int(QFont::Bold));
        // The style sheet and thumbnail came from the html folder, through
        // the template's "\" paths: the page's grey, the link's green.
        QCOMPARE(p.view.palette().color(QPalette::Base), QColor(0xea, 0xea, 0xea));
        QCOMPARE(p.view.document()
                     ->find(QStringLiteral("http://news.example"))
                     .charFormat()
                     .foreground()
                     .color(),
            QColor(0x33, 0x99, 0x00));
        QCOMPARE(fileNameOf(paneThumbnail(p.view).name), QStringLiteral("image2.jpg"));
        QCOMPARE(paneThumbnail(p.view).image.size(), QSize(180, 132));
        QCOMPARE(htmlFiles(),
            (QStringList {
                "image2.jpg", "shim.gif", "single_dot_h.gif", "small_bullet.gif", "styles.css"}));
    }

    void eachNewThumbnailIsWhatTheViewShows()
    {
        Pane p;
        const QColor colours[] = {Qt::red, Qt::blue, Qt::green, Qt::yellow};
        const char *files[] = {"image2.jpg", "image1.jpg", "image2.jpg", "image1.jpg"};
        for (int i = 0; i < 4; ++i) {
            p.view.showBookmark(
                bookmark(QStringLiteral("B%1").arg(i), "b.example", "d", jpeg(colours[i])));
            QCOMPARE(thumbnailFiles(), QStringList {files[i]});
            const PanePicture shown = paneThumbnail(p.view);
            QCOMPARE(fileNameOf(shown.name), QString::fromLatin1(files[i]));
            QVERIFY(near(shown.image.pixel(90, 66), colours[i]));
            const QRect at = floatRect(p.view, shown.position);
            QVERIFY(near(p.view.viewport()->grab().toImage().pixel(at.center()), colours[i]));
        }
        // Without a thumbnail: the no-image picture, no file touched.
        p.view.showBookmark(bookmark(QStringLiteral("None"), "n.example"));
        QCOMPARE(fileNameOf(paneThumbnail(p.view).name), QStringLiteral("noimagel.gif"));
        QCOMPARE(thumbnailFiles(), QStringList {"image1.jpg"});
    }

    void blankPageForNoRow()
    {
        Pane p;
        p.view.blank();
        QVERIFY(p.view.toPlainText().isEmpty());
        QVERIFY(!QFileInfo::exists(pages::htmlFolder()));
        p.view.showBookmark(bookmark(QStringLiteral("Some"), "s.example"));
        p.view.blank();
        QVERIFY(p.view.toPlainText().isEmpty());
    }

    void nothingRemoteOrOutsideTheHtmlFolderLoads()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        int connections = 0;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            ++connections;
            delete server.nextPendingConnection();
        });
        const QString remote = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
        // A picture of a size no picture of the page has.
        const QString outside = common::homePath(QStringLiteral("private.png"));
        QImage(77, 55, QImage::Format_RGB32).save(outside);
        const QString folder = pages::htmlFolder();

        Pane p;
        QSignalSpy blocked(&p.view, &pages::DescriptionPane::requestBlocked);
        const QString description
            = QStringLiteral(
                "<img src=\"%1/pixel.png\">"
                "<table background=\"%1/table.png\"><tr><td background=\"%1/cell.png\">t"
                "</td></tr></table><p style=\"background-image: url(%1/p.png)\">p</p>"
                "<img src=\"file:///etc/passwd\"><img src=\"%2\"><img src=\"../private.png\">"
                "<img src=\"%3\\..\\private.png\">"
                // Qt shows nothing after a link element.
                "<link rel=\"stylesheet\" href=\"%1/style.css\">"
                "<link rel=\"stylesheet\" href=\"/etc/passwd\">")
                  .arg(remote, QUrl::fromLocalFile(outside).toString(), folder);
        p.view.showBookmark(bookmark(QStringLiteral("Sneaky"), remote, description));
        QTest::qWait(300);
        QCOMPARE(connections, 0);
        for (const PanePicture &picture : panePictures(p.view))
            QVERIFY2(picture.image.size() != QSize(77, 55), qPrintable(picture.name));
        QStringList refused;
        for (const QList<QVariant> &args : blocked)
            refused << args.at(0).toUrl().toString();
        for (const QString &name : {remote + "/pixel.png", remote + "/table.png",
                 remote + "/cell.png", remote + "/p.png", QStringLiteral("file:///etc/passwd"),
                 QUrl::fromLocalFile(outside).toString(), QStringLiteral("../private.png")})
            QVERIFY2(refused.contains(name), qPrintable(name + " | " + refused.join(' ')));
        QVERIFY(p.view.toPlainText().contains(QStringLiteral("Sneaky")));
    }

    void aClickedLinkOpensInTheBrowserAndThePageStays()
    {
        Pane p;
        RecordingDesktop desktop;
        p.view.setDesktop(&desktop);
        p.view.showBookmark(
            bookmark(QStringLiteral("Site"), QStringLiteral("https://site.example/a"),
                QStringLiteral("<a href=\"http://other.example/b\">other</a> "
                               "<a href=\"file:///etc/passwd\">local</a>")));
        clickAt(p.view, linkPosition(p.view, QStringLiteral("https://site.example/a")));
        QTRY_COMPARE(desktop.links, QStringList {"https://site.example/a"});
        clickAt(p.view, linkPosition(p.view, QStringLiteral("http://other.example/b")));
        QTRY_COMPARE(desktop.links.size(), 2);
        QCOMPARE(desktop.links.at(1), QStringLiteral("http://other.example/b"));
        // A local file is neither opened nor shown.
        clickAt(p.view, linkPosition(p.view, QStringLiteral("file:///etc/passwd")));
        QTest::qWait(100);
        QCOMPARE(desktop.links.size(), 2);
        QVERIFY(p.view.toPlainText().contains(QStringLiteral("Site")));
    }

    void rightClickShowsNoMenu()
    {
        Pane p;
        p.view.showBookmark(bookmark(QStringLiteral("Menu"), QStringLiteral("m.example")));
        QCOMPARE(p.view.contextMenuPolicy(), Qt::NoContextMenu);
        QTest::mouseClick(p.view.viewport(), Qt::RightButton, {}, QPoint(100, 100));
        QTest::qWait(100);
        QVERIFY(!QApplication::activePopupWidget());
    }

    // Beside the thumbnail the text takes the whole width left and breaks
    // between words; only a string too long for any line is cut.
    void textUsesTheWidthBesideTheThumbnail()
    {
        Pane p;
        const QString longLink = QStringLiteral("http://example.org/") + QString(300, QChar('x'));
        p.view.showBookmark(bookmark(QStringLiteral("Wide"), "w.example",
            QStringLiteral("a local test page ").repeated(12) + QStringLiteral("<p>") + longLink,
            jpeg(Qt::red)));
        const QRect thumbnail = floatRect(p.view, paneThumbnail(p.view).position);
        QVERIFY(thumbnail.width() >= 180 && thumbnail.width() < 240);
        QVERIFY(thumbnail.left() < 40);
        const QList<QTextLine> lines = linesOf(p.view, QStringLiteral("a local test page"));
        QVERIFY(lines.size() >= 2);
        const QTextBlock block = p.view.document()->find(QStringLiteral("a local")).block();
        const QString text = block.text();
        for (const QTextLine &line : lines) {
            // Lines start where the cell's thumbnail ends.
            QVERIFY(line.x() > 180);
            QVERIFY(line.width() > 300);
            const int end = line.textStart() + line.textLength();
            QVERIFY2(end >= text.size() || text.at(end - 1).isSpace(),
                qPrintable(text.mid(line.textStart(), line.textLength())));
        }
        // The long link is cut to the pane's width, not widened past it.
        QVERIFY(linesOf(p.view, QString(300, QChar('x'))).size() >= 2);
        QCOMPARE(p.view.horizontalScrollBar()->maximum(), 0);
    }

    // Qt lays out nested tables in time that doubles with each level.
    void deeplyNestedTablesShowAtOnce()
    {
        Pane p;
        const QString deep = QStringLiteral("<table><tr><td>").repeated(400) + "deep"
            + QStringLiteral("</td></tr></table>").repeated(400) + " after";
        p.view.showBookmark(bookmark(QStringLiteral("Deep"), "d.example", deep));
        p.view.viewport()->grab();
        QVERIFY(p.view.toPlainText().contains(QStringLiteral("deep")));
        QVERIFY(p.view.toPlainText().contains(QStringLiteral("after")));
    }

    void followsTheSelectionInTheMainWindow()
    {
        clearHome();
        const QString path = common::homePath(QStringLiteral("doc.rdb"));
        QList<ItemRow> items;
        for (int i = 0; i < 4; ++i) {
            items << ItemRow(QStringLiteral("kRoot"), QStringLiteral("K%1").arg(i),
                QStringLiteral("Bookmark %1").arg(i), QStringLiteral("http://b%1.example").arg(i));
            items.last().description = QStringLiteral("About number %1").arg(i);
        }
        writeDocument(path, {{"0", "my Favroites", "kRoot"}}, items);
        ScriptedMessageBoxes messages;
        RecordingDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, &desktop});
        QVERIFY(startWith(w, {path}));
        auto *pane = child<pages::DescriptionPane>(&w, "webDescrip");
        auto *list = child<QAbstractItemView>(&w, "lvwBookmark");
        const QStringList names = listedNames(w);
        QCOMPARE(names.size(), 4);
        for (int row : {2, 0, 3, 1}) {
            const QModelIndex index = list->model()->index(row, 0);
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
            QTRY_VERIFY(pane->toPlainText().contains(names.at(row)));
            const QString number = names.at(row).right(1);
            QVERIFY(pane->toPlainText().contains(QStringLiteral("About number ") + number));
            QVERIFY(linkPosition(*pane, QStringLiteral("http://b%1.example").arg(number)) >= 0);
        }
        // Keys move the selection and the page with it.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        QTRY_VERIFY(pane->toPlainText().contains(names.at(0)));
        QTest::keyClick(list, Qt::Key_Down);
        QTRY_VERIFY(pane->toPlainText().contains(names.at(1)));
        QVERIFY(messages.shown.isEmpty());
    }

    void aLongDescriptionShowsWhole()
    {
        Pane p;
        const QString longText(400 * 1024, QChar(0xe9));
        p.view.showBookmark(bookmark(QStringLiteral("Long"), "l.example", longText));
        QVERIFY(p.view.toPlainText().contains(QStringLiteral("Long")));
        QVERIFY(p.view.toPlainText().contains(longText));
        QVERIFY(!htmlFiles().contains(QStringLiteral("description.htm")));
    }

    void helpMenuAndPaneLinksUseTheWindowsDesktop()
    {
        ScriptedMessageBoxes messages;
        FullDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, &desktop});
        auto *pane = w.findChild<pages::DescriptionPane *>(QStringLiteral("webDescrip"));
        QVERIFY(pane);
        w.commandBar().trigger(QStringLiteral("miHContent"));
        w.commandBar().trigger(QStringLiteral("miHHomepage"));
        w.commandBar().trigger(QStringLiteral("miHSendMail"));
        QCOMPARE(desktop.files, QStringList {common::homePath(QStringLiteral("Quillet.chm"))});
        QCOMPARE(desktop.links, QStringList {QString::fromLatin1(strings::kVendorHomePage)});
        QCOMPARE(desktop.urls.size(), 1);
        QVERIFY(desktop.urls.first().startsWith(QStringLiteral("Mailto:")));
        QVERIFY(messages.shown.isEmpty());
    }
};

QUILLET_GUI_TEST_MAIN(DescriptionPaneTest)
#include "tst_descriptionpane.moc"
