// SPDX-License-Identifier: GPL-3.0-or-later
// The history side of the heading tree: taking headings out and putting them
// back whole, and playing a step's changes back.
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/TreeLog.h"

#include <utility>

namespace quillet::outline {

namespace {

QString keyOf(const HeadingNode *node)
{
    return node ? node->key : QString();
}

} // namespace

TreeLog *HeadingTreeModel::recordingLog() const
{
    if (!m_journal || m_bulk || m_quiet)
        return nullptr;
    return m_journal->treeLog();
}

std::unique_ptr<HeadingNode> HeadingTreeModel::detach(HeadingNode *node)
{
    auto &siblings = childrenOf(node->parent);
    const int row = node->row();
    // Views may choose a new current heading while the rows go.
    const bool currentGoes = isInSubtree(m_current, node);
    if (currentGoes)
        m_current = nullptr;
    if (!m_bulk)
        beginRemoveRows(indexOf(node->parent), row, row);
    forgetKeys(node);
    std::unique_ptr<HeadingNode> taken = std::move(siblings[row]);
    siblings.erase(siblings.begin() + row);
    taken->parent = nullptr;
    if (!m_bulk)
        endRemoveRows();
    if (currentGoes && !m_current)
        Q_EMIT currentChanged(nullptr);
    return taken;
}

HeadingNode *HeadingTreeModel::attach(
    HeadingNode *parent, int row, std::unique_ptr<HeadingNode> node)
{
    auto &siblings = childrenOf(parent);
    if (row < 0 || row > static_cast<int>(siblings.size()))
        row = static_cast<int>(siblings.size());
    HeadingNode *raw = node.get();
    if (!m_bulk)
        beginInsertRows(indexOf(parent), row, row);
    raw->parent = parent;
    siblings.insert(siblings.begin() + row, std::move(node));
    visitSubtree(raw,
        [this](const HeadingNode *n) { m_byKey.insert(n->key, const_cast<HeadingNode *>(n)); });
    if (!m_bulk)
        endInsertRows();
    return raw;
}

void HeadingTreeModel::place(HeadingNode *node, HeadingNode *parent, int row)
{
    // moveHeading() puts a node before the child now at `row`; within its
    // own parent, a node moving down passes itself first.
    if (node->parent == parent && node->row() < row)
        ++row;
    moveHeading(node, parent, row);
}

void HeadingTreeModel::playBack(TreeLog &log, TreeLog &inverse)
{
    const bool wasQuiet = std::exchange(m_quiet, true);
    auto &entries = log.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        TreeLog::Entry &e = *it;
        switch (e.kind) {
        case TreeLog::Kind::Inserted:
            if (HeadingNode *node = findByKey(e.key)) {
                TreeLog::Entry undone {TreeLog::Kind::Removed, e.key, keyOf(node->parent)};
                undone.row = node->row();
                undone.subtree = detach(node);
                inverse.add(std::move(undone));
            }
            break;
        case TreeLog::Kind::Removed:
            if (e.subtree) {
                HeadingNode *parent = e.parentKey.isEmpty() ? nullptr : findByKey(e.parentKey);
                attach(parent, e.row, std::move(e.subtree));
                inverse.add({TreeLog::Kind::Inserted, e.key});
            }
            break;
        case TreeLog::Kind::Moved:
            if (HeadingNode *node = findByKey(e.key)) {
                TreeLog::Entry undone {TreeLog::Kind::Moved, e.key, keyOf(node->parent)};
                undone.row = node->row();
                place(node, e.parentKey.isEmpty() ? nullptr : findByKey(e.parentKey), e.row);
                inverse.add(std::move(undone));
            }
            break;
        case TreeLog::Kind::Titled:
            if (HeadingNode *node = findByKey(e.key)) {
                inverse.add({TreeLog::Kind::Titled, e.key, QString(), node->title});
                setTitle(node, e.text);
            }
            break;
        case TreeLog::Kind::Imaged:
            if (HeadingNode *node = findByKey(e.key)) {
                TreeLog::Entry undone {TreeLog::Kind::Imaged, e.key};
                undone.image = node->image;
                undone.expandedImage = node->expandedImage;
                inverse.add(std::move(undone));
                setImages(node, e.image, e.expandedImage);
            }
            break;
        case TreeLog::Kind::Rekeyed:
            if (HeadingNode *node = findByKey(e.key); node && setKey(node, e.text))
                inverse.add({TreeLog::Kind::Rekeyed, e.text, QString(), e.key});
            break;
        case TreeLog::Kind::Reordered:
            if (HeadingNode *node = findByKey(e.key)) {
                TreeLog::Entry undone {TreeLog::Kind::Reordered, e.key};
                undone.order = node->addedOrder;
                node->addedOrder = e.order;
                inverse.add(std::move(undone));
            }
            break;
        }
    }
    m_quiet = wasQuiet;
}

} // namespace quillet::outline
