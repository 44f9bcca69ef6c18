// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AppHome.h"
#include "core/pages/DescriptionPage.h"
#include "core/pages/PageResources.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace quillet;
using pages::Resource;

namespace {

// Template 1002 as the pane's page is built from: CR LF line ends, a tab
// after the thumbnail's div, no line break after the last line.
const QByteArray kPaneTemplate = QByteArrayLiteral(
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
    "\"http://www.w3.org/TR/html4/strict.dtd\">\r\n"
    "<html>\r\n"
    "<head><META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n"
    "<link href=\"&imgPath&\\styles.css\" type=\"text/css\" rel=\"stylesheet\">\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<div id=\"container\">\r\n"
    "<div class=\"alternate\" id=\"content\">\r\n"
    "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\" width=\"100%\">\r\n"
    "<tr><td width=\"96%\" class=\"padLeft\" style=\"word-break:break-all\">\r\n"
    "<div id=\"details_end\" >\r\n"
    "<div class=\"largeThumb\">\t\r\n"
    "<img class=\"thumbnail\" border=\"0\" width=\"180\" height=\"132\" "
    "src=\"&imgPath&\\&imgFile&\" align=\"left\">\r\n"
    "</div>\r\n"
    "<h3 class=\"siteTitle\"><a>&urlName&</a></h3>\r\n"
    "<a class=\"small G\" id=\"subject\" href=\"&urlLink&\" target=\"_blank\">&urlLink&</a>\r\n"
    "<br><pic alt=\"\" border=\"0\" height=\"3\" width=\"1\" src=\"shim.gif\">\r\n"
    "<br>&urlDescrip&<p></p>\r\n"
    "</div>\r\n"
    "</td></tr>\r\n"
    "</table>\r\n"
    "</div>\r\n"
    "</div>\r\n"
    "</body>\r\n"
    "</html>");

store::BookmarkRow bookmark(const QString &name, const QString &link,
    const QString &description = QStringLiteral("About it"), const QByteArray &thumbnail = {})
{
    store::BookmarkRow row;
    row.name = name;
    row.link = link;
    row.description = description;
    row.thumbnail = thumbnail;
    return row;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList htmlFiles()
{
    return QDir(pages::htmlFolder()).entryList(QDir::Files, QDir::Name);
}

// The first line of the page that begins with `startsWith`.
QString line(const QString &page, const QString &startsWith)
{
    for (const QString &l : page.split(QStringLiteral("\r\n")))
        if (l.startsWith(startsWith))
            return l;
    return QString();
}

// The line that carries the description.
QString descriptionLine(const QString &page)
{
    for (const QString &l : page.split(QStringLiteral("\r\n")))
        if (l.endsWith(QLatin1String("<p></p>")))
            return l;
    return QString();
}

} // namespace

TEST(PageResources, TemplatesAreByteExact)
{
    EXPECT_EQ(pages::resourceBytes(Resource::DescriptionTemplate), kPaneTemplate);

    // The help pages' pieces: the head and the block end with a line
    // break, the tail does not.
    const QByteArray head = pages::resourceBytes(Resource::HelpPageHead);
    EXPECT_EQ(head.count("\r\n"), 7);
    EXPECT_TRUE(head.startsWith(kPaneTemplate.left(kPaneTemplate.indexOf("<div class"))));
    EXPECT_TRUE(head.endsWith("<body>\r\n<div id=\"container\">\r\n"));
    const QByteArray block = pages::resourceBytes(Resource::HelpPageBlock);
    EXPECT_EQ(block.count("\r\n"), 12);
    EXPECT_TRUE(block.contains("<div id=\"&details&\" >\r\n<div class=\"largeThumb\">\t\r\n"));
    EXPECT_TRUE(block.endsWith("</div></td></tr></table></div>\r\n"));
    EXPECT_EQ(pages::resourceBytes(Resource::HelpPageTail),
        QByteArrayLiteral("</div>\r\n</body>\r\n</html>"));
    for (Resource id : {Resource::DescriptionTemplate, Resource::HelpPageHead,
             Resource::HelpPageBlock, Resource::HelpPageTail}) {
        const QByteArray bytes = pages::resourceBytes(id);
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << int(id);
    }
}

TEST(PageResources, StyleSheetKeepsItsTabsAndThreeBareLineFeeds)
{
    const QByteArray css = pages::resourceBytes(Resource::StyleSheet);
    QList<QByteArray> bareLf;
    for (qsizetype at = css.indexOf('\n'); at >= 0; at = css.indexOf('\n', at + 1)) {
        if (at == 0 || css.at(at - 1) != '\r') {
            const qsizetype start = css.lastIndexOf('\n', at - 1) + 1;
            bareLf << css.mid(start, at - start);
        }
    }
    EXPECT_EQ(bareLf,
        (QList<QByteArray> {"\ta {text-decoration:none; color: #6266d7}",
            "\ta:visited {text-decoration:none; color: #993366}",
            "\ta:hover, a:active {color:#c60;text-decoration:underline;}"}));
    EXPECT_TRUE(css.startsWith("\tbody   {\r\n\t\tbackground: #eaeaea;\r\n"));
    EXPECT_TRUE(css.contains("#CC6600; }\r\n\r\n\t#details_header {\r\n"));
    EXPECT_TRUE(css.endsWith("\th3 a, a h3 {color: #0033CC}\r\n"));
    EXPECT_EQ(css.count('\n'), 74);
    // The whole text, as the pages were designed against.
    EXPECT_EQ(QCryptographicHash::hash(css, QCryptographicHash::Sha256).toHex(),
        QByteArray("04c7164098447288c2f17f8acd194e95562bb2a47adf4b333c222eae08d5ea9b"))
        << "styles.css changed";
}

TEST(PageResources, PicturesAreGifsOfTheirSizes)
{
    const struct
    {
        Resource id;
        QSize size;
    } pictures[] = {
        {Resource::NoImagePicture, {180, 132}},
        {Resource::ShimPicture, {1, 1}},
        {Resource::DottedRulePicture, {6, 1}},
        {Resource::BulletPicture, {6, 8}},
    };
    for (const auto &picture : pictures) {
        QByteArray bytes = pages::resourceBytes(picture.id);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format(), QByteArray("gif")) << int(picture.id);
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), picture.size) << int(picture.id);
    }
    // The no-image picture: white around a light grey emblem.
    const QImage none = QImage::fromData(pages::resourceBytes(Resource::NoImagePicture));
    EXPECT_EQ(none.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(none.pixel(179, 131), qRgb(255, 255, 255));
    const QRgb centre = none.pixel(90, 80 + 35);
    EXPECT_EQ(qRed(centre), qBlue(centre));
    EXPECT_GT(qGray(centre), 160);
    EXPECT_LT(qGray(centre), 240);
}

