// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/LinkCheckModel.h"

#include <QColor>
#include <algorithm>

namespace quillet::links {

LinkCheckModel::LinkCheckModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void LinkCheckModel::reset(BookmarksToCheck bookmarks, Results results)
{
    beginResetModel();
    m_list = std::move(bookmarks);
    m_results = std::move(results);
    m_replaced.clear();
    m_checkedLinks = static_cast<int>(m_list.links.size());
    m_headingPaths.clear();
    for (const CheckedHeading &heading : m_list.headings)
        m_headingPaths << heading.titles.join(QLatin1Char('\\'));
    indexRowsByLink();
    m_counts = {};
    m_counts[static_cast<size_t>(Verdict::Unchecked)] = count();
    endResetModel();
    Q_EMIT countsChanged();
}

void LinkCheckModel::indexRowsByLink()
{
    // Rows grouped by link (a counting sort), so that a result reaches all
    // the bookmarks of its link without a search.
    m_firstOfLink.assign(static_cast<size_t>(m_checkedLinks) + 1, 0);
    for (const BookmarkToCheck &row : m_rows) {
        if (row.link < m_checkedLinks)
            ++m_firstOfLink[static_cast<size_t>(row.link) + 1];
    }
    for (size_t i = 1; i < m_firstOfLink.size(); ++i)
        m_firstOfLink[i] += m_firstOfLink[i - 1];
    m_rowsOfLink.assign(static_cast<size_t>(m_firstOfLink.back()), 0);
    std::vector<int> next(m_firstOfLink.begin(), m_firstOfLink.end() - 1);
    for (int row = 0; row < count(); ++row) {
        const int link = m_rows[static_cast<size_t>(row)].link;
        if (link < m_checkedLinks)
            m_rowsOfLink[static_cast<size_t>(next[static_cast<size_t>(link)]++)] = row;
    }
}

const LinkResult &LinkCheckModel::resultOfLink(int link) const
{
    if (link >= m_checkedLinks)
        return m_replaced.at(static_cast<size_t>(link - m_checkedLinks));
    return m_results(link);
}

void LinkCheckModel::addToCounts(int row, int sign)
{
    const Verdict verdict = resultOfLink(m_rows[static_cast<size_t>(row)].link).verdict;
    m_counts[static_cast<size_t>(verdict)] += sign;
}

void LinkCheckModel::linkChecked(int link)
{
    if (link < 0 || link >= m_checkedLinks)
        return;
    const int first = m_firstOfLink[static_cast<size_t>(link)];
    const int end = m_firstOfLink[static_cast<size_t>(link) + 1];
    if (first == end)
        return;
    const Verdict verdict = m_results(link).verdict;
    m_counts[static_cast<size_t>(Verdict::Unchecked)] -= end - first;
    m_counts[static_cast<size_t>(verdict)] += end - first;
    for (int i = first; i < end; ++i) {
        const int row = m_rowsOfLink[static_cast<size_t>(i)];
        Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }
    Q_EMIT countsChanged();
}

QString LinkCheckModel::headingKey(int row) const
{
    return m_list.headings.at(static_cast<size_t>(m_rows.at(static_cast<size_t>(row)).heading)).key;
}

QString LinkCheckModel::headingPath(int row) const
{
    return m_headingPaths.at(m_rows.at(static_cast<size_t>(row)).heading);
}

QString LinkCheckModel::link(int row) const
{
    return m_list.links.at(m_rows.at(static_cast<size_t>(row)).link);
}

LinkResult LinkCheckModel::result(int row) const
{
    return resultOfLink(m_rows.at(static_cast<size_t>(row)).link);
}

void LinkCheckModel::removeBookmarkRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (int row : rows) {
        if (row < 0 || row >= count())
            continue;
        addToCounts(row, -1);
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
        removed = true;
    }
    if (!removed)
        return;
    indexRowsByLink();
    Q_EMIT countsChanged();
}

void LinkCheckModel::useNewLink(int row, qint64 newId, const QString &newLink)
{
    if (row < 0 || row >= count())
        return;
    addToCounts(row, -1);
    BookmarkToCheck &bookmark = m_rows[static_cast<size_t>(row)];
    bookmark.id = newId;
    // A link of its own: the other bookmarks of the old link keep theirs.
    bookmark.link = static_cast<int>(m_list.links.size());
    m_list.links << newLink;
    m_replaced.push_back({Verdict::Ok, QStringLiteral("new link in use"), {}});
    addToCounts(row, +1);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    Q_EMIT countsChanged();
}

QString LinkCheckModel::resultText(const LinkResult &result)
{
    switch (result.verdict) {
    case Verdict::Ok:
        return result.detail.isEmpty() ? QStringLiteral("OK")
                                       : QStringLiteral("OK: ") + result.detail;
    case Verdict::Moved:
        return QStringLiteral("Moved \u2192 ") + result.newLink;
    case Verdict::Dead:
        return QStringLiteral("Dead: ") + result.detail;
    case Verdict::Skipped:
        return QStringLiteral("Skipped: ") + result.detail;
    case Verdict::Unchecked:
        break;
    }
    return {};
}

int LinkCheckModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int LinkCheckModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LinkCheckModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const int row = index.row();
    if (role == ProblemRole) {
        const Verdict verdict = result(row).verdict;
        return verdict == Verdict::Moved || verdict == Verdict::Dead;
    }
    if (role == Qt::ForegroundRole && index.column() == ResultColumn) {
        switch (result(row).verdict) {
        case Verdict::Dead:
            return QColor(176, 0, 0);
        case Verdict::Moved:
            return QColor(160, 96, 0);
        default:
            return {};
        }
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        return name(row);
    case HeadingColumn:
        return headingPath(row);
    case LinkColumn:
        return link(row);
    case ResultColumn:
        return resultText(result(row));
    default:
        return {};
    }
}

QVariant LinkCheckModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case HeadingColumn:
        return QStringLiteral("Heading");
    case LinkColumn:
        return QStringLiteral("Link");
    case ResultColumn:
        return QStringLiteral("Result");
    default:
        return {};
    }
}

} // namespace quillet::links
