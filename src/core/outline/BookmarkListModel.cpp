// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/BookmarkListModel.h"

#include <algorithm>

namespace quillet::outline {

BookmarkListModel::BookmarkListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int BookmarkListModel::rowOfKey(const QString &key) const
{
    return m_rowByKey.value(key, -1);
}

const QString &BookmarkListModel::text(const BookmarkEntry &entry, int column) const
{
    switch (column) {
    case LinkColumn:
        return entry.link;
    case DateColumn:
        return entry.date;
    default:
        return entry.name;
    }
}

bool BookmarkListModel::lessThan(const BookmarkEntry &a, const BookmarkEntry &b) const
{
    const int c
        = QString::compare(text(a, m_sortColumn), text(b, m_sortColumn), Qt::CaseInsensitive);
    return m_descending ? c > 0 : c < 0;
}

void BookmarkListModel::reindex(int from)
{
    if (from == 0)
        m_rowByKey.clear();
    for (int row = from; row < count(); ++row)
        m_rowByKey.insert(m_entries[static_cast<size_t>(row)].key, row);
}

void BookmarkListModel::sortEntries()
{
    if (!m_sorting)
        return;
    std::stable_sort(m_entries.begin(), m_entries.end(),
        [this](const BookmarkEntry &a, const BookmarkEntry &b) { return lessThan(a, b); });
}

void BookmarkListModel::setEntries(std::vector<BookmarkEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    sortEntries();
    m_rowByKey.reserve(count());
    reindex();
    endResetModel();
}

void BookmarkListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_rowByKey.clear();
    endResetModel();
}

int BookmarkListModel::sortedRowFor(const BookmarkEntry &entry) const
{
    if (!m_sorting)
        return count();
    // After equal entries, as a list inserting one more item would.
    const auto it = std::upper_bound(m_entries.begin(), m_entries.end(), entry,
        [this](const BookmarkEntry &a, const BookmarkEntry &b) { return lessThan(a, b); });
    return static_cast<int>(it - m_entries.begin());
}

int BookmarkListModel::addEntry(const BookmarkEntry &entry)
{
    if (m_rowByKey.contains(entry.key))
        return -1;
    const int row = sortedRowFor(entry);
    beginInsertRows({}, row, row);
    m_entries.insert(m_entries.begin() + row, entry);
    reindex(row);
    endInsertRows();
    return row;
}

void BookmarkListModel::addEntries(std::vector<BookmarkEntry> entries)
{
    if (entries.size() <= 16) {
        for (const BookmarkEntry &entry : entries)
            addEntry(entry);
        return;
    }
    beginResetModel();
    m_entries.reserve(m_entries.size() + entries.size());
    for (BookmarkEntry &entry : entries) {
        if (m_rowByKey.contains(entry.key))
            continue;
        m_rowByKey.insert(entry.key, -1);
        m_entries.push_back(std::move(entry));
    }
    // Stable: equal texts keep listed entries first, then the new ones in
    // their order, as one insertion after another would.
    sortEntries();
    reindex();
    endResetModel();
}

int BookmarkListModel::updateEntry(const QString &key, const BookmarkEntry &entry)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return -1;
    removeKey(key);
    return addEntry(entry);
}

bool BookmarkListModel::removeKey(const QString &key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return false;
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    m_rowByKey.remove(key);
    reindex(row);
    endRemoveRows();
    return true;
}

void BookmarkListModel::clickColumn(int column)
{
    if (column < 0 || column >= ColumnCount)
        return;
    QString &tag = m_tags[static_cast<size_t>(column)];
    // A click on the sort column flips its remembered direction.
    if (m_sorting && column == m_sortColumn) {
        const int value = tag.toInt();
        tag = QString::number(~value);
    }
    if (tag.isEmpty())
        tag = QStringLiteral("0");
    m_descending = std::abs(tag.toInt()) != 0;
    m_sortColumn = column;
    m_sorting = true;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QStringList keys;
    keys.reserve(before.size());
    for (const QModelIndex &index : before)
        keys << m_entries[static_cast<size_t>(index.row())].key;
    sortEntries();
    reindex();
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after << index(rowOfKey(keys.at(i)), before.at(i).column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT sortChanged(m_sortColumn, sortOrder());
}

int BookmarkListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int BookmarkListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookmarkListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const BookmarkEntry &e = m_entries[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return text(e, index.column());
    if (role == KeyRole)
        return e.key;
    return {};
}

QVariant BookmarkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case LinkColumn:
        return QStringLiteral("Link");
    case DateColumn:
        return QStringLiteral("Date");
    default:
        return {};
    }
}

Qt::ItemFlags BookmarkListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

} // namespace quillet::outline
