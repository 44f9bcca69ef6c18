// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/DescriptionPage.h"
#include "core/pages/RichTextPage.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(RichTextPage, ReadsOnlyFilesOfTheHtmlFolder)
{
    const QString folder = QStringLiteral("/home/u/q/html");
    const auto file = [&](const char *name) { return pages::paneResourceFile(QUrl(name), folder); };
    // The templates' own names: the folder, a backslash, the file.
    EXPECT_EQ(file("/home/u/q/html\\styles.css"), "/home/u/q/html/styles.css");
    EXPECT_EQ(file("/home/u/q/html\\image1.jpg"), "/home/u/q/html/image1.jpg");
    EXPECT_EQ(file("shim.gif"), "/home/u/q/html/shim.gif");
    EXPECT_EQ(file("file:///home/u/q/html/small_bullet.gif"), "/home/u/q/html/small_bullet.gif");

    for (const char *outside : {"/etc/passwd", "file:///etc/passwd", "../secret.jpg",
             "/home/u/q/html\\..\\secret.jpg", "/home/u/q/html2/a.css", "/home/u/q/html",
             "file://server/home/u/q/html/a.gif", "http://127.0.0.1/a.png", "https://x.org/a.png",
             "ftp://x.org/a.png", "qrc:/pages/noimagel.gif", "C:\\Windows\\a.bmp", ""})
        EXPECT_EQ(file(outside), QString()) << outside;
}

TEST(RichTextPage, TablesBelowTheDeepestLevelBecomeBlocks)
{
    const QString shallow = QStringLiteral("<TABLE border=1><tr><td><table>x</table ></td></tr>"
                                           "</TABLE><tablet><p>table</p>");
    EXPECT_EQ(pages::flattenDeepTables(shallow, 2), shallow);

    EXPECT_EQ(pages::flattenDeepTables(
                  QStringLiteral("<table><table a=1><Table>x</TABLE></table></table>"), 1),
        QStringLiteral("<table><div a=1><div>x</div></div></table>"));
    // An unclosed table counts until the end; a stray close changes nothing.
    EXPECT_EQ(pages::flattenDeepTables(QStringLiteral("</table><table><table/><table>"), 1),
        QStringLiteral("</table><table><div/><div>"));

    // Depth of thousands, linear in the text.
    const QString deep = QStringLiteral("<table><tr><td>").repeated(5000) + "x"
        + QStringLiteral("</td></tr></table>").repeated(5000);
    const QString flat = pages::flattenDeepTables(deep);
    EXPECT_EQ(flat.count(QStringLiteral("<table>")), pages::kDeepestPaneTable);
    EXPECT_EQ(flat.count(QStringLiteral("</table>")), pages::kDeepestPaneTable);
}
