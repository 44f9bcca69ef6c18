// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/store/HeadingRows.h"

#include <vector>

namespace quillet::store {

class Database;

enum class Resolution
{
    Save,
    Discard
};

// Save: writes the format version, replaces tbNodes with `headings` (parents
// before children) and settles tbItems: added rows become committed, removed
// ones go. Discard: removes added rows and brings removed ones back; tbNodes
// and tbTips stay as last saved (`headings` is not used).
// Either runs as one transaction: on any failure nothing has changed and the
// error propagates. Unless run inside a caller's transaction, the result is
// then settled on disk (Database::settleOnDisk). The bar counts the version row, each heading and
// the settling of bookmarks, and is hidden at the end.
void resolvePendingChanges(Database &db, Resolution resolution,
    const std::vector<HeadingRow> &headings, common::ProgressView *progress);

} // namespace quillet::store
