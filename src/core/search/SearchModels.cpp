// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/SearchModels.h"

#include <QColor>
#include <algorithm>

namespace quillet::search {

FindResultsModel::FindResultsModel(QObject *parent)
    : TwoColumnModel("Name", "URL", parent)
{
}

QVariant FindResultsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const store::FoundBookmark &hit = at(index.row());
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? hit.name : hit.link;
    if (role == Qt::DecorationRole && index.column() == 0 && !m_icon.isNull())
        return m_icon;
    return {};
}

DuplicatesModel::DuplicatesModel(QObject *parent)
    : TwoColumnModel("Duplicates", "Category", parent)
{
}

void DuplicatesModel::removeLines(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Bottom up, in runs of neighbours, so earlier rows keep their numbers.
    for (qsizetype i = rows.size() - 1; i >= 0;) {
        const int last = rows[i];
        int first = last;
        while (i > 0 && rows[i - 1] == first - 1)
            first = rows[--i];
        --i;
        if (first < 0 || last >= count())
            continue;
        beginRemoveRows({}, first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
    }
}

QVariant DuplicatesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const DuplicateLine &line = at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? line.text : line.category;
    case Qt::ForegroundRole:
        if (line.group)
            return QColor(0, 0, 255);
        break;
    case Qt::DecorationRole:
        if (line.group && index.column() == 0 && !m_icon.isNull())
            return m_icon;
        break;
    default:
        break;
    }
    return {};
}

} // namespace quillet::search
