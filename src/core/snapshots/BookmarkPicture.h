// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkRow.h"

#include <QString>
#include <optional>

namespace quillet::store {
class Database;
}

namespace quillet::snapshots {

// Gives the live bookmark `key` of heading `headingKey` the picture file
// `fileName` lying in `folder`: its name, its thumbnail (none when it is no
// picture) and today's date. A saved bookmark gets a pending copy and is
// marked removed, so Discard brings the old picture back. Nothing is written
// when the file is missing or the bookmark is gone; the row keeps its
// picture and thumbnail. Returns the row as written.
std::optional<store::BookmarkRow> attachPicture(store::Database &db, const QString &headingKey,
    const QString &key, const QString &folder, const QString &fileName);

} // namespace quillet::snapshots
