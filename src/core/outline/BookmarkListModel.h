// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <array>
#include <vector>

namespace quillet::outline {

// One line of the bookmark list.
struct BookmarkEntry
{
    QString key; // the row's lKey, unique in the list
    QString name; // urlName
    QString link; // urlLink
    QString date; // urlDate, "yyyy-MM-dd"
};

// The bookmarks of the listed heading, in display order, with the list's
// sorting: a sort column and order, and per column the direction of its last
// sort ("0" ascending, "-1" descending, empty counts as "0").
class BookmarkListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        NameColumn = 0,
        LinkColumn = 1,
        DateColumn = 2,
        ColumnCount = 3
    };
    enum Role
    {
        KeyRole = Qt::UserRole + 1
    };

    explicit BookmarkListModel(QObject *parent = nullptr);

    int count() const { return static_cast<int>(m_entries.size()); }
    const BookmarkEntry &entry(int row) const { return m_entries.at(static_cast<size_t>(row)); }
    int rowOfKey(const QString &key) const;
    bool containsKey(const QString &key) const { return m_rowByKey.contains(key); }

    // Replaces every entry at once (one reset, no per-row signals).
    void setEntries(std::vector<BookmarkEntry> entries);
    void clear();
    // Adds one entry at its sorted place (at the end when sorting is off);
    // false when the key is already listed.
    int addEntry(const BookmarkEntry &entry);
    // Adds many entries at once, each at its sorted place (one reset for a
    // large batch instead of a signal and a re-index per entry). Entries
    // whose key is listed already are skipped.
    void addEntries(std::vector<BookmarkEntry> entries);
    // Changes the texts of a listed entry and moves it to its sorted place.
    int updateEntry(const QString &key, const BookmarkEntry &entry);
    bool removeKey(const QString &key);

    // Sorting: a click on the header of column `column` (zero-based).
    void clickColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const
    {
        return m_descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    bool sortingOn() const { return m_sorting; }
    QString columnTag(int column) const { return m_tags.at(static_cast<size_t>(column)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void sortChanged(int column, Qt::SortOrder order);

private:
    const QString &text(const BookmarkEntry &entry, int column) const;
    bool lessThan(const BookmarkEntry &a, const BookmarkEntry &b) const;
    int sortedRowFor(const BookmarkEntry &entry) const;
    void sortEntries();
    void reindex(int from = 0);

    std::vector<BookmarkEntry> m_entries;
    QHash<QString, int> m_rowByKey;
    int m_sortColumn = 0;
    bool m_descending = false;
    bool m_sorting = true;
    std::array<QString, 3> m_tags;
};

} // namespace quillet::outline
