// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalHttpServer.h"
#include "LoopbackOnlyNetwork.h"
#include "core/common/AppHome.h"
#include "core/links/LinkChecker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillet;
using links::LinkChecker;
using links::LinkResult;
using links::Verdict;
using test::HttpAnswer;
using test::LocalHttpServer;

namespace {

// Checks `links` through the loopback-only network and returns each result.
std::vector<LinkResult> check(const QStringList &links, links::LinkCheckOptions options = {})
{
    test::LoopbackOnlyNetwork network;
    LinkChecker checker(options, &network);
    checker.run(links);
    EXPECT_FALSE(checker.isRunning());
    EXPECT_EQ(checker.done(), links.size());
    std::vector<LinkResult> results;
    for (int i = 0; i < links.size(); ++i)
        results.push_back(checker.result(i));
    return results;
}

void expectResult(
    const LinkResult &result, Verdict verdict, const QString &detail, const QString &newLink = {})
{
    EXPECT_EQ(links::verdictWord(result.verdict), links::verdictWord(verdict))
        << result.detail.toStdString();
    EXPECT_EQ(result.detail, detail);
    EXPECT_EQ(result.newLink, newLink);
}

} // namespace

TEST(LinkChecker, StatusesAndRedirectChainsGiveTheirVerdicts)
{
    LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.answer("/ok", HttpAnswer::ok("<p>hi</p>"));
    server.answer("/gone", HttpAnswer::withStatus(410));
    server.answer("/broken", HttpAnswer::withStatus(500));
    server.answer("/perm1", HttpAnswer::redirect(301, "/perm2"));
    server.answer("/perm2", HttpAnswer::redirect(308, server.url("/ok").toUtf8()));
    server.answer("/temp", HttpAnswer::redirect(302, "/ok"));
    // Permanent, then temporary: the bookmark moves as far as the permanent
    // redirects lead, not to the temporary target.
    server.answer("/mixed", HttpAnswer::redirect(301, "/temp"));
    server.answer("/perm-to-missing", HttpAnswer::redirect(301, "/nothing"));
    server.answer("/loop-a", HttpAnswer::redirect(302, "/loop-b"));
    server.answer("/loop-b", HttpAnswer::redirect(301, "/loop-a"));
    for (int i = 0; i < 11; ++i)
        server.answer("/hop" + QByteArray::number(i),
            HttpAnswer::redirect(302, "/hop" + QByteArray::number(i + 1)));
    server.answer("/hop11", HttpAnswer::ok());
    server.answer("/no-target", HttpAnswer::withStatus(302));

    const quint16 closed = LocalHttpServer::closedPort();
    const std::vector<LinkResult> r = check({server.url("/ok"), server.url("/missing"),
        server.url("/gone"), server.url("/broken"), server.url("/perm1"), server.url("/temp"),
        server.url("/mixed"), server.url("/perm-to-missing"), server.url("/loop-a"),
        server.url("/hop0"), server.url("/hop1"), server.url("/no-target"),
        QStringLiteral("http://127.0.0.1:%1/").arg(closed),
        // No scheme: checked as the browser opens it.
        QStringLiteral("  127.0.0.1:%1/ok ").arg(server.port())});

    expectResult(r[0], Verdict::Ok, {});
    expectResult(r[1], Verdict::Dead, QStringLiteral("404 Not Found"));
    expectResult(r[2], Verdict::Dead, QStringLiteral("410 Gone"));
    expectResult(r[3], Verdict::Dead, QStringLiteral("500 Internal Server Error"));
    expectResult(r[4], Verdict::Moved, {}, server.url("/ok"));
    expectResult(r[5], Verdict::Ok, {});
    expectResult(r[6], Verdict::Moved, {}, server.url("/temp"));
    expectResult(r[7], Verdict::Dead, QStringLiteral("404 Not Found"));
    expectResult(r[8], Verdict::Dead, QStringLiteral("too many redirects"));
    expectResult(r[9], Verdict::Dead, QStringLiteral("too many redirects")); // 11 redirects
    expectResult(r[10], Verdict::Ok, {}); // 10 redirects
    expectResult(r[11], Verdict::Dead, QStringLiteral("302 Found without a target"));
    expectResult(r[12], Verdict::Dead, QStringLiteral("connection refused"));
    expectResult(r[13], Verdict::Ok, {});
}

TEST(LinkChecker, AsksWithHeadAndFallsBackToGetOnlyWhenHeadFails)
{
    LocalHttpServer server;
    server.answer("/plain", HttpAnswer::ok("body"));
    server.answer("/refused", HttpAnswer::ok("body").headAnswered(405));
    server.answer("/not-implemented", HttpAnswer::ok("body").headAnswered(501));
    server.answer("/head-missing", HttpAnswer::ok("body").headAnswered(404));
    server.answer("/really-missing", HttpAnswer::withStatus(404));

    const std::vector<LinkResult> r
        = check({server.url("/plain"), server.url("/refused"), server.url("/not-implemented"),
            server.url("/head-missing"), server.url("/really-missing")});
    expectResult(r[0], Verdict::Ok, {});
    expectResult(r[1], Verdict::Ok, {});
    expectResult(r[2], Verdict::Ok, {});
    expectResult(r[3], Verdict::Ok, {});
    expectResult(r[4], Verdict::Dead, QStringLiteral("404 Not Found"));

    QMap<QByteArray, QByteArrayList> methods;
    for (const test::HttpRequestSeen &request : server.requests()) {
        methods[request.path] << request.method;
        EXPECT_EQ(request.headers.value("user-agent"), QByteArray("Quillet/3.0 (link checker)"));
    }
    EXPECT_EQ(methods["/plain"], QByteArrayList({"HEAD"}));
    EXPECT_EQ(methods["/refused"], QByteArrayList({"HEAD", "GET"}));
    EXPECT_EQ(methods["/head-missing"], QByteArrayList({"HEAD", "GET"}));
    EXPECT_EQ(methods["/really-missing"], QByteArrayList({"HEAD", "GET"}));
}

