// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cli/BookmarkLines.h"

#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingWalk.h"
#include "core/outline/Workspace.h"
#include "core/search/BookmarkFinder.h"
#include "core/store/BookmarkTable.h"

#include <QHash>
#include <QStringList>

namespace quillet::cli {

namespace {

// C0 and C1 controls and DEL: a terminal would act on them.
bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void appendPrintable(QString &out, QChar c)
{
    if (!isControl(c.unicode())) {
        out += c;
        return;
    }
    static const char kDigits[] = "0123456789ABCDEF";
    out += QLatin1String("\\x");
    out += QLatin1Char(kDigits[c.unicode() >> 4]);
    out += QLatin1Char(kDigits[c.unicode() & 0xF]);
}

BookmarkLine lineOf(const QString &path, const store::BookmarkRow &row)
{
    return {path, row.name, row.link, row.date, row.description};
}

} // namespace

QString escapeControls(const QString &text)
{
    QString printable;
    printable.reserve(text.size());
    for (const QChar c : text)
        appendPrintable(printable, c);
    return printable;
}

QString escapeField(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            appendPrintable(escaped, c);
        }
    }
    return escaped;
}

QString headingPath(const outline::HeadingNode *node)
{
    QStringList titles;
    for (; node; node = node->parent)
        titles.prepend(escapeField(node->title).replace(QLatin1Char('/'), QLatin1String("\\/")));
    return titles.join(QLatin1Char('/'));
}

QString formatLine(const BookmarkLine &line)
{
    return line.headingPath + QLatin1Char('\t') + escapeField(line.name) + QLatin1Char('\t')
        + escapeField(line.link) + QLatin1Char('\t') + escapeField(line.date) + QLatin1Char('\t')
        + escapeField(line.description);
}

std::vector<BookmarkLine> listBookmarks(outline::Workspace &workspace)
{
    store::Database *db = workspace.document().database();
    if (!db)
        return {};
    std::vector<const outline::HeadingNode *> headings;
    for (outline::HeadingWalk walk(workspace.tree().topLevel()); walk.next();)
        headings.push_back(walk.node());
    // One pass over the table (it has no index on tKey); keys compare as the
    // engine's do, without regard to case.
    QHash<QString, size_t> slotOfKey;
    for (size_t i = 0; i < headings.size(); ++i)
        slotOfKey.insert(headings[i]->key.toCaseFolded(), i);
    std::vector<std::vector<store::BookmarkRow>> rowsOf(headings.size());
    for (store::BookmarkRow &row : store::BookmarkTable(*db).allLiveRows()) {
        const auto slot = slotOfKey.constFind(row.headingKey.toCaseFolded());
        if (slot != slotOfKey.constEnd())
            rowsOf[*slot].push_back(std::move(row));
    }
    std::vector<BookmarkLine> lines;
    for (size_t i = 0; i < headings.size(); ++i) {
        if (rowsOf[i].empty())
            continue;
        const QString path = headingPath(headings[i]);
        for (const store::BookmarkRow &row : rowsOf[i])
            lines.push_back(lineOf(path, row));
    }
    return lines;
}

std::vector<BookmarkLine> findBookmarks(outline::Workspace &workspace, const QString &text)
{
    store::Database *db = workspace.document().database();
    if (!db)
        return {};
    search::BookmarkFinder finder(workspace);
    finder.find(text, 0); // "All"
    const search::FindResultsModel &hits = finder.results();
    if (hits.count() == 0)
        return {};
    // The window shows name and link; the other columns come from the rows.
    QHash<qint64, store::BookmarkRow> rowOfId;
    for (store::BookmarkRow &row : store::BookmarkTable(*db).allLiveRows())
        rowOfId.insert(row.id, std::move(row));
    std::vector<BookmarkLine> lines;
    for (int i = 0; i < hits.count(); ++i) {
        const store::FoundBookmark &hit = hits.at(i);
        const QString path = headingPath(workspace.tree().findByKey(hit.headingKey));
        const auto row = rowOfId.constFind(hit.id);
        lines.push_back(row != rowOfId.constEnd()
                ? lineOf(path, *row)
                : BookmarkLine {path, hit.name, hit.link, {}, {}});
    }
    return lines;
}

} // namespace quillet::cli
