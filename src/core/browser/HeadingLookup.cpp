// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/HeadingLookup.h"

#include "browser/HeadingTreeModel.h"

namespace quillet::browser {

HeadingNode *findChildHeading(const QString &title, const HeadingNode *parent)
{
    if (!parent)
        return nullptr;
    const QString wanted = title.trimmed().toUpper();
    for (const auto &child : parent->children) {
        if (child->title.trimmed().toUpper() == wanted)
            return child.get();
    }
    return nullptr;
}

} // namespace quillet::browser
