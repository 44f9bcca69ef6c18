// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {

// What a drag carries: a heading pressed in the tree, or the selected
// bookmarks of the listed heading. The moving data is the program's own
// state, never the dragged data object.
enum class DragKind
{
    Heading = 0,
    Bookmarks = 1
};

struct DragState
{
    DragKind kind = DragKind::Heading;
    QString sourceHeading; // key of the pressed heading / of the listed heading
};

// A drop on heading `targetKey` (empty: no heading under the pointer).
// Bookmarks always move; a heading becomes the target's first child, renamed
// when the target already has a child of its title. Dropping on the source
// itself, a heading on its parent or into its own subtree changes nothing.
// Returns true when the document changed.
bool dropOnHeading(Workspace &ws, const DragState &drag, const QString &targetKey);

} // namespace quillet::outline
