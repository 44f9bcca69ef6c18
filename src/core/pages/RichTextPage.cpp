// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/RichTextPage.h"

#include "core/pages/DescriptionPage.h"

#include <QDir>

namespace quillet::pages {

QString paneResourceFile(const QUrl &name, const QString &folder)
{
    if (!name.scheme().isEmpty() && name.scheme() != QLatin1String("file"))
        return QString();
    if (!name.host().isEmpty())
        return QString();
    QString path = name.path(QUrl::FullyDecoded);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.isEmpty())
        return QString();
    if (QDir::isRelativePath(path))
        path = folder + QLatin1Char('/') + path;
    path = QDir::cleanPath(path);
    if (path == QDir::cleanPath(folder) || !paneMayLoad(QUrl::fromLocalFile(path), folder))
        return QString();
    return path;
}

namespace {

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')
        || c == QLatin1Char(':');
}

// At `i` (just after "<"): "table" or "/table" as a whole tag name; the
// length of the text matched, 0 for any other tag.
qsizetype tableTagAt(const QString &page, qsizetype i, bool *closing)
{
    *closing = i < page.size() && page.at(i) == QLatin1Char('/');
    const qsizetype nameStart = i + (*closing ? 1 : 0);
    static const QLatin1String kTable("table");
    if (QStringView(page).mid(nameStart, kTable.size()).compare(kTable, Qt::CaseInsensitive) != 0)
        return 0;
    const qsizetype end = nameStart + kTable.size();
    if (end < page.size() && isNameCharacter(page.at(end)))
        return 0;
    return end - i;
}

} // namespace

QString flattenDeepTables(const QString &page, int deepest)
{
    QString out;
    int depth = 0;
    qsizetype copied = 0;
    for (qsizetype i = page.indexOf(QLatin1Char('<')); i >= 0;
         i = page.indexOf(QLatin1Char('<'), i + 1)) {
        bool closing = false;
        const qsizetype length = tableTagAt(page, i + 1, &closing);
        if (length == 0)
            continue;
        const bool tooDeep = closing ? depth > deepest : ++depth > deepest;
        if (closing && depth > 0)
            --depth;
        if (!tooDeep)
            continue;
        if (out.isEmpty())
            out.reserve(page.size());
        out += QStringView(page).mid(copied, i + 1 - copied);
        out += closing ? QLatin1String("/div") : QLatin1String("div");
        copied = i + 1 + length;
    }
    if (copied == 0)
        return page;
    out += QStringView(page).mid(copied);
    return out;
}

} // namespace quillet::pages
