// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::outline {

struct HeadingNode;

// The first child of `parent` whose title, trimmed and compared without
// regard to case, equals `title` trimmed; nullptr when there is none. Imports
// use it to merge a folder into an existing heading of the same title.
HeadingNode *findChildHeading(const QString &title, const HeadingNode *parent);

class HeadingTreeModel;

// The heading a path of titles names, such as "Work/Projects": each step a
// child found as findChildHeading finds it, starting below the root heading
// (a path may also start with the root's own title). A title that holds "/"
// itself matches over several steps. Null when no heading has that path; an
// empty path names the root.
HeadingNode *findHeadingByPath(const HeadingTreeModel &tree, const QString &path);

} // namespace quillet::outline
