// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <vector>

namespace quillet::outline {

class HeadingTreeModel;
struct HeadingNode;

// The headings an import places its folders under: an existing child of the
// same title is reused, a missing one is made with the root heading's icons.
// When the import's transaction rolls back, removeAdded() takes the made
// ones out of the tree again.
class ImportedHeadings
{
public:
    explicit ImportedHeadings(HeadingTreeModel &tree)
        : m_tree(tree)
    {
    }

    // The child of `parent` titled `title`, made when missing; null when it
    // could not be made.
    HeadingNode *findOrAdd(HeadingNode *parent, const QString &title);
    bool wasAdded(const HeadingNode *heading) const { return m_added.contains(heading); }
    int addedCount() const { return int(m_added.size()); }

    // Takes the headings made here out of the tree, newest first.
    void removeAdded();

private:
    HeadingTreeModel &m_tree;
    QSet<const HeadingNode *> m_added;
    std::vector<HeadingNode *> m_addedTops; // made under a heading that was there
};

} // namespace quillet::outline
