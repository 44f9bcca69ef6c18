#pragma once

#include "browser/HeadingTreeModel.h"
#include "platform/ProgressView.h"
#include "store/Database.h"

namespace quillet::store {

// Reads tbNodes into the (empty) tree: the first row must be the root
// (Parent "0"), every later row must name a parent read before it. Views are
// told once at the end. Throws EngineError on a bad table; headings read
// before the failure stay in the tree. The root becomes current.
void loadHeadingTree(
    Database &db, browser::HeadingTreeModel &tree, platform::ProgressView *progress);

// Save: writes the format version, replaces tbNodes with the tree (pre-order)
// and settles tbItems: added rows become committed, deleted ones go.
// Discard: removes added rows and brings deleted ones back; tbNodes and
// tbTips stay as last saved.
// Either runs as one transaction: on any failure nothing has changed and the
// error propagates.
void resolvePendingChanges(Database &db, const browser::HeadingTreeModel *tree, bool commit,
    platform::ProgressView *progress, platform::StatusView *status);

} // namespace quillet::store
