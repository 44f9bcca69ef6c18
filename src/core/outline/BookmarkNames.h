// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <set>

namespace quillet::store {
class Database;
}

namespace quillet::outline {

// True when a bookmark of that name, not deleted, sits under the heading.
// Names compare as the engine compares text: letter case does not count.
bool bookmarkNameExists(store::Database &db, const QString &name, const QString &headingKey);

// The first of name + " #1", name + " #2", ... that no bookmark under the
// heading carries. The number is always added.
QString uniqueBookmarkName(store::Database &db, const QString &name, const QString &headingKey);

// The names of one heading's bookmarks, read once, for many clash tests in a
// row: one query instead of one per candidate name.
class BookmarkNameSet
{
public:
    // The names of the heading's bookmarks that are not deleted.
    static BookmarkNameSet read(store::Database &db, const QString &headingKey);

    bool contains(const QString &name) const;
    // A name taken meanwhile (a bookmark pasted into the heading).
    void insert(const QString &name);
    int size() const { return static_cast<int>(m_names.size()); }
    // As uniqueBookmarkName, against the names held here.
    QString uniqueName(const QString &name) const;

private:
    // The engine's text order, so that "equal" here is "=" in the database.
    struct EngineOrder
    {
        bool operator()(const QByteArray &a, const QByteArray &b) const;
    };
    std::set<QByteArray, EngineOrder> m_names;
};

} // namespace quillet::outline
