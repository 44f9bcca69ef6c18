// SPDX-License-Identifier: GPL-3.0-or-later
// Links from other programs: dropped on the list or a heading in every format
// browsers offer, pasted from the system clipboard, and bookmarks copied to
// it for other programs.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/platform/InstanceChannel.h"
#include "core/shell/AddRequest.h"
#include "core/store/BookmarkTable.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/LinkRequests.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QClipboard>
#include <QDate>
#include <QDialog>
#include <QMimeData>
#include <QTreeView>
#include <future>

using namespace quillet;
using namespace quillet::test;

namespace {

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// Sends a whole drag of `data` to `view`'s viewport at `pos`: enter, move,
// drop. Returns whether the view took the drag in.
bool dropData(QAbstractItemView *view, QPoint pos, const QMimeData &data)
{
    QDragEnterEvent enter(
        pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(
        pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &move);
    QDropEvent drop(
        pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// Hands `request` to the window's channel from another thread, as a second
// start of the program does, while this thread's event loop lets the window
// answer.
std::optional<shell::AddOutcome> handOver(const shell::AddRequest &request)
{
    auto reply = std::async(std::launch::async, [request] {
        return platform::sendToRunningInstance(shell::encodeAddRequest(request), 10000);
    });
    while (reply.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QTest::qWait(5);
    const std::optional<QByteArray> bytes = reply.get();
    if (!bytes)
        return std::nullopt;
    return shell::decodeAddOutcome(*bytes);
}

} // namespace

class IncomingLinksTest : public QObject
{
    Q_OBJECT

    ScriptedMessageBoxes m_messages;
    std::unique_ptr<shell::MainWindow> m_window;

    shell::MainWindow &window() { return *m_window; }

    bool dropOnList(const QMimeData &data)
    {
        QTreeView *list = window().bookmarkView();
        return dropData(list, list->viewport()->rect().center(), data);
    }

    bool dropOnHeading(const QString &title, const QMimeData &data)
    {
        QTreeView *tree = window().headingView();
        const QModelIndex index = headingIndex(window(), title);
        if (!index.isValid())
            return false;
        tree->scrollTo(index);
        return dropData(tree, tree->visualRect(index).center(), data);
    }

    // name|link of the listed bookmarks, top to bottom.
    QStringList listed()
    {
        QStringList rows;
        auto &model = window().workspace().list().model();
        for (int i = 0; i < model.count(); ++i)
            rows << model.entry(i).name + QLatin1Char('|') + model.entry(i).link;
        return rows;
    }

    QStringList pendingNamesUnder(const QString &headingKey)
    {
        QStringList names;
        store::Database *db = window().workspace().document().database();
        for (const store::BookmarkRow &row : store::BookmarkTable(*db).liveRows(headingKey)) {
            if (row.state == store::RowState::Added)
                names << row.name;
        }
        return names;
    }

private Q_SLOTS:
    void init()
    {
        clearHome();
        const QString path = common::homePath(QStringLiteral("links.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), QStringLiteral("K10")},
                {QStringLiteral("kRoot"), QStringLiteral("Tools"), QStringLiteral("K20")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Home"),
                QStringLiteral("http://home.example.org/")}});
        m_messages.shown.clear();
        m_window = std::make_unique<shell::MainWindow>(
            shell::MainWindowOverrides {&m_messages, nullptr, nullptr, false});
        QVERIFY(startWith(window(), {path}));
        QGuiApplication::clipboard()->clear();
    }

    void cleanup()
    {
        if (m_window) {
            window().workspace().document().setModified(false);
            window().close();
        }
        m_window.reset();
    }

    void eachBrowserFormatDropsOnTheList()
    {
        // Firefox: text/x-moz-url in UTF-16, link and title pairs.
        QMimeData moz;
        moz.setData(QStringLiteral("text/x-moz-url"),
            utf16(QStringLiteral("https://a.example.org/\nAlpha \u00e9t\u00e9\n"
                                 "https://b.example.org/x?y=1\n\n")));
        moz.setText(QStringLiteral("https://a.example.org/"));
        QVERIFY(dropOnList(moz));
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QVERIFY(listed().contains(QStringLiteral("Alpha \u00e9t\u00e9|https://a.example.org/")));
        // No title: the link is the name.
        QVERIFY(listed().contains(
            QStringLiteral("https://b.example.org/x?y=1|https://b.example.org/x?y=1")));
        QCOMPARE(window().statusText(),
            QStringLiteral("Status: Idle - 2 bookmarks added to \"my Favroites\"."));
        QVERIFY(window().workspace().document().isModified());
        QCOMPARE(window().workspace().list().model().entry(0).date.isEmpty(), false);
        for (int i = 0; i < window().workspace().list().model().count(); ++i) {
            const auto &e = window().workspace().list().model().entry(i);
            if (e.name != QLatin1String("Home"))
                QCOMPARE(e.date, today);
        }

        // _NETSCAPE_URL, then a name clash: numbered by the usual rule.
        QMimeData netscape;
        netscape.setData(
            QStringLiteral("_NETSCAPE_URL"), "https://c.example.org/\nAlpha \xc3\xa9t\xc3\xa9");
        QVERIFY(dropOnList(netscape));
        QVERIFY(listed().contains(QStringLiteral("Alpha \u00e9t\u00e9 #1|https://c.example.org/")));

        // text/uri-list: titles from the anchors of the same drag.
        QMimeData uris;
        uris.setData(QStringLiteral("text/uri-list"),
            "# a comment\r\nhttps://d.example.org/\r\nhttps://e.example.org/\r\n");
        uris.setHtml(QStringLiteral("<a href=\"https://d.example.org/\">Delta <b>page</b></a>"));
        QVERIFY(dropOnList(uris));
        QVERIFY(listed().contains(QStringLiteral("Delta page|https://d.example.org/")));
        QVERIFY(listed().contains(QStringLiteral("https://e.example.org/|https://e.example.org/")));

        // An anchor of text/html alone, entities decoded.
        QMimeData html;
        html.setHtml(QStringLiteral(
            "<meta charset='utf-8'><A class=x HREF='https://f.example.org/?a=1&amp;b=2'>"
            "Fish &amp; chips</A>"));
        QVERIFY(dropOnList(html));
        QVERIFY(listed().contains(QStringLiteral("Fish & chips|https://f.example.org/?a=1&b=2")));

        // Plain text of links only, one or more.
        QMimeData plain;
        plain.setText(QStringLiteral("  https://g.example.org/\n mailto:h@example.org "));
        QVERIFY(dropOnList(plain));
        QVERIFY(listed().contains(QStringLiteral("https://g.example.org/|https://g.example.org/")));
        QVERIFY(listed().contains(QStringLiteral("mailto:h@example.org|mailto:h@example.org")));
        QCOMPARE(window().workspace().list().model().count(), 9);
        QCOMPARE(pendingNamesUnder(QStringLiteral("kRoot")).size(), 8);
        // The last one arrived is selected and shown.
        QCOMPARE(window().workspace().list().selectedKey().isEmpty(), false);
        QVERIFY(m_messages.shown.isEmpty());
    }

    void aDropOnAHeadingFillsThatHeading()
    {
        QMimeData data;
        data.setData(QStringLiteral("text/x-moz-url"),
            utf16(QStringLiteral("https://news.example.org/\nDaily")));
        QVERIFY(dropOnHeading(QStringLiteral("News"), data));
        // The listed heading stays listed and unchanged.
        QCOMPARE(listed(), QStringList {QStringLiteral("Home|http://home.example.org/")});
        QCOMPARE(
            window().statusText(), QStringLiteral("Status: Idle - 1 bookmark added to \"News\"."));
        QVERIFY(clickHeading(window(), QStringLiteral("News")));
        QCOMPARE(listed(), QStringList {QStringLiteral("Daily|https://news.example.org/")});
        // The list takes none of the program's own drags.
        QMimeData own;
        own.setData(QStringLiteral("application/x-quillet-drag"), QByteArray());
        QVERIFY(!dropOnList(own));
    }

    void unsafeAndNonLinkDropsChangeNothing()
    {
        QMimeData refused;
        refused.setData(QStringLiteral("text/uri-list"),
            "javascript:alert(1)\r\ndata:text/html,<b>x</b>\r\nfile:///etc/passwd\r\n"
            "FILE:///etc/shadow\r\n");
        QVERIFY(dropOnList(refused));
        QCOMPARE(listed(), QStringList {QStringLiteral("Home|http://home.example.org/")});
        QCOMPARE(window().statusText(),
            QStringLiteral("Status: Idle - 4 links refused (javascript:, data: and file: links "
                           "are not taken from other programs)."));
        QVERIFY(!window().workspace().document().isModified());

        // A mix: the safe one comes, the others are counted.
        QMimeData mixed;
        mixed.setText(QStringLiteral("https://ok.example.org/ javascript:void(0)"));
        QVERIFY(dropOnList(mixed));
        QCOMPARE(window().statusText(),
            QStringLiteral("Status: Idle - 1 bookmark added to \"my Favroites\"; 1 link refused "
                           "(javascript:, data: and file: links are not taken from other "
                           "programs)."));

        // Text that is not only links, a link with a tab inside, and a drive
        // path are no drop of links at all.
        for (const QString &text : {QStringLiteral("see https://x.example.org/ now"),
                 QStringLiteral("java\tscript:alert(1)"), QStringLiteral("C:/Windows")}) {
            QMimeData words;
            words.setText(text);
            QVERIFY2(!dropOnList(words), qPrintable(text));
        }
        QMimeData tricky;
        tricky.setData(QStringLiteral("text/x-moz-url"), "java\tscript:alert(1)\nx");
        QVERIFY(!dropOnList(tricky));
        QCOMPARE(window().workspace().list().model().count(), 2);
    }

    void pasteTakesLinksFromTheSystemClipboard()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        auto *browserCopy = new QMimeData;
        browserCopy->setData(QStringLiteral("text/x-moz-url"),
            utf16(QStringLiteral("https://copied.example.org/\nCopied page")));
        browserCopy->setText(QStringLiteral("https://copied.example.org/"));
        clipboard->setMimeData(browserCopy);
        QVERIFY(window().workspace().clipboard().isEmpty());
        window().commandBar().trigger(QStringLiteral("miEPaste"));
        QVERIFY(listed().contains(QStringLiteral("Copied page|https://copied.example.org/")));

        // Copy puts the selected bookmarks on the system clipboard for other
        // programs...
        auto &list = window().workspace().list();
        list.selectRow(list.model().rowOfKey(list.model().entry(0).key));
        list.selectAll();
        window().commandBar().trigger(QStringLiteral("miECopy"));
        const QMimeData *copied = clipboard->mimeData();
        QVERIFY(copied);
        const QStringList uris = QString::fromUtf8(copied->data(QStringLiteral("text/uri-list")))
                                     .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(uris.size(), 2);
        QVERIFY(uris.contains(QStringLiteral("http://home.example.org/")));
        QVERIFY(
            copied->text().split(u'\n').contains(QStringLiteral("https://copied.example.org/")));
        QVERIFY(copied->html().contains(
            QStringLiteral("<a href=\"https://copied.example.org/\">Copied page</a>")));

        // ... and while it holds them, Paste takes the program's own bookmarks.
        QVERIFY(clickHeading(window(), QStringLiteral("Tools")));
        window().commandBar().trigger(QStringLiteral("miEPaste"));
        QCOMPARE(listed().size(), 2);
        QCOMPARE(pendingNamesUnder(QStringLiteral("K20")).size(), 2);

        // Another program's links copied since win over the held bookmarks.
        auto *later = new QMimeData;
        later->setData(QStringLiteral("text/uri-list"), "https://later.example.org/\r\n");
        clipboard->setMimeData(later);
        window().commandBar().trigger(QStringLiteral("miEPaste"));
        QCOMPARE(listed().size(), 3);
        QVERIFY(listed().contains(
            QStringLiteral("https://later.example.org/|https://later.example.org/")));

        // Ordinary text on the clipboard with nothing held: Paste does nothing.
        window().workspace().clipboard().clear();
        clipboard->setText(QStringLiteral("just some words"));
        window().commandBar().trigger(QStringLiteral("miEPaste"));
        QCOMPARE(listed().size(), 3);
    }

    void addRequestsReachTheRunningWindow()
    {
        QVERIFY(window().linkRequests().listen());
        auto outcome = handOver({QStringLiteral("https://sent.example.org/"),
            QStringLiteral("Sent"), QStringLiteral("/News/")});
        QVERIFY(outcome && outcome->added);
        QCOMPARE(outcome->message, QStringLiteral("Added \"Sent\" to \"News\"."));
        QCOMPARE(
            window().statusText(), QStringLiteral("Status: Idle - Added \"Sent\" to \"News\"."));

        // Without a heading: the selected one, listed at once.
        outcome = handOver({QStringLiteral("https://here.example.org/"), {}, {}});
        QVERIFY(outcome && outcome->added);
        QVERIFY(listed().contains(
            QStringLiteral("https://here.example.org/|https://here.example.org/")));

        // Bad requests change nothing and say why.
        const int before = window().workspace().list().model().count();
        outcome = handOver({QStringLiteral("https://x.example.org/"), {}, QStringLiteral("Nope")});
        QVERIFY(outcome && !outcome->added);
        QCOMPARE(outcome->message, QStringLiteral("There is no heading \"Nope\"."));
        outcome = handOver({QStringLiteral("javascript:alert(1)"), {}, {}});
        QVERIFY(outcome && !outcome->added);
        QVERIFY(outcome->message.contains(QStringLiteral("does not add javascript:")));
        // While a dialog is open nothing is added; the caller may try again.
        {
            QDialog dialog(&window());
            dialog.setModal(true);
            dialog.show();
            outcome = handOver({QStringLiteral("https://busy.example.org/"), {}, {}});
            QVERIFY(outcome && !outcome->added);
            QVERIFY(outcome->message.contains(QStringLiteral("busy")));
        }
        QCOMPARE(window().workspace().list().model().count(), before);

        QVERIFY(clickHeading(window(), QStringLiteral("News")));
        QCOMPARE(listed(), QStringList {QStringLiteral("Sent|https://sent.example.org/")});
    }

    void htmlCopiedEscapesNames()
    {
        auto *data = new QMimeData;
        data->setData(QStringLiteral("text/x-moz-url"),
            utf16(QStringLiteral("https://q.example.org/?a=1&b=2\nA <b>\"bold\"</b> & co")));
        QGuiApplication::clipboard()->setMimeData(data);
        window().commandBar().trigger(QStringLiteral("miEPaste"));
        auto &list = window().workspace().list();
        list.selectRow(list.model().rowOfKey(list.selectedKey()));
        window().commandBar().trigger(QStringLiteral("miECopy"));
        const QString html = QGuiApplication::clipboard()->mimeData()->html();
        QVERIFY2(
            html.contains(QStringLiteral("<a href=\"https://q.example.org/?a=1&amp;b=2\">"
                                         "A &lt;b&gt;&quot;bold&quot;&lt;/b&gt; &amp; co</a>")),
            qPrintable(html));
    }
};

QUILLET_GUI_TEST_MAIN(IncomingLinksTest)
#include "tst_incominglinks.moc"
