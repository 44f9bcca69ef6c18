// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "LocalHttpServer.h"
#include "core/cli/CliCommands.h"
#include "core/common/AppHome.h"

#include <QDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace quillet;
using test::HttpAnswer;
using test::ItemRow;
using test::LocalHttpServer;
using test::NodeRow;

namespace {

struct Outcome
{
    int status = -1;
    QStringList lines;
    QString err;
};

Outcome checkLinks(QStringList arguments)
{
    QString out;
    Outcome outcome;
    QTextStream outStream(&out);
    QTextStream errStream(&outcome.err);
    arguments.prepend(QStringLiteral("check-links"));
    outcome.status = cli::run(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    outcome.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return outcome;
}

// Root > Sites; bookmarks whose links answer in every way, two sharing one.
QString siteDocument(const LocalHttpServer &server)
{
    QDir().mkpath(common::appHome() + QStringLiteral("/docs"));
    const QString path = common::appHome() + QStringLiteral("/docs/links.rdb");
    test::writeDocument(path,
        {NodeRow(QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")),
            NodeRow(QStringLiteral("kRoot"), QStringLiteral("Sites"), QStringLiteral("K1"))},
        {ItemRow(QStringLiteral("kRoot"), QStringLiteral("K5"), QStringLiteral("Fine"),
             server.url(QStringLiteral("/ok"))),
            ItemRow(QStringLiteral("K1"), QStringLiteral("K6"), QStringLiteral("Old\tpage"),
                server.url(QStringLiteral("/old"))),
            ItemRow(QStringLiteral("K1"), QStringLiteral("K7"), QStringLiteral("Gone"),
                server.url(QStringLiteral("/gone"))),
            ItemRow(QStringLiteral("K1"), QStringLiteral("K8"), QStringLiteral("Gone again"),
                server.url(QStringLiteral("/gone"))),
            ItemRow(QStringLiteral("K1"), QStringLiteral("K9"), QStringLiteral("Mail"),
                QStringLiteral("mailto:me@site.test")),
            ItemRow(QStringLiteral("K1"), QStringLiteral("K10"), QStringLiteral("Unsaved"),
                server.url(QStringLiteral("/unsaved")), 1)});
    return path;
}

} // namespace

TEST(CliCheckLinks, ListsWhatIsNotOkOnceALinkAndFailsWhenSomethingIsDead)
{
    LocalHttpServer server;
    server.answer("/ok", HttpAnswer::ok());
    server.answer("/old", HttpAnswer::redirect(301, "/ok"));
    server.answer("/gone", HttpAnswer::withStatus(410));
    const QString doc = siteDocument(server);

    Outcome outcome = checkLinks({doc});
    EXPECT_EQ(outcome.status, cli::LinksDead) << outcome.err.toStdString();
    EXPECT_EQ(outcome.lines,
        QStringList(
            {QStringLiteral("moved\tmy Favroites/Sites\tOld\\tpage\t%1\t%2")
                    .arg(server.url(QStringLiteral("/old")), server.url(QStringLiteral("/ok"))),
                QStringLiteral("dead\tmy Favroites/Sites\tGone\t%1\t410 Gone")
                    .arg(server.url(QStringLiteral("/gone"))),
                QStringLiteral("dead\tmy Favroites/Sites\tGone again\t%1\t410 Gone")
                    .arg(server.url(QStringLiteral("/gone"))),
                QStringLiteral(
                    "skipped\tmy Favroites/Sites\tMail\tmailto:me@site.test\tmail address")}));
    // Each distinct link was asked once (HEAD, then GET for the error), the
    // bookmark added by a session that never saved never.
    EXPECT_EQ(server.requestCount("/gone"), 2);
    EXPECT_EQ(server.requestCount("/unsaved"), 0);

    // --all lists the OK ones too; with nothing dead the status is 0.
    server.answer("/gone", HttpAnswer::ok());
    outcome = checkLinks({QStringLiteral("--all"), QStringLiteral("--jobs=4"),
        QStringLiteral("--timeout"), QStringLiteral("2.5"), doc});
    EXPECT_EQ(outcome.status, cli::Success);
    ASSERT_EQ(outcome.lines.size(), 5);
    EXPECT_EQ(outcome.lines.at(0),
        QStringLiteral("ok\tmy Favroites\tFine\t%1\t").arg(server.url(QStringLiteral("/ok"))));
}

TEST(CliCheckLinks, BadOptionsAreUsageErrors)
{
    LocalHttpServer server;
    const QString doc = siteDocument(server);
    for (const QStringList &arguments :
        {QStringList {QStringLiteral("--jobs"), QStringLiteral("0"), doc},
            QStringList {QStringLiteral("--jobs=many"), doc},
            QStringList {QStringLiteral("--timeout"), QStringLiteral("-1"), doc},
            QStringList {doc, QStringLiteral("--timeout")}}) {
        const Outcome outcome = checkLinks(arguments);
        EXPECT_EQ(outcome.status, cli::UsageError) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(outcome.lines.isEmpty());
    }
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_EQ(
        cli::run({QStringLiteral("list"), QStringLiteral("--all"), doc}, outStream, errStream),
        cli::UsageError);
    EXPECT_EQ(server.requestCount(), 0);
}
