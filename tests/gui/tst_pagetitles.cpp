// SPDX-License-Identifier: GPL-3.0-or-later
// Page titles read for bookmarks that came in named by their link, against a
// server this test starts on 127.0.0.1: character sets from the header and
// from <meta>, pages without a title, endless and silent pages, redirects,
// the rename in the window and the editor's "Get title" button.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/BackgroundTitles.h"
#include "core/outline/LinkIntake.h"
#include "core/outline/PageTitles.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "gui/shell/MainWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace quillet;
using namespace quillet::test;

namespace {

// A few fixed pages on 127.0.0.1, one request per connection.
class PageServer : public QObject
{
public:
    PageServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(m_server.serverPort())
            .arg(QLatin1String(path));
    }
    qint64 endlessBytesSent = 0;
    bool endlessClosed = false;

private:
    static void reply(QTcpSocket *socket, const QByteArray &head, const QByteArray &body)
    {
        socket->write("HTTP/1.1 " + head + "\r\nContent-Length: " + QByteArray::number(body.size())
            + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    void serve(QTcpSocket *socket)
    {
        QByteArray &request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        // Taken out at once: a later socket may be given the same address.
        const QByteArray path = m_requests.take(socket).split(' ').value(1);
        if (path == "/header") {
            reply(socket, "200 OK\r\nContent-Type: text/html; charset=windows-1252",
                "<html><head><TITLE lang=fr>\n Caf\xe9  &amp; bar </TITLE>");
        } else if (path == "/meta") {
            reply(socket, "200 OK\r\nContent-Type: text/html",
                "<html><head><meta charset=\"koi8-r\"><title>\xf0\xd2\xc9\xd7\xc5\xd4</title>");
        } else if (path == "/local") {
            reply(socket, "200 OK\r\nContent-Type: text/html", "<title>Local page</title>");
        } else if (path == "/none") {
            reply(socket, "200 OK\r\nContent-Type: text/html", "<html><body>no title</body>");
        } else if (path == "/moved") {
            reply(socket, "301 Moved\r\nLocation: /local", QByteArray());
        } else if (path == "/endless") {
            // A title that never closes, then padding for ever.
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<title>never");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [this, socket] {
                if (socket->state() != QAbstractSocket::ConnectedState) {
                    endlessClosed = true;
                    return;
                }
                if (socket->bytesToWrite() < 256 * 1024)
                    endlessBytesSent += socket->write(QByteArray(64 * 1024, ' '));
            });
            connect(socket, &QTcpSocket::disconnected, this, [this] { endlessClosed = true; });
            timer->start(1);
        } else if (path == "/silent") {
            // Reads the request and never answers.
        } else {
            reply(socket, "404 Not Found", "gone");
        }
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_requests;
};

} // namespace

class PageTitlesTest : public QObject
{
    Q_OBJECT

    QString titleOf(outline::PageTitles &titles, const QString &link)
    {
        bool done = false;
        QString title;
        titles.fetch(link, [&](const QString &t) {
            title = t;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 15000))
            return QStringLiteral("<no answer>");
        return title;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The test server is on this machine; no proxy may stand between.
        for (const char *proxy :
            {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy"})
            qunsetenv(proxy);
    }

    void titlesFromTheLocalServer()
    {
        PageServer server;
        outline::PageTitles titles;
        QCOMPARE(titleOf(titles, server.url("/header")), QStringLiteral("Caf\u00e9 & bar"));
        QCOMPARE(titleOf(titles, server.url("/meta")),
            QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442"));
        QCOMPARE(titleOf(titles, server.url("/moved")), QStringLiteral("Local page"));
        QCOMPARE(titleOf(titles, server.url("/none")), QString());
        QCOMPARE(titleOf(titles, server.url("/gone")), QString());
        // Not read at all: only web pages are asked.
        QCOMPARE(titleOf(titles, QStringLiteral("ftp://127.0.0.1/x")), QString());

        // An endless page is read up to the limit and then let go.
        QCOMPARE(titleOf(titles, server.url("/endless")), QString());
        QTRY_VERIFY(server.endlessClosed);
        QVERIFY(server.endlessBytesSent < 4 * outline::PageTitles::kMaxPageBytes);

        // A page that keeps silent ends at the time limit.
        titles.setTimeout(300);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(titleOf(titles, server.url("/silent")), QString());
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(titles.pending(), 0);
    }

    void bookmarksNamedByLinkGetTheirTitle()
    {
        PageServer server;
        const QString path = common::homePath(QStringLiteral("titles.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Local page"),
                QStringLiteral("http://elsewhere.example.org/")}});
        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr, true});
        QVERIFY(startWith(w, {path}));

        outline::IncomingLinks links;
        links.links = {{server.url("/local"), {}}, {server.url("/gone"), {}},
            {server.url("/header"), QStringLiteral("Given name")}};
        outline::takeLinks(w.workspace(), QStringLiteral("kRoot"), links);
        QTRY_VERIFY(listedNames(w).contains(QStringLiteral("Local page #1")));
        QTRY_COMPARE(w.workspace().titleFetcher()->titles().pending(), 0);
        QStringList names = listedNames(w);
        names.sort();
        QCOMPARE(names,
            (QStringList {QStringLiteral("Given name"), QStringLiteral("Local page"),
                QStringLiteral("Local page #1"), server.url("/gone")}));

        // A bookmark renamed before its title came keeps the new name.
        links.links = {{server.url("/meta"), {}}};
        const outline::LinkIntake intake
            = outline::takeLinks(w.workspace(), QStringLiteral("kRoot"), links);
        store::BookmarkTable table(*w.workspace().document().database());
        store::BookmarkChange rename;
        rename.name = QStringLiteral("Mine");
        QVERIFY(table.change(intake.added.first().id, rename));
        QTRY_COMPARE(w.workspace().titleFetcher()->titles().pending(), 0);
        QCOMPARE(table.liveRowsById({{intake.added.first().id, {}}}).front().name,
            QStringLiteral("Mine"));

        // The editor's button reads the title of the typed link.
        bool read = false;
        QVERIFY(answerDialog(w, QStringLiteral("miLNew"), "frmItem", [&](QWidget *dialog) {
            retype(child<QLineEdit>(dialog, "txtLink"), server.url("/header"));
            click(child<QPushButton>(dialog, "cmdTitle"));
            read = QTest::qWaitFor(
                [&] {
                    return child<QLineEdit>(dialog, "txtName")->text()
                        == QStringLiteral("Caf\u00e9 & bar");
                },
                15000);
            click(child<QPushButton>(dialog, "cmdExit"));
        }));
        QVERIFY(read);
        w.workspace().document().setModified(false);
        QVERIFY(w.close());
    }
};

QUILLET_GUI_TEST_MAIN(PageTitlesTest)
#include "tst_pagetitles.moc"