TEST(PageResources, WriteResourceFileWritesBytesOrSaysFalse)
{
    const QString path = common::homePath(QStringLiteral("copy.css"));
    ASSERT_TRUE(pages::writeResourceFile(Resource::StyleSheet, path));
    EXPECT_EQ(fileBytes(path), pages::resourceBytes(Resource::StyleSheet));
    EXPECT_FALSE(pages::writeResourceFile(
        Resource::StyleSheet, common::homePath(QStringLiteral("missing/copy.css"))));
}

TEST(DescriptionPage, LinkCompletion)
{
    EXPECT_EQ(pages::completeLink(QStringLiteral("abc")), QStringLiteral("http://abc"));
    EXPECT_EQ(pages::completeLink(QStringLiteral("https://a.example")),
        QStringLiteral("https://a.example"));
    // Only a link without any scheme gets one; an empty link stays empty.
    for (const char *asItIs :
        {"HTTP://A.EXAMPLE", "ftp://f.example", "file:///x.html", "mailto:me@example.org", ""})
        EXPECT_EQ(pages::completeLink(QLatin1String(asItIs)), QLatin1String(asItIs));
    EXPECT_EQ(pages::completeLink(QStringLiteral("httpx")), QStringLiteral("http://httpx"));
    EXPECT_EQ(pages::completeLink(QStringLiteral("localhost:8080/a")),
        QStringLiteral("http://localhost:8080/a"));
}

