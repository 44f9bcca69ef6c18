// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::browser {

struct HeadingNode;

// The first child of `parent` whose title, trimmed and compared without
// regard to case, equals `title` trimmed; nullptr when there is none. Imports
// use it to merge a folder into an existing heading of the same title.
HeadingNode *findChildHeading(const QString &title, const HeadingNode *parent);

} // namespace quillet::browser