TEST(LinkChecker, LinksThatNeedNoNetworkAreDecidedAtOnce)
{
    const QString file = common::appHome() + QStringLiteral("/page.html");
    QFile(file).open(QIODevice::WriteOnly);
    test::LoopbackOnlyNetwork network;
    LinkChecker checker({}, &network);
    QSignalSpy finished(&checker, &LinkChecker::finished);
    checker.start({QStringLiteral("mailto:me@site.test"), QStringLiteral("JavaScript:void(0)"),
        QStringLiteral("data:text/plain,hi"), QStringLiteral("about:blank"), QString(),
        QStringLiteral("ftp://files.test/a"), QUrl::fromLocalFile(file).toString(),
        QUrl::fromLocalFile(file + QStringLiteral(".gone")).toString(), QStringLiteral("http://")});
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(network.refusedHosts.isEmpty());
    expectResult(checker.result(0), Verdict::Skipped, QStringLiteral("mail address"));
    expectResult(checker.result(1), Verdict::Skipped, QStringLiteral("script"));
    expectResult(checker.result(2), Verdict::Skipped, QStringLiteral("data link"));
    expectResult(checker.result(3), Verdict::Skipped, QStringLiteral("browser page"));
    expectResult(checker.result(4), Verdict::Skipped, QStringLiteral("no link"));
    expectResult(checker.result(5), Verdict::Skipped, QStringLiteral("ftp links are not checked"));
    expectResult(checker.result(6), Verdict::Ok, {});
    expectResult(checker.result(7), Verdict::Dead, QStringLiteral("no such file"));
    expectResult(checker.result(8), Verdict::Dead, QStringLiteral("not a valid link"));
}

TEST(LinkChecker, HostThatDoesNotResolveIsDead)
{
    test::LoopbackOnlyNetwork network;
    LinkChecker checker({}, &network);
    checker.run({QStringLiteral("https://no-such-host.test/page")});
    expectResult(checker.result(0), Verdict::Dead, QStringLiteral("no such host"));
    EXPECT_EQ(network.refusedHosts, QStringList {QStringLiteral("no-such-host.test")});
}

TEST(LinkChecker, SilentServerTimesOutAndSlowOneIsWaitedFor)
{
    LocalHttpServer server;
    HttpAnswer silent;
    silent.neverAnswer = true;
    server.answer("/silent", silent);
    server.answer("/slow", HttpAnswer::ok().delayed(150));
    links::LinkCheckOptions options;
    options.timeoutMs = 600;
    QElapsedTimer clock;
    clock.start();
    const std::vector<LinkResult> r = check({server.url("/silent"), server.url("/slow")}, options);
    expectResult(r[0], Verdict::Dead, QStringLiteral("timeout (no answer in 0.6 s)"));
    expectResult(r[1], Verdict::Ok, {});
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(LinkChecker, NeverMoreThanTwoRequestsAtOneServerButServersRunSideBySide)
{
    LocalHttpServer first;
    LocalHttpServer second;
    first.setFallback(HttpAnswer::ok().delayed(60));
    second.setFallback(HttpAnswer::ok().delayed(60));
    QStringList links;
    for (int i = 0; i < 8; ++i)
        links << first.url(QStringLiteral("/a%1").arg(i))
              << second.url(QStringLiteral("/b%1").arg(i));
    const std::vector<LinkResult> r = check(links);
    for (const LinkResult &result : r)
        EXPECT_EQ(result.verdict, Verdict::Ok);
    EXPECT_EQ(first.mostWaiting(), 2);
    EXPECT_EQ(second.mostWaiting(), 2);
    EXPECT_EQ(first.requestCount() + second.requestCount(), 16);
}

TEST(LinkChecker, StopEndsTheCheckAndLeavesTheRestUnchecked)
{
    LocalHttpServer server;
    server.answer("/fast", HttpAnswer::ok());
    HttpAnswer silent;
    silent.neverAnswer = true;
    server.setFallback(silent);
    test::LoopbackOnlyNetwork network;
    LinkChecker checker({}, &network);
    QSignalSpy finished(&checker, &LinkChecker::finished);
    QSignalSpy progress(&checker, &LinkChecker::progressChanged);
    checker.start({server.url("/fast"), server.url("/s1"), server.url("/s2"),
        QStringLiteral("mailto:x@y.test")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return checker.done() == 2; }, 5000));
    checker.cancel();
    EXPECT_FALSE(checker.isRunning());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(progress.last().at(0).toInt(), 2);
    EXPECT_EQ(progress.last().at(1).toInt(), 4);
    EXPECT_EQ(checker.result(0).verdict, Verdict::Ok);
    EXPECT_EQ(checker.result(1).verdict, Verdict::Unchecked);
    // Nothing arrives after the stop.
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(checker.done(), 2);
}
