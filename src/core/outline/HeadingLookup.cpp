// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/HeadingLookup.h"

#include "core/outline/HeadingTreeModel.h"

#include <QStringList>

namespace quillet::outline {

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

HeadingNode *findHeadingByPath(const HeadingTreeModel &tree, const QString &path)
{
    HeadingNode *node = tree.root();
    if (!node)
        return nullptr;
    QStringList steps = path.split(u'/', Qt::SkipEmptyParts);
    for (QString &step : steps)
        step = step.trimmed();
    steps.removeAll(QString());
    if (!steps.isEmpty() && !findChildHeading(steps.first(), node)
        && steps.first().toUpper() == node->title.trimmed().toUpper())
        steps.removeFirst();
    qsizetype at = 0;
    while (at < steps.size()) {
        // The longest run of steps that is one child's title wins.
        HeadingNode *child = nullptr;
        qsizetype taken = steps.size() - at;
        while (taken > 0 && !(child = findChildHeading(steps.mid(at, taken).join(u'/'), node)))
            --taken;
        if (!child)
            return nullptr;
        node = child;
        at += taken;
    }
    return node;
}

} // namespace quillet::outline
