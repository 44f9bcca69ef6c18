// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkQueries.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <vector>

namespace quillet::search {

// A two-column list of rows of type Row, replaced whole by each search.
template<typename Row> class TwoColumnModel : public QAbstractTableModel
{
public:
    int count() const { return static_cast<int>(m_rows.size()); }
    const Row &at(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    // Replaces every row at once (one reset, however many).
    void setRows(std::vector<Row> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    void clear() { setRows({}); }
    // The small picture of the rows that show one.
    void setIcon(const QIcon &icon) { m_icon = icon; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : count();
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 1)
            return {};
        return QString::fromLatin1(m_headers[static_cast<size_t>(section)]);
    }

protected:
    TwoColumnModel(const char *first, const char *second, QObject *parent)
        : QAbstractTableModel(parent)
        , m_headers {first, second}
    {
    }

    std::vector<Row> m_rows;
    QIcon m_icon;

private:
    std::array<const char *, 2> m_headers;
};

// The find window's hits: "Name" and "URL", each hit remembering its heading.
class FindResultsModel : public TwoColumnModel<store::FoundBookmark>
{
public:
    explicit FindResultsModel(QObject *parent = nullptr);
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

// One line of the duplicate window: a link shared by several bookmarks, or
// one of those bookmarks under it.
struct DuplicateLine
{
    bool group = false;
    QString text; // a blank, then the link (group) or the name (member)
    QString category; // a member's heading path
    QString tag; // "0" for a group, else the member's heading key, trimmed
    QString link;
    qint64 id = 0; // a member's row
};

// The duplicate window's list: each group line followed by its members.
class DuplicatesModel : public TwoColumnModel<DuplicateLine>
{
public:
    explicit DuplicatesModel(QObject *parent = nullptr);
    // Removes the given rows (any order, repeats ignored).
    void removeLines(QList<int> rows);
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

} // namespace quillet::search
