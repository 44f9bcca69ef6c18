// SPDX-License-Identifier: GPL-3.0-or-later
// `quillet --add` and quillet: links as processes: the first start adds the
// link to its start-up document, later ones hand theirs to it, bad ones are
// refused before anything starts.
#include "DocumentBuilder.h"
#include "GuiTestMain.h"
#include "core/common/AppHome.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"

#include <QProcess>
#include <csignal>

using namespace quillet;
using namespace quillet::test;

class AddLinksTest : public QObject
{
    Q_OBJECT

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUILLET_HOME"), common::appHome());
        for (const char *proxy : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"})
            env.remove(QString::fromLatin1(proxy));
        return env;
    }

    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };

    Run run(const QStringList &arguments)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(QUILLET_BINARY), arguments);
        Run r;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
        r.err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return r;
    }

private Q_SLOTS:
    void addToANewInstanceThenToTheRunningOne()
    {
        const QString path = common::homePath(QStringLiteral("add.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), QStringLiteral("K10")}},
            {});
        // Links to a closed port of this machine: the title read fails at once.
        const QString closed = QStringLiteral("http://127.0.0.1:9/");

        // Refused before anything starts.
        Run bad = run({QStringLiteral("quillet:add?url=javascript%3Aalert(1)")});
        QCOMPARE(bad.code, 2);
        QVERIFY2(bad.err.contains(QStringLiteral("does not add javascript:")), qPrintable(bad.err));
        bad = run({QStringLiteral("--add"), QStringLiteral("")});
        QCOMPARE(bad.code, 2);

        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(QUILLET_BINARY),
            {path, QStringLiteral("--add"), closed + QStringLiteral("one"),
                QStringLiteral("--title"), QStringLiteral("One")});
        QVERIFY(first.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += first.readAllStandardOutput())
                                     .contains("quillet: Added \"One\" to \"my Favroites\"."),
            30000);

        Run second = run({QStringLiteral("--add"), closed + QStringLiteral("two"),
            QStringLiteral("--heading"), QStringLiteral("News")});
        QCOMPARE(second.code, 0);
        QCOMPARE(second.out, QStringLiteral("quillet: Added \"%1two\" to \"News\".").arg(closed));
        Run unknown = run({QStringLiteral("--add"), closed, QStringLiteral("--heading"),
            QStringLiteral("Nowhere")});
        QCOMPARE(unknown.code, 1);
        QCOMPARE(unknown.err, QStringLiteral("quillet: There is no heading \"Nowhere\"."));
        Run handler = run({QStringLiteral("quillet:add?url=http%3A%2F%2F127.0.0.1%3A9%2Fthree"
                                          "&title=Three%20%26%20more")});
        QCOMPARE(handler.code, 0);
        QCOMPARE(
            handler.out, QStringLiteral("quillet: Added \"Three & more\" to \"my Favroites\"."));

        // The rows are in the document, pending like any new bookmark.
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(10000));
        auto db = store::openDocumentDatabase(path);
        QVERIFY(db);
        QStringList rows;
        for (const store::BookmarkRow &row : store::BookmarkTable(*db).allLiveRows()) {
            QCOMPARE(row.state, store::RowState::Added);
            rows << row.headingKey + QLatin1Char(':') + row.name;
        }
        rows.sort();
        QCOMPARE(rows,
            (QStringList {QStringLiteral("K10:") + closed + QStringLiteral("two"),
                QStringLiteral("kRoot:One"), QStringLiteral("kRoot:Three & more")}));
    }
};

QUILLET_GUI_TEST_MAIN(AddLinksTest)
#include "tst_addlinks.moc"
