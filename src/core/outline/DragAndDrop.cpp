// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/DragAndDrop.h"

#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"

namespace quillet::outline {

namespace {

bool dropHeading(Workspace &ws, HeadingNode *source, HeadingNode *target)
{
    HeadingTreeModel &tree = ws.tree();
    if (!source || source->parent == target || HeadingTreeModel::isInSubtree(target, source))
        return false;
    const EditHistory::Scope step(&ws.history(), QStringLiteral("Move heading"));
    if (findChildHeading(source->title, target))
        tree.setTitle(source, uniqueHeadingTitle(source->title, target));
    if (!tree.moveHeading(source, target, 0))
        return false;
    ws.document().setModified(true);
    // The list follows the selected heading when it no longer matches it.
    HeadingNode *selected = tree.current();
    if (selected && selected->key != ws.list().listedHeading())
        ws.list().refill(selected->key, ws.document().database());
    return true;
}

} // namespace

bool dropOnHeading(Workspace &ws, const DragState &drag, const QString &targetKey)
{
    HeadingNode *target = ws.tree().findByKey(targetKey);
    if (!target || targetKey == drag.sourceHeading)
        return false;
    if (drag.kind == DragKind::Bookmarks) {
        if (ws.list().selectedCount() == 0 || drag.sourceHeading != ws.list().listedHeading())
            return false;
        ws.list().dropBookmarks(targetKey);
        return true;
    }
    return dropHeading(ws, ws.tree().findByKey(drag.sourceHeading), target);
}

} // namespace quillet::outline
