// SPDX-License-Identifier: GPL-3.0-or-later
// What other programs hand over as links, read from hostile and broken data.
#include "core/outline/LinkMimeData.h"

#include <QMimeData>
#include <gtest/gtest.h>

using namespace quillet::outline;

namespace {

QStringList linksOf(const IncomingLinks &in)
{
    QStringList out;
    for (const IncomingLink &l : in.links)
        out << l.link + QLatin1Char('|') + l.title;
    return out;
}

} // namespace

TEST(LinkMimeData, BrokenHtmlGivesOnlyWholeAnchors)
{
    QMimeData data;
    data.setHtml(
        QStringLiteral("<abbr href=x>no</abbr><a>no href</a><a href>empty</a>"
                       "<a\thref = \"https://one.example.org/\" title=x>One<img src=y></a>"
                       "<A HREF=https://two.example.org/>Two"
                       "<a href='javascript:alert(1)'>js</a><a href=\"https://three.example.org/"));
    const IncomingLinks in = readIncomingLinks(data);
    EXPECT_EQ(linksOf(in),
        (QStringList {QStringLiteral("https://one.example.org/|One"),
            QStringLiteral("https://two.example.org/|Two")}));
    EXPECT_EQ(in.refused, 1);
}

TEST(LinkMimeData, LimitsAndEncodings)
{
    // More links than one drop takes: nothing, and it says why.
    QByteArray many;
    for (int i = 0; i <= kMaxIncomingLinks; ++i)
        many += "https://example.org/" + QByteArray::number(i) + "\r\n";
    QMimeData tooMany;
    tooMany.setData(QStringLiteral("text/uri-list"), many);
    const IncomingLinks big = readIncomingLinks(tooMany);
    EXPECT_TRUE(big.tooMany);
    EXPECT_TRUE(big.links.isEmpty());

    // UTF-16 with a byte order mark, an overlong title, a link too long.
    const QString text = QChar(0xfeff) + QStringLiteral("https://u.example.org/\n")
        + QString(5000, u'T') + QStringLiteral("\nhttps://v.example.org/")
        + QString(kMaxLinkLength, u'a') + QStringLiteral("\nV");
    QMimeData moz;
    moz.setData(QStringLiteral("text/x-moz-url"),
        QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
    const IncomingLinks in = readIncomingLinks(moz);
    ASSERT_EQ(in.links.size(), 1);
    EXPECT_EQ(in.links[0].link, QStringLiteral("https://u.example.org/"));
    EXPECT_EQ(in.links[0].title.size(), kMaxTitleLength);

    // The program's own drag is never read as links.
    QMimeData own;
    own.setData(ownDragFormat(), QByteArray());
    own.setText(QStringLiteral("https://w.example.org/"));
    EXPECT_TRUE(readIncomingLinks(own).isEmpty());
}
