// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

struct sqlite3;

// The program's SQL texts were written for the Jet engine. This unit gives an
// SQLite connection the parts of Jet's behaviour those texts rely on:
// - text columns declared COLLATE JETTEXT compare, group and sort without
//   regard to letter case (accented letters included: É equals é, é is not e);
// - `X Like 'pattern'` uses Jet wildcards (* ? # [list] [a-z] [!list]) and
//   ignores case the same way;
// - translateSql() rewrites the `&` operator, which treats Null as empty.
namespace quillet::jet {

// Collation every Text and Memo column declares.
inline constexpr char kTextCollation[] = "JETTEXT";

// Registers the collation and the like() replacement on one connection.
// Returns SQLITE_OK or the engine's error code.
int registerDialect(sqlite3 *db);

// Turns a Jet SQL text into SQLite SQL: `a & b & c` becomes
// `(ifnull(a,'') || ifnull(b,'') || ifnull(c,'')) COLLATE JETTEXT` (the
// result is text and compares as Jet text does). The text of literals and
// quoted names is never touched; a text without `&` comes back unchanged.
QString translateSql(const QString &jetSql);

// The JETTEXT order on two UTF-8 texts: <0, 0 or >0. Compares the simple
// case folds code point by code point; invalid bytes order as themselves.
int compareText(QByteArrayView a, QByteArrayView b);

// Jet's Like: whether value matches pattern. A `[` without its `]` matches
// a literal '['; a reversed range such as [z-a] matches nothing.
bool likeMatches(const QString &value, const QString &pattern);

} // namespace quillet::jet
