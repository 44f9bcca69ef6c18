// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/HeadingLookup.h"
#include "core/outline/HeadingTreeModel.h"

#include <QList>
#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {

// The toolbox's move directions, numbered as the commands pass them.
enum class HeadingMove
{
    Up = 0,
    Down = 1,
    Left = 2,
    Right = 3
};

// `title` + " #n" for the first n = 1, 2, ... that no child of `parent`
// carries (the number is always appended).
QString uniqueHeadingTitle(const QString &title, const HeadingNode *parent);

// Moves every child of `oldNode` (in order, ahead of the children `newNode`
// already has) to `newNode`, makes `newNode` current, copies the expanded
// flag, title and images, removes `oldNode` and gives `newNode` its key.
void transplantHeading(HeadingTreeModel &tree, HeadingNode *newNode, HeadingNode *oldNode);

// Moves `heading` one step, renaming it when its new siblings already carry
// its title. True when it moved; an impossible move changes nothing.
// Tree only: the document is not touched.
bool moveHeadingInTree(HeadingTreeModel &tree, HeadingNode *heading, HeadingMove direction);

// The heading commands of the main window over one workspace: moving,
// deleting with everything below, and the selection handling of the tree.
class HeadingOperations
{
public:
    explicit HeadingOperations(Workspace &workspace)
        : m_ws(workspace)
    {
    }

    // Moves the current heading; marks the document modified when it moved.
    bool moveHeading(HeadingMove direction);

    // Deletes the current heading with its subtree and their bookmarks, in
    // one transaction. The root is refused with a message. The previous
    // sibling, else the parent, becomes current; the list is not refilled
    // (treeClicked() does that).
    bool deleteHeading();

    // Marks every bookmark of one heading deleted (added rows go at once).
    void purgeHeadingBookmarks(const HeadingNode *heading);

    // A click on the tree or a key released over it: the list follows the
    // current heading when its key differs from the listed one.
    void treeClicked();

private:
    void purge(const QList<const HeadingNode *> &headings);

    Workspace &m_ws;
};

} // namespace quillet::outline