TEST(DescriptionPage, FillsTheTemplateInOrder)
{
    const QString folder = QStringLiteral("/home/u/.local/share/quillet/html");
    const QString page = pages::descriptionPageText(folder,
        bookmark(QStringLiteral("News"), QStringLiteral("abc"), QStringLiteral("Daily")),
        QStringLiteral("image2.jpg"));
    QByteArray expected = kPaneTemplate;
    expected.replace("&imgPath&", folder.toUtf8())
        .replace("&urlName&", "News")
        .replace("&urlLink&", "http://abc")
        .replace("&urlDescrip&", "Daily")
        .replace("&imgFile&", "image2.jpg");
    EXPECT_EQ(page.toUtf8(), expected);
    EXPECT_EQ(line(page, QStringLiteral("<link")),
        QStringLiteral("<link href=\"/home/u/.local/share/quillet/html\\styles.css\" "
                       "type=\"text/css\" rel=\"stylesheet\">"));

    // Values go in unescaped and in order: a placeholder in the name is
    // replaced by the steps after it, one in the description only by
    // &imgFile&; markup stays markup.
    store::BookmarkRow odd = bookmark(QStringLiteral("See &urlLink& & &imgFile&"),
        QStringLiteral("https://x.example/?a=1&b=2"),
        QStringLiteral("<b>bold</b> &imgPath& &urlName& &imgFile&"));
    const QString oddPage = pages::descriptionPageText(folder, odd, QStringLiteral("noimagel.gif"));
    EXPECT_EQ(line(oddPage, QStringLiteral("<h3")),
        QStringLiteral("<h3 class=\"siteTitle\"><a>See https://x.example/?a=1&b=2 & "
                       "noimagel.gif</a></h3>"));
    EXPECT_EQ(descriptionLine(oddPage),
        QStringLiteral("<br><b>bold</b> &imgPath& &urlName& noimagel.gif<p></p>"));

    // A Null description leaves the line empty.
    odd.description.clear();
    odd.descriptionIsNull = true;
    EXPECT_EQ(descriptionLine(pages::descriptionPageText(folder, odd, QStringLiteral("x"))),
        QStringLiteral("<br><p></p>"));
}

TEST(DescriptionPage, WritesAssetsOnceAndRestoresDeletedOnes)
{
    int yields = 0;
    pages::DescriptionPageWriter writer([&yields] { ++yields; });
    ASSERT_TRUE(writer.preparePage(bookmark(QStringLiteral("A"), QStringLiteral("a"))));
    EXPECT_EQ(htmlFiles(),
        (QStringList {
            "noimagel.gif", "shim.gif", "single_dot_h.gif", "small_bullet.gif", "styles.css"}));
    const QString folder = pages::htmlFolder();
    EXPECT_EQ(fileBytes(folder + "/styles.css"), pages::resourceBytes(Resource::StyleSheet));
    EXPECT_EQ(fileBytes(folder + "/noimagel.gif"), pages::resourceBytes(Resource::NoImagePicture));
    EXPECT_EQ(yields, 2); // after the assets, after the missing no-image picture

    // Existing files stay as they are; a deleted style sheet comes back.
    {
        QFile shim(folder + "/shim.gif");
        ASSERT_TRUE(shim.open(QIODevice::WriteOnly));
        shim.write("mine");
    }
    ASSERT_TRUE(QFile::remove(folder + "/styles.css"));
    ASSERT_TRUE(writer.preparePage(bookmark(QStringLiteral("B"), QStringLiteral("b"))));
    EXPECT_EQ(fileBytes(folder + "/styles.css"), pages::resourceBytes(Resource::StyleSheet));
    EXPECT_EQ(fileBytes(folder + "/shim.gif"), QByteArray("mine"));
}

TEST(DescriptionPage, ThumbnailsAlternateBetweenTwoFiles)
{
    pages::DescriptionPageWriter writer;
    const QString folder = pages::htmlFolder();
    auto show = [&](const QByteArray &thumb) {
        const auto page = writer.preparePage(bookmark("N", "l", "d", thumb));
        return page ? line(*page, QStringLiteral("<img")).section(QLatin1Char('\\'), 1, 1)
                    : QStringLiteral("failed");
    };
    const QByteArray jpegs[] = {"first", "second", "third"};
    EXPECT_TRUE(show(jpegs[0]).startsWith(QStringLiteral("image2.jpg\"")));
    EXPECT_TRUE(htmlFiles().contains(QStringLiteral("image2.jpg")));
    EXPECT_FALSE(htmlFiles().contains(QStringLiteral("image1.jpg")));
    EXPECT_EQ(fileBytes(folder + "/image2.jpg"), jpegs[0]);

    // No thumbnail in between: neither the files nor the toggle change.
    EXPECT_TRUE(show(QByteArray()).startsWith(QStringLiteral("noimagel.gif\"")));
    EXPECT_TRUE(htmlFiles().contains(QStringLiteral("image2.jpg")));
    EXPECT_TRUE(writer.nextThumbnailIsFirst());

    EXPECT_TRUE(show(jpegs[1]).startsWith(QStringLiteral("image1.jpg\"")));
    EXPECT_FALSE(htmlFiles().contains(QStringLiteral("image2.jpg")));
    EXPECT_EQ(fileBytes(folder + "/image1.jpg"), jpegs[1]);

    EXPECT_TRUE(show(jpegs[2]).startsWith(QStringLiteral("image2.jpg\"")));
    EXPECT_FALSE(htmlFiles().contains(QStringLiteral("image1.jpg")));
    EXPECT_EQ(fileBytes(folder + "/image2.jpg"), jpegs[2]);

    // A thumbnail field holding 0 bytes shows the no-image picture.
    EXPECT_TRUE(show(QByteArray("", 0)).startsWith(QStringLiteral("noimagel.gif\"")));
    EXPECT_TRUE(writer.nextThumbnailIsFirst());
}

