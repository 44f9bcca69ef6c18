// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/BookmarkQueries.h"

#include "core/store/Statement.h"

namespace quillet::store {

namespace {

const QString kFoundColumns = QStringLiteral("ID, delFlag, tKey, lKey, urlName, urlLink");

FoundBookmark readFound(const Statement &s)
{
    return {s.integer(0), static_cast<RowState>(s.integer(1)), s.text(2), s.text(3), s.text(4),
        s.text(5)};
}

QString scopeExpression(FindScope scope)
{
    switch (scope) {
    case FindScope::All:
        return QStringLiteral(
            "(ifnull(urlName, '') || ifnull(urlLink, '') || ifnull(urlDescrip, ''))");
    case FindScope::Names:
        return QStringLiteral("urlName");
    case FindScope::Links:
        return QStringLiteral("urlLink");
    case FindScope::Descriptions:
        return QStringLiteral("urlDescrip");
    }
    return QStringLiteral("urlName");
}

} // namespace

std::vector<FoundBookmark> BookmarkQueries::find(FindScope scope, const QString &text) const
{
    Statement s(m_db,
        QStringLiteral("SELECT ") + kFoundColumns
            + QStringLiteral(" FROM tbItems WHERE delFlag <> -1 AND ") + scopeExpression(scope)
            + QStringLiteral(" LIKE ?1 ORDER BY ID"));
    s.bind(1, QLatin1Char('*') + text + QLatin1Char('*'));
    std::vector<FoundBookmark> rows;
    while (s.next())
        rows.push_back(readFound(s));
    return rows;
}

QStringList BookmarkQueries::duplicatedLinks() const
{
    // Read from the index on (urlLink, delFlag) alone; liveRowsWithLink()
    // then looks each link up there instead of scanning the table.
    Statement s(m_db,
        QStringLiteral("SELECT urlLink FROM tbItems WHERE delFlag <> -1 "
                       "GROUP BY urlLink HAVING count(urlLink) > 1"));
    QStringList links;
    while (s.next())
        links << s.text(0);
    return links;
}

std::vector<FoundBookmark> BookmarkQueries::liveRowsWithLink(const QString &link) const
{
    static const QString sql = QStringLiteral("SELECT ") + kFoundColumns
        + QStringLiteral(" FROM tbItems WHERE urlLink = ?1 AND delFlag <> -1 ORDER BY ID");
    Statement s(m_db, sql);
    s.bind(1, link);
    std::vector<FoundBookmark> rows;
    while (s.next())
        rows.push_back(readFound(s));
    return rows;
}

std::optional<FoundBookmark> BookmarkQueries::liveRow(qint64 id) const
{
    Statement s(m_db,
        QStringLiteral("SELECT ") + kFoundColumns
            + QStringLiteral(" FROM tbItems WHERE ID = ?1 AND delFlag <> -1"));
    s.bind(1, id);
    if (!s.next())
        return std::nullopt;
    return readFound(s);
}

} // namespace quillet::store
