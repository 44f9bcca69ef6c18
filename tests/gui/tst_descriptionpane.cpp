// SPDX-License-Identifier: GPL-3.0-or-later
// The description pane in a real web view: what it shows, what it refuses
// to load, and where its links go.
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "pages/DescriptionPane.h"
#include "pages/Vendor.h"
#include "platform/AppHome.h"
#include "shell/CommandBar.h"
#include "shell/MainWindow.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QWebEngineScript>
#include <memory>

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

class FullDesktop : public RecordingDesktop
{
public:
    bool openUrl(const QString &url) override
    {
        urls << url;
        return true;
    }
    QStringList urls;
};

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

bool loadAndWait(pages::DescriptionPane &pane, const std::function<void()> &load)
{
    QSignalSpy finished(&pane, &QWebEngineView::loadFinished);
    load();
    return QTest::qWaitFor([&] { return finished.count() > 0; }, 15000)
        && finished.last().at(0).toBool();
}

bool show(pages::DescriptionPane &pane, const store::BookmarkRow &row)
{
    return loadAndWait(pane, [&] { pane.showBookmark(row); });
}

// Runs in the application's own script world, which the page's disabled
// scripts do not affect.
QVariant js(pages::DescriptionPane &pane, const QString &script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    pane.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
        [result](const QVariant &value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, 10000))
        return QVariant();
    return result->value_or(QVariant());
}

// Where an element shows (its first box with an area; a link may wrap).
QRect elementRect(pages::DescriptionPane &pane, const QString &selector)
{
    const QVariant rect = js(pane,
        QStringLiteral("(function(){var rs=document.querySelector(\"%1\").getClientRects();"
                       "for(var i=0;i<rs.length;++i){var r=rs[i];if(r.width>0&&r.height>0)"
                       "return JSON.stringify({x:r.x,y:r.y,w:r.width,h:r.height});}"
                       "return '{}';})()")
            .arg(selector));
    const QJsonObject o = QJsonDocument::fromJson(rect.toString().toUtf8()).object();
    return QRectF(o[QStringLiteral("x")].toDouble(), o[QStringLiteral("y")].toDouble(),
        o[QStringLiteral("w")].toDouble(), o[QStringLiteral("h")].toDouble())
        .toAlignedRect();
}

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

} // namespace

class DescriptionPaneTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QDir(pages::htmlFolder()).removeRecursively(); }

    void showsTheBookmarkWithItsStyleSheetAndThumbnail()
    {
        Pane p;
        QVERIFY(show(p.view,
            bookmark(QStringLiteral("News & more"), QStringLiteral("news.example"),
                QStringLiteral("<b id=\"m\">bold</b> text"
                               "<script>document.body.setAttribute('data-ran','1')</script>"),
                jpeg(Qt::red))));
        QCOMPARE(p.view.objectName(), QStringLiteral("webDescrip"));
        QCOMPARE(p.view.url(), QUrl::fromLocalFile(pages::htmlFolder() + QLatin1Char('/')));
        QCOMPARE(js(p.view, "document.querySelector('h3 a').textContent").toString(),
            QStringLiteral("News & more"));
        QCOMPARE(js(p.view, "document.getElementById('subject').getAttribute('href')").toString(),
            QStringLiteral("http://news.example"));
        // The description's markup is rendered; its script does not run.
        QCOMPARE(
            js(p.view, "document.getElementById('m').tagName").toString(), QStringLiteral("B"));
        QVERIFY(js(p.view, "document.body.getAttribute('data-ran')").isNull());
        // The style sheet and thumbnail came from the html folder, through
        // the template's "\" paths.
        QCOMPARE(js(p.view, "getComputedStyle(document.body).backgroundColor").toString(),
            QStringLiteral("rgb(234, 234, 234)"));
        QCOMPARE(js(p.view, "document.images[0].naturalWidth").toInt(), 180);
        QCOMPARE(htmlFiles(),
            (QStringList {
                "image2.jpg", "shim.gif", "single_dot_h.gif", "small_bullet.gif", "styles.css"}));
    }

    void eachNewThumbnailIsWhatTheViewShows()
    {
        Pane p;
        const QColor colours[] = {Qt::red, Qt::blue, Qt::green};
        const char *files[] = {"image2.jpg", "image1.jpg", "image2.jpg"};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(show(p.view,
                bookmark(QStringLiteral("B%1").arg(i), "b.example", "d", jpeg(colours[i]))));
            QCOMPARE(thumbnailFiles(), QStringList {files[i]});
            const QPoint centre = elementRect(p.view, QStringLiteral("img.thumbnail")).center();
            QTRY_VERIFY_WITH_TIMEOUT(near(p.view.grab().toImage().pixel(centre), colours[i]), 5000);
        }
        // Without a thumbnail: the no-image picture, no file touched.
        QVERIFY(show(p.view, bookmark(QStringLiteral("None"), "n.example")));
        QCOMPARE(js(p.view, "document.images[0].src.split('/').pop()").toString(),
            QStringLiteral("noimagel.gif"));
        QCOMPARE(js(p.view, "document.images[0].naturalWidth").toInt(), 180);
        QCOMPARE(thumbnailFiles(), QStringList {"image2.jpg"});
    }

    void blankPageForNoRow()
    {
        Pane p;
        QVERIFY(loadAndWait(p.view, [&] { p.view.blank(); }));
        QCOMPARE(p.view.url(), QUrl(QStringLiteral("about:blank")));
        QVERIFY(!QFileInfo::exists(pages::htmlFolder()));
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
        const QString outside = platform::homePath(QStringLiteral("private.png"));
        QImage(8, 8, QImage::Format_RGB32).save(outside);

        Pane p;
        QSignalSpy blocked(&p.view, &pages::DescriptionPane::requestBlocked);
        const QString description
            = QStringLiteral("<img id=\"remote\" src=\"%1/pixel.png\">"
                             "<link rel=\"stylesheet\" href=\"%1/style.css\">"
                             "<link rel=\"prefetch\" href=\"%1/next\">"
                             "<link rel=\"preconnect\" href=\"%1\">"
                             "<iframe src=\"data:text/html,<img src='%1/framed.png'>\"></iframe>"
                             "<img id=\"local\" src=\"%2\">"
                             "<meta http-equiv=\"refresh\" content=\"0; url=%1/away\">")
                  .arg(remote, QUrl::fromLocalFile(outside).toString());
        QVERIFY(show(p.view, bookmark(QStringLiteral("Sneaky"), remote, description)));
        QTest::qWait(700);
        QCOMPARE(connections, 0);
        QCOMPARE(js(p.view, "document.getElementById('local').naturalWidth").toInt(), 0);
        QCOMPARE(js(p.view, "document.getElementById('remote').naturalWidth").toInt(), 0);
        QVERIFY(blocked.count() > 0);
        bool sawOutside = false;
        for (const QList<QVariant> &args : blocked)
            sawOutside |= args.at(0).toUrl() == QUrl::fromLocalFile(outside);
        QVERIFY(sawOutside);
        // The refresh did not take the pane anywhere.
        QCOMPARE(js(p.view, "document.querySelector('h3 a').textContent").toString(),
            QStringLiteral("Sneaky"));
    }

    void aClickedLinkOpensInTheBrowserAndThePageStays()
    {
        Pane p;
        RecordingDesktop desktop;
        p.view.setDesktop(&desktop);
        QVERIFY(show(p.view,
            bookmark(QStringLiteral("Site"), QStringLiteral("https://site.example/a"),
                QStringLiteral("<a id=\"plain\" href=\"http://other.example/b\" "
                               "style=\"display:block;height:30px\">other</a>"))));
        const QUrl shown = p.view.url();
        QWidget *surface = p.view.focusProxy();
        QVERIFY(surface);

        QTest::mouseClick(
            surface, Qt::LeftButton, {}, elementRect(p.view, QStringLiteral("#subject")).center());
        QTRY_COMPARE(desktop.links, QStringList {"https://site.example/a"});
        QTest::mouseClick(
            surface, Qt::LeftButton, {}, elementRect(p.view, QStringLiteral("#plain")).center());
        QTRY_COMPARE(desktop.links.size(), 2);
        QCOMPARE(desktop.links.at(1), QStringLiteral("http://other.example/b"));
        QTest::qWait(200);
        QCOMPARE(p.view.url(), shown);
        QCOMPARE(js(p.view, "document.querySelector('h3 a').textContent").toString(),
            QStringLiteral("Site"));
    }

    void rightClickShowsNoMenu()
    {
        Pane p;
        QVERIFY(show(p.view, bookmark(QStringLiteral("Menu"), QStringLiteral("m.example"))));
        QCOMPARE(p.view.contextMenuPolicy(), Qt::NoContextMenu);
        QTest::mouseClick(p.view.focusProxy(), Qt::RightButton, {}, QPoint(100, 100));
        QTest::qWait(200);
        QVERIFY(!QApplication::activePopupWidget());
    }

    void aPageTooLongForMemoryLoadsFromAFile()
    {
        Pane p;
        const QString longText(400 * 1024, QChar(0xe9));
        QVERIFY(show(p.view, bookmark(QStringLiteral("Long"), "l.example", longText)));
        const QString pageFile = pages::htmlFolder() + QStringLiteral("/description.htm");
        QCOMPARE(p.view.url(), QUrl::fromLocalFile(pageFile));
        QCOMPARE(js(p.view, "document.querySelector('h3 a').textContent").toString(),
            QStringLiteral("Long"));
        QCOMPARE(js(p.view, "getComputedStyle(document.body).backgroundColor").toString(),
            QStringLiteral("rgb(234, 234, 234)"));
        QVERIFY(show(p.view, bookmark(QStringLiteral("Short"), "s.example")));
        QVERIFY(!QFileInfo::exists(pageFile));
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
        QCOMPARE(desktop.files, QStringList {platform::homePath(QStringLiteral("Quillet.chm"))});
        QCOMPARE(desktop.links, QStringList {QString::fromLatin1(pages::kVendorHomePage)});
        QCOMPARE(desktop.urls.size(), 1);
        QVERIFY(desktop.urls.first().startsWith(QStringLiteral("Mailto:")));
        QVERIFY(messages.shown.isEmpty());
    }
};

QUILLET_GUI_TEST_MAIN(DescriptionPaneTest)
#include "tst_descriptionpane.moc"