TEST(DescriptionPage, GivesUpSilentlyWhenFilesCannotBeWritten)
{
    // A file where the html folder should be.
    QFile blocker(pages::htmlFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    pages::DescriptionPageWriter writer;
    EXPECT_FALSE(writer.preparePage(bookmark("N", "l")));

    // A folder where the thumbnail should be written.
    const QString elsewhere = common::homePath(QStringLiteral("other"));
    pages::DescriptionPageWriter other({}, elsewhere);
    ASSERT_TRUE(QDir().mkpath(elsewhere + "/image2.jpg/inside"));
    EXPECT_FALSE(other.preparePage(bookmark("N", "l", "d", "jpeg")));
}

TEST(DescriptionPage, ALaterRefreshTakesOver)
{
    // A selection handled while the first refresh lets events run wins;
    // the first then shows nothing.
    std::optional<QString> inner;
    pages::DescriptionPageWriter *self = nullptr;
    bool nested = false;
    pages::DescriptionPageWriter writer([&] {
        if (nested)
            return;
        nested = true;
        inner = self->preparePage(bookmark(QStringLiteral("Second"), "b", "d", "jpeg2"));
    });
    self = &writer;
    const auto outer = writer.preparePage(bookmark(QStringLiteral("First"), "a", "d", "jpeg1"));
    EXPECT_FALSE(outer);
    ASSERT_TRUE(inner);
    EXPECT_TRUE(inner->contains(QStringLiteral("<a>Second</a>")));
    EXPECT_EQ(htmlFiles().filter(QStringLiteral("image")), QStringList {"image2.jpg"});
    EXPECT_EQ(fileBytes(pages::htmlFolder() + "/image2.jpg"), QByteArray("jpeg2"));
}

TEST(DescriptionPage, PaneLoadsOnlyItsOwnFiles)
{
    const QString folder = QStringLiteral("/home/u/q/html");
    EXPECT_TRUE(pages::paneMayLoad(QUrl("data:text/html;charset=UTF-8,%3Chtml%3E"), folder));
    EXPECT_TRUE(pages::paneMayLoad(QUrl("about:blank"), folder));
    EXPECT_TRUE(pages::paneMayLoad(QUrl("file:///home/u/q/html/styles.css"), folder));
    EXPECT_TRUE(pages::paneMayLoad(QUrl("file:///home/u/q/html/"), folder));

    EXPECT_FALSE(pages::paneMayLoad(QUrl("file:///home/u/q/html2/a.css"), folder));
    EXPECT_FALSE(pages::paneMayLoad(QUrl("file:///home/u/q/html/../secret.jpg"), folder));
    EXPECT_FALSE(pages::paneMayLoad(QUrl("file:///etc/passwd"), folder));
    EXPECT_FALSE(pages::paneMayLoad(QUrl("file://server/home/u/q/html/a.gif"), folder));
    EXPECT_FALSE(pages::paneMayLoad(QUrl("http://example.org/a.png"), folder));
    EXPECT_FALSE(pages::paneMayLoad(QUrl("https://example.org/"), folder));
    EXPECT_FALSE(pages::paneMayLoad(QUrl("about:srcdoc"), folder));

    EXPECT_TRUE(pages::paneLinkOpensInBrowser(QUrl("http://example.org/")));
    EXPECT_TRUE(pages::paneLinkOpensInBrowser(QUrl("https://example.org/")));
    EXPECT_FALSE(pages::paneLinkOpensInBrowser(QUrl("file:///etc/passwd")));
    EXPECT_FALSE(pages::paneLinkOpensInBrowser(QUrl("javascript:alert(1)")));
}
