// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace quillet::store {
class Database;
class Recordset;
} // namespace quillet::store

namespace quillet::outline {
class Workspace;
}

namespace quillet::bench {

// Appends one tbNodes row to an open tbNodes recordset.
void addNodeRow(store::Recordset &nodes, const QString &parent, const QString &title,
    const QString &key, int image = 1, int expandedImage = 2);

// A new document at `path` (an old file there is removed), open, with
// `headings` headings: the root heading "kRoot", then K1, K2, ... four under
// each heading in turn. `keys` receives the headings' keys in that order.
std::unique_ptr<store::Database> documentOfHeadings(
    const QString &path, int headings, QStringList &keys);

// Adds one tbItems row dated 2024-05-17: ?1 heading key, ?2 list key,
// ?3 name, ?4 link, ?5 description.
extern const char kInsertBookmark[];

// A folder for benchmark files that lives as long as the process.
QString benchFolder();

// A closed document with `bookmarks` rows spread over `headings` headings
// (nested up to depth 8), made once per process and reused. The root heading
// holds the first 10,000 bookmarks (the largest list); the rest are spread
// evenly. Names, links and descriptions are varied texts; one in 1000 rows
// holds the word "needle" and one in 50 shares its link with another row.
// `pending` makes every even row added (1) and every odd row deleted (-1)
// instead of committed.
QString documentWith(int headings, int bookmarks, bool pending = false);

// Opens a fresh copy of `source`, written to `work`, as the workspace's
// document: each timed run starts from the same file.
void openFreshCopy(outline::Workspace &workspace, const QString &source, const QString &work);

} // namespace quillet::bench
