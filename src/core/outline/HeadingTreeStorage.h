// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/store/HeadingRows.h"
#include "core/store/PendingChanges.h"

#include <vector>

namespace quillet::store {
class Database;
}

namespace quillet::outline {

// Reads tbNodes into the (empty) tree: the first row must be the root
// (Parent "0"), every later row must name a parent read before it. Views are
// told once at the end. Throws EngineError on a bad table; headings read
// before the failure stay in the tree. The root becomes current.
void loadHeadingTree(store::Database &db, HeadingTreeModel &tree, common::ProgressView *progress);

// The tree as tbNodes rows in pre-order: a heading, its whole subtree, then
// its next sibling; so every row's parent comes before it.
std::vector<store::HeadingRow> headingRows(const HeadingTreeModel &tree);

// Save or Discard of the document with its tree, as the File commands run
// them: the status bar says which, and says "Idle" again at the end, also
// after a failure (which propagates with nothing changed).
void resolvePendingChanges(store::Database &db, const HeadingTreeModel *tree,
    store::Resolution resolution, common::ProgressView *progress, common::StatusView *status);

} // namespace quillet::outline
