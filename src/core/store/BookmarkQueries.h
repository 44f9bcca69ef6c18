// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkRow.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quillet::store {

class Database;

// Where the find window looks for its text.
enum class FindScope
{
    All, // name, link and description joined, Null as empty
    Names,
    Links,
    Descriptions
};

// A live row as the find and duplicate windows list it.
struct FoundBookmark
{
    qint64 id = 0;
    RowState state = RowState::Committed;
    QString headingKey;
    QString key;
    QString name;
    QString link;
};

// Read-only searches over tbItems that span every heading. Texts compare as
// the engine's do: letter case, accented letters included, does not count.
class BookmarkQueries
{
public:
    explicit BookmarkQueries(Database &db)
        : m_db(db)
    {
    }

    // Live rows whose scope matches `*text*` with the engine's Like, so the
    // user's * ? # [..] [!..] work as wildcards. The text is bound, never
    // pasted into the statement. Stored order.
    std::vector<FoundBookmark> find(FindScope scope, const QString &text) const;

    // Links held by more than one live row (Null links never), one spelling
    // of each, in the engine's link order.
    QStringList duplicatedLinks() const;
    // The live rows holding `link` in any letter case, in stored order.
    std::vector<FoundBookmark> liveRowsWithLink(const QString &link) const;

    // Row `id` when it is still live.
    std::optional<FoundBookmark> liveRow(qint64 id) const;

private:
    Database &m_db;
};

} // namespace quillet::store
