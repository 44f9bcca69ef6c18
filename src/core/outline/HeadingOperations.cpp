// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/HeadingOperations.h"

#include "core/common/Strings.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <vector>

namespace quillet::outline {

namespace {

const std::vector<std::unique_ptr<HeadingNode>> &siblingsOf(
    const HeadingTreeModel &tree, const HeadingNode *node)
{
    return node->parent ? node->parent->children : tree.topLevel();
}

HeadingNode *siblingAt(const HeadingTreeModel &tree, const HeadingNode *node, int offset)
{
    const auto &siblings = siblingsOf(tree, node);
    const int row = node->row() + offset;
    return row >= 0 && row < static_cast<int>(siblings.size()) ? siblings[row].get() : nullptr;
}

// Renames `heading` when a child of `target` already carries its title.
void resolveTitleClash(HeadingTreeModel &tree, HeadingNode *heading, const HeadingNode *target)
{
    if (findChildHeading(heading->title, target))
        tree.setTitle(heading, uniqueHeadingTitle(heading->title, target));
}

// Pre-order: a heading, its descendants, then its next sibling.
void collectDescendants(const HeadingNode *node, QList<const HeadingNode *> &out)
{
    HeadingTreeModel::visitSubtree(node, [&](const HeadingNode *n) {
        if (n != node)
            out << n;
    });
}

} // namespace

QString uniqueHeadingTitle(const QString &title, const HeadingNode *parent)
{
    // One pass over the children; each try is then a set lookup.
    QSet<QString> taken;
    if (parent) {
        taken.reserve(static_cast<qsizetype>(parent->children.size()));
        for (const auto &child : parent->children)
            taken.insert(child->title.trimmed().toCaseFolded());
    }
    for (qint64 n = 1;; ++n) {
        const QString candidate = title + QStringLiteral(" #") + QString::number(n);
        if (!taken.contains(candidate.trimmed().toCaseFolded()))
            return candidate;
        if (n % 100 == 0)
            common::yieldToEventLoop();
    }
}

void transplantHeading(HeadingTreeModel &tree, HeadingNode *newNode, HeadingNode *oldNode)
{
    if (!newNode || !oldNode || HeadingTreeModel::isInSubtree(newNode, oldNode))
        return;
    const int children = static_cast<int>(oldNode->children.size());
    if (children > 0)
        tree.moveHeadings(oldNode, 0, children - 1, newNode, 0);
    tree.setCurrent(newNode);
    tree.setExpanded(newNode, oldNode->expanded);
    tree.setTitle(newNode, oldNode->title);
    tree.setImages(newNode, oldNode->image, oldNode->expandedImage);
    // Keys are unique in the tree: the old node goes before its key is reused.
    const QString key = oldNode->key;
    tree.removeHeading(oldNode);
    tree.setKey(newNode, key);
}

bool moveHeadingInTree(HeadingTreeModel &tree, HeadingNode *heading, HeadingMove direction)
{
    if (!heading)
        return false;
    HeadingNode *parent = heading->parent;
    const int row = heading->row();
    // Re-creating the heading at its new place and transplanting it ends
    // the same as moving the node itself: same key, title, images, expanded
    // flag and children. So the node is moved.
    switch (direction) {
    case HeadingMove::Up:
        if (row > 0) {
            tree.moveHeading(heading, parent, row - 1);
        } else {
            HeadingNode *above = parent ? siblingAt(tree, parent, -1) : nullptr;
            if (!above)
                return false;
            resolveTitleClash(tree, heading, above);
            tree.moveHeading(heading, above, -1);
            tree.setExpanded(above, true);
        }
        break;
    case HeadingMove::Down:
        if (siblingAt(tree, heading, 1)) {
            tree.moveHeading(heading, parent, row + 2);
        } else {
            HeadingNode *below = parent ? siblingAt(tree, parent, 1) : nullptr;
            if (!below)
                return false;
            resolveTitleClash(tree, heading, below);
            tree.moveHeading(heading, below, 0);
            tree.setExpanded(below, true);
        }
        break;
    case HeadingMove::Left: {
        HeadingNode *grandparent = parent ? parent->parent : nullptr;
        if (!grandparent)
            return false;
        resolveTitleClash(tree, heading, grandparent);
        const int count = static_cast<int>(parent->children.size());
        const bool expanded = row == count - 1 ? heading->expanded : true;
        // The siblings that followed it come after its own children.
        if (row + 1 < count)
            tree.moveHeadings(parent, row + 1, count - 1, heading, -1);
        tree.moveHeading(heading, grandparent, parent->row() + 1);
        tree.setExpanded(heading, expanded);
        break;
    }
    case HeadingMove::Right: {
        HeadingNode *previous = siblingAt(tree, heading, -1);
        if (!previous)
            return false;
        resolveTitleClash(tree, heading, previous);
        tree.moveHeading(heading, previous, -1);
        tree.setExpanded(previous, true);
        break;
    }
    }
    tree.markRecreated(heading);
    tree.setCurrent(heading);
    return true;
}

bool HeadingOperations::moveHeading(HeadingMove direction)
{
    const EditHistory::Scope step(&m_ws.history(), QStringLiteral("Move heading"));
    const bool moved = moveHeadingInTree(m_ws.tree(), m_ws.tree().current(), direction);
    if (moved)
        m_ws.document().setModified(true);
    return moved;
}

bool HeadingOperations::deleteHeading()
{
    HeadingTreeModel &tree = m_ws.tree();
    HeadingNode *heading = tree.current();
    if (!heading)
        return false;
    if (!heading->parent) {
        if (platform::MessageBoxes *messages = m_ws.services().messages)
            messages->show(QStringLiteral(" Can not delete root node."),
                platform::MessageIcon::Exclamation, platform::MessageButtons::Ok,
                QStringLiteral("Tips"));
        return false;
    }
    HeadingNode *next = siblingAt(tree, heading, -1);
    if (!next)
        next = heading->parent;
    const EditHistory::Scope step(&m_ws.history(), QStringLiteral("Delete heading"));

    QList<const HeadingNode *> doomed;
    collectDescendants(heading, doomed);
    doomed << heading;
    // The rows first: when the engine fails, the tree is left as it was.
    purge(doomed);

    tree.setCurrent(next);
    tree.removeHeading(heading);
    m_ws.document().setModified(true);
    m_ws.clipboard().clear();
    m_ws.list().showListStatus(true);
    return true;
}

void HeadingOperations::purgeHeadingBookmarks(const HeadingNode *heading)
{
    if (heading)
        purge({heading});
}

void HeadingOperations::purge(const QList<const HeadingNode *> &headings)
{
    store::Database *db = m_ws.document().database();
    if (!db || headings.isEmpty())
        return;

    QStringList keys;
    keys.reserve(headings.size());
    for (const HeadingNode *heading : headings)
        keys << heading->key;
    store::BookmarkTable bookmarks(*db);
    const std::vector<std::vector<store::RowRef>> rows = bookmarks.liveRowsOf(keys);

    common::ProgressView *progress = m_ws.services().progress;
    const common::HideProgressAtEnd hideBar(progress);

    store::Transaction transaction(*db);
    // A real bar repaints at every value, which would cost more than the
    // rows themselves: it gets a value every few frames and each heading's
    // last one, so it still moves and fills.
    QElapsedTimer sinceBar;
    sinceBar.start();
    QElapsedTimer sincePaint;
    sincePaint.start();
    for (int i = 0; i < headings.size(); ++i) {
        const std::vector<store::RowRef> &own = rows[static_cast<size_t>(i)];
        if (own.empty())
            continue;
        const qint64 count = static_cast<qint64>(own.size());
        if (progress) {
            progress->setMaximum(count);
            progress->setVisible(true);
        }
        m_ws.setStatus(QStringLiteral("Status: Dealing with \"") + headings[i]->title
            + QStringLiteral("\" ..."));
        // Rows go a batch at a time: neighbouring pending rows leave in a
        // few statements instead of two each.
        constexpr qint64 kBatch = 256;
        std::vector<store::RowRef> batch;
        for (qint64 done = 0; done < count;) {
            const qint64 next = std::min(count, done + kBatch);
            batch.assign(own.begin() + done, own.begin() + next);
            bookmarks.remove(batch);
            done = next;
            if (progress && (done == count || sinceBar.elapsed() >= 20)) {
                progress->setValue(done);
                sinceBar.restart();
            }
            if (sincePaint.elapsed() >= 40) {
                common::yieldToEventLoop();
                sincePaint.restart();
            }
        }
        if (progress)
            progress->setVisible(false);
        m_ws.showIdleStatus();
    }
    transaction.commit();
}

void HeadingOperations::treeClicked()
{
    BookmarkList &list = m_ws.list();
    const HeadingNode *heading = m_ws.tree().current();
    if (!heading) {
        list.clear();
        list.setListedHeading(QString());
        return;
    }
    if (heading->key == list.listedHeading())
        return;
    list.refill(heading->key, m_ws.document().database());
}

} // namespace quillet::outline
