// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/HeadingTreeModel.h"

#include <memory>
#include <vector>

namespace quillet::outline {

// Steps through headings in tree order: a heading, then everything below it,
// then its next sibling. Every walk over the heading tree goes through here:
// it keeps its place on the heap, so a chain of a million headings needs no
// more stack than a single heading.
//
//     for (HeadingWalk walk(root); walk.next();)
//         use(walk.node(), walk.depth());
class HeadingWalk
{
public:
    // `start` and everything below it; nothing for null.
    explicit HeadingWalk(const HeadingNode *start);
    // Each heading of `siblings` with everything below it, in sibling order.
    explicit HeadingWalk(const std::vector<std::unique_ptr<HeadingNode>> &siblings);

    // Moves to the next heading; false when none is left.
    bool next();
    const HeadingNode *node() const { return m_node; }
    // Levels below where the walk started: 0 for the start (or the siblings).
    int depth() const { return m_depth; }
    // The next call to next() passes over the current heading's subtree.
    void skipChildren() { m_skipChildren = true; }

private:
    struct Pending
    {
        const HeadingNode *node;
        int depth;
    };
    std::vector<Pending> m_pending; // the last is visited first
    const HeadingNode *m_node = nullptr;
    int m_depth = 0;
    bool m_skipChildren = false;
};

// Calls `visit(node, depth)` for each heading HeadingWalk(start) visits.
template<typename Start, typename Visit> void forEachHeading(const Start &start, Visit &&visit)
{
    for (HeadingWalk walk(start); walk.next();)
        visit(walk.node(), walk.depth());
}

} // namespace quillet::outline
