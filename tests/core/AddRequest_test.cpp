// SPDX-License-Identifier: GPL-3.0-or-later
// Links handed in from outside the window: quillet: links as browsers pass
// them (hostile ones too), the message to the running instance, and heading
// paths.
#include "core/outline/HeadingLookup.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/shell/AddRequest.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::shell;

namespace {

QString problemOf(const QString &link)
{
    QString error;
    const std::optional<AddRequest> request = parseQuilletLink(link, &error);
    if (!request)
        return QStringLiteral("parse: ") + error;
    return addRequestProblem(*request);
}

} // namespace

TEST(AddRequest, QuilletLinksAsABookmarkletSendsThem)
{
    QString error;
    const auto request = parseQuilletLink(
        QStringLiteral("quillet:add?url=https%3A%2F%2Fexample.org%2Fa%3Fb%3D1%26c%3D2"
                       "&title=Caf%C3%A9%20%26%20more&heading=Work%2FNews&extra=ignored"),
        &error);
    ASSERT_TRUE(request) << error.toStdString();
    EXPECT_EQ(request->link, QStringLiteral("https://example.org/a?b=1&c=2"));
    EXPECT_EQ(request->title, QStringLiteral("Caf\u00e9 & more"));
    EXPECT_EQ(request->headingPath, QStringLiteral("Work/News"));
    EXPECT_TRUE(addRequestProblem(*request).isEmpty());

    const auto slashes
        = parseQuilletLink(QStringLiteral("QUILLET://add/?url=http://x.org/"), &error);
    ASSERT_TRUE(slashes);
    EXPECT_EQ(slashes->link, QStringLiteral("http://x.org/"));

    // The request survives the trip to the running instance.
    const auto back = decodeAddRequest(encodeAddRequest(*request));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->title, request->title);
    EXPECT_EQ(back->headingPath, request->headingPath);
}

TEST(AddRequest, HostileLinksAreRefusedWithAReason)
{
    EXPECT_TRUE(problemOf(QStringLiteral("javascript:add?url=http://x.org/")).startsWith(u"parse"));
    EXPECT_TRUE(problemOf(QStringLiteral("quillet:delete?url=http://x.org/")).startsWith(u"parse"));
    EXPECT_TRUE(problemOf(QStringLiteral("quillet:add?title=x")).contains(u"No link"));
    EXPECT_TRUE(problemOf(QStringLiteral("quillet:add?url=javascript%3Aalert(1)"))
                    .contains(u"does not add javascript:"));
    EXPECT_TRUE(problemOf(QStringLiteral("quillet:add?url=FILE%3A%2F%2F%2Fetc%2Fpasswd"))
                    .contains(u"does not add"));
    // A line break or a NUL inside, or no scheme at all: no link.
    EXPECT_TRUE(problemOf(QStringLiteral("quillet:add?url=java%0Ascript%3Aalert(1)"))
                    .contains(u"is not a link"));
    EXPECT_TRUE(problemOf(QStringLiteral("quillet:add?url=http%3A%2F%2Fx.org%2F%00"))
                    .contains(u"is not a link"));
    EXPECT_TRUE(
        problemOf(QStringLiteral("quillet:add?url=www.example.org")).contains(u"is not a link"));
    // Bytes that are no UTF-8 do not break anything.
    EXPECT_FALSE(problemOf(QStringLiteral("quillet:add?url=http%3A%2F%2Fx.org%2F&title=%FF%FE%C0"))
                     .startsWith(u"parse"));
    const QString huge
        = QStringLiteral("quillet:add?url=http://x.org/") + QString(kMaxAddRequestBytes, u'a');
    EXPECT_TRUE(problemOf(huge).contains(u"too long"));
    EXPECT_TRUE(problemOf(huge + QString(3 * kMaxAddRequestBytes, u'a')).contains(u"too long"));

    // Garbage on the channel is no request.
    EXPECT_FALSE(decodeAddRequest(QByteArray("\x51\x41\x44\x31\xff\xff\xff\xf0", 8)));
    EXPECT_FALSE(decodeAddRequest(QByteArray(1000, 'x')));
    EXPECT_FALSE(decodeAddRequest(encodeAddRequest({}) + "trailing"));
}

TEST(AddRequest, HeadingPaths)
{
    outline::HeadingTreeModel tree;
    outline::HeadingNode *root = tree.addRootHeading();
    outline::HeadingNode *work
        = tree.appendHeading(root, QStringLiteral("Work"), QStringLiteral("K1"), 1, 2);
    outline::HeadingNode *slashed
        = tree.appendHeading(work, QStringLiteral("A/B"), QStringLiteral("K2"), 1, 2);
    outline::HeadingNode *deep
        = tree.appendHeading(slashed, QStringLiteral("Deep"), QStringLiteral("K3"), 1, 2);
    const QString rootTitle = root->title;

    EXPECT_EQ(outline::findHeadingByPath(tree, QString()), root);
    EXPECT_EQ(outline::findHeadingByPath(tree, QStringLiteral("Work")), work);
    EXPECT_EQ(outline::findHeadingByPath(tree, QStringLiteral(" /work/ ")), work);
    EXPECT_EQ(outline::findHeadingByPath(tree, rootTitle + QStringLiteral("/Work")), work);
    EXPECT_EQ(outline::findHeadingByPath(tree, QStringLiteral("Work/a/b/DEEP")), deep);
    EXPECT_EQ(outline::findHeadingByPath(tree, QStringLiteral("Work/A")), nullptr);
    EXPECT_EQ(outline::findHeadingByPath(tree, QStringLiteral("Nowhere")), nullptr);
}
