// SPDX-License-Identifier: GPL-3.0-or-later
// The description pane's page: the template with its placeholders replaced
// one after another over the whole text, against a plain reference; and the
// pane's load filter, which must never let a file outside its folder in.
#include "core/pages/DescriptionPage.h"
#include "core/pages/PageResources.h"
#include "core/pages/RichTextPage.h"

#include <QDir>
#include <QUrl>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

using namespace quillet;

namespace {

// Every occurrence of `from`, left to right, not overlapping.
QString replaceAll(const QString &text, const QString &from, const QString &to)
{
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.size() - i >= from.size() && QStringView(text).mid(i, from.size()) == from) {
            out += to;
            i += from.size();
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

QString text(FuzzedDataProvider &fdp, size_t max)
{
    return QString::fromStdString(fdp.ConsumeRandomLengthString(max));
}

// The link as shown, by the rule written out by hand: letters, digits, "+",
// "." and "-" after a first letter, then a colon not followed by a digit,
// make a scheme; a link without one gets "http://"; an empty one stays so.
QString shownLink(const QString &link)
{
    if (link.isEmpty())
        return link;
    auto isLetter = [](QChar c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    qsizetype i = 0;
    if (isLetter(link[0])) {
        i = 1;
        while (i < link.size()
            && (isLetter(link[i]) || (link[i] >= '0' && link[i] <= '9') || link[i] == '+'
                || link[i] == '.' || link[i] == '-'))
            ++i;
        const bool digitAfter = i + 1 < link.size() && link[i + 1] >= '0' && link[i + 1] <= '9';
        if (i < link.size() && link[i] == ':' && !digitAfter)
            return link;
    }
    return "http://" + link;
}

// A path relative to the folder that leaves it ("..lll" is a name inside).
bool isOutside(const QString &relative)
{
    return relative == QLatin1String("..") || relative.startsWith(QLatin1String("../"))
        || QDir::isAbsolutePath(relative);
}

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "Description page fault: %s: %s\n", what, detail.toStdString().c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString page = pages::resourceText(pages::Resource::DescriptionTemplate);
    FuzzedDataProvider fdp(data, size);
    const QString folder = text(fdp, 40);
    store::BookmarkRow row;
    row.name = text(fdp, 80);
    row.link = text(fdp, 80);
    row.description = text(fdp, 200);
    row.descriptionIsNull = fdp.ConsumeBool();
    const QString image = text(fdp, 20);
    const QString url = QString::fromStdString(fdp.ConsumeRemainingBytesAsString());

    QString expected = replaceAll(page, "&imgPath&", QDir::toNativeSeparators(folder));
    expected = replaceAll(expected, "&urlName&", row.name);
    expected = replaceAll(expected, "&urlLink&", shownLink(row.link));
    expected
        = replaceAll(expected, "&urlDescrip&", row.descriptionIsNull ? QString() : row.description);
    expected = replaceAll(expected, "&imgFile&", image);
    if (pages::descriptionPageText(folder, row, image) != expected)
        fail("page differs", row.name + " | " + row.link + " | " + row.description);

    // The load filter: a local file it lets in lies inside the folder.
    const QString root = QStringLiteral("/tmp/quillet-fuzz/html");
    const QUrl target(url);
    if (pages::paneMayLoad(target, root) && target.isLocalFile()) {
        const QString relative = QDir(root).relativeFilePath(target.toLocalFile());
        if (isOutside(relative))
            fail("loads a file outside the folder", url);
    }
    // The rich-text view's loader: the same, for the names a page gives it.
    const QString file = pages::paneResourceFile(target, root);
    if (!file.isEmpty()) {
        const QString relative = QDir(root).relativeFilePath(file);
        if (isOutside(relative) || relative == QLatin1String("."))
            fail("reads a file outside the folder", url);
    }
    return 0;
}
