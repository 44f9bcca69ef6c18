// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/ImportedHeadings.h"

#include "core/outline/HeadingLookup.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/store/RandomNumbers.h"
#include "core/store/Schema.h"

namespace quillet::outline {

HeadingNode *ImportedHeadings::findOrAdd(HeadingNode *parent, const QString &title)
{
    if (HeadingNode *child = findChildHeading(title, parent))
        return child;
    const QString key
        = store::assignRandomKey([this](const QString &k) { return !m_tree.containsKey(k); });
    HeadingNode *child
        = m_tree.appendHeading(parent, title, key, store::kRootImage, store::kRootExpandedImage);
    if (child) {
        if (!m_added.contains(parent))
            m_addedTops.push_back(child);
        m_added.insert(child);
    }
    return child;
}

void ImportedHeadings::removeAdded()
{
    // Removing a top heading removes what was made below it.
    for (auto it = m_addedTops.rbegin(); it != m_addedTops.rend(); ++it)
        m_tree.removeHeading(*it);
    m_addedTops.clear();
    m_added.clear();
}

} // namespace quillet::outline
