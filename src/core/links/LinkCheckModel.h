// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/links/BookmarksToCheck.h"
#include "core/links/LinkResult.h"

#include <QAbstractTableModel>
#include <array>
#include <functional>
#include <vector>

namespace quillet::links {

// The rows of the link check window: one per bookmark checked, with its
// name, heading path, link and result. Results are looked up by link, so a
// link shared by many bookmarks is held once.
class LinkCheckModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        NameColumn = 0,
        HeadingColumn,
        LinkColumn,
        ResultColumn,
        ColumnCount
    };
    enum Role
    {
        ProblemRole = Qt::UserRole + 1 // true for rows that are not OK (unchecked ones are not)
    };
    using Results = std::function<const LinkResult &(int link)>;

    explicit LinkCheckModel(QObject *parent = nullptr);

    // New rows; `results` answers the result of a link of `bookmarks`.
    void reset(BookmarksToCheck bookmarks, Results results);
    // Link `link` has its result: its rows show it and the counts follow.
    void linkChecked(int link);

    int count() const { return static_cast<int>(m_rows.size()); }
    int count(Verdict verdict) const { return m_counts.at(static_cast<size_t>(verdict)); }
    qint64 bookmarkId(int row) const { return m_rows.at(static_cast<size_t>(row)).id; }
    QString name(int row) const { return m_rows.at(static_cast<size_t>(row)).name; }
    QString headingKey(int row) const;
    QString headingPath(int row) const;
    QString link(int row) const;
    LinkResult result(int row) const;

    // Rows whose bookmarks were deleted leave the list.
    void removeBookmarkRows(QList<int> rows);
    // Row `row` now holds `newLink` as row `newId` (a pending copy of the
    // bookmark): it shows the link and counts as OK.
    void useNewLink(int row, qint64 newId, const QString &newLink);

    static QString resultText(const LinkResult &result);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    void countsChanged();

private:
    void indexRowsByLink();
    void addToCounts(int row, int sign);
    const LinkResult &resultOfLink(int link) const;

    BookmarksToCheck m_list;
    std::vector<BookmarkToCheck> &m_rows = m_list.bookmarks;
    QStringList m_headingPaths;
    Results m_results;
    // Links given to bookmarks by "Use new link", after the checked ones.
    std::vector<LinkResult> m_replaced;
    int m_checkedLinks = 0;
    // The rows of each link: rows m_rowsOfLink[m_firstOfLink[l] .. m_firstOfLink[l + 1]).
    std::vector<int> m_firstOfLink;
    std::vector<int> m_rowsOfLink;
    std::array<int, 5> m_counts {};
};

} // namespace quillet::links
