// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/HeadingTreeModel.h"

#include "core/outline/HeadingWalk.h"
#include "core/outline/TreeLog.h"
#include "core/store/Schema.h"

#include <iterator>
#include <utility>

namespace quillet::outline {

HeadingNode::~HeadingNode()
{
    // Taken apart level by level: a chain of a million headings would
    // otherwise recurse once per level and run out of stack.
    std::vector<std::unique_ptr<HeadingNode>> doomed = std::move(children);
    while (!doomed.empty()) {
        std::unique_ptr<HeadingNode> node = std::move(doomed.back());
        doomed.pop_back();
        for (auto &child : node->children)
            doomed.push_back(std::move(child));
        node->children.clear();
    }
}

int HeadingNode::row() const
{
    if (!parent)
        return 0;
    const auto &siblings = parent->children;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this)
            return static_cast<int>(i);
    }
    return 0;
}

HeadingNode *HeadingNode::nextSibling() const
{
    if (!parent)
        return nullptr;
    const int next = row() + 1;
    return next < static_cast<int>(parent->children.size()) ? parent->children[next].get()
                                                            : nullptr;
}

HeadingTreeModel::HeadingTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
{
}

HeadingTreeModel::~HeadingTreeModel() = default;

HeadingNode *HeadingTreeModel::root() const
{
    return m_top.empty() ? nullptr : m_top.front().get();
}

HeadingNode *HeadingTreeModel::appendHeading(
    HeadingNode *parent, const QString &title, const QString &key, int image, int expandedImage)
{
    return insertHeading(parent, -1, title, key, image, expandedImage);
}

std::vector<std::unique_ptr<HeadingNode>> &HeadingTreeModel::childrenOf(HeadingNode *parent)
{
    return parent ? parent->children : m_top;
}

HeadingNode *HeadingTreeModel::insertHeading(HeadingNode *parent, int row, const QString &title,
    const QString &key, int image, int expandedImage)
{
    if (m_byKey.contains(key))
        return nullptr;
    auto node = std::make_unique<HeadingNode>();
    node->title = title;
    node->key = key;
    node->image = image;
    node->expandedImage = expandedImage;
    node->addedOrder = ++m_added;
    node->parent = parent;
    HeadingNode *raw = node.get();
    auto &siblings = childrenOf(parent);
    if (row < 0 || row > static_cast<int>(siblings.size()))
        row = static_cast<int>(siblings.size());
    if (!m_bulk)
        beginInsertRows(indexOf(parent), row, row);
    siblings.insert(siblings.begin() + row, std::move(node));
    m_byKey.insert(key, raw);
    if (!m_bulk)
        endInsertRows();
    if (TreeLog *log = recordingLog())
        log->add({TreeLog::Kind::Inserted, key});
    return raw;
}

bool HeadingTreeModel::isInSubtree(const HeadingNode *node, const HeadingNode *ancestor)
{
    for (; node; node = node->parent) {
        if (node == ancestor)
            return true;
    }
    return false;
}

bool HeadingTreeModel::moveHeading(HeadingNode *node, HeadingNode *newParent, int row)
{
    if (!node)
        return false;
    const int from = node->row();
    return moveHeadings(node->parent, from, from, newParent, row);
}

bool HeadingTreeModel::moveHeadings(
    HeadingNode *oldParent, int first, int last, HeadingNode *newParent, int row)
{
    auto &from = childrenOf(oldParent);
    if (first < 0 || first > last || last >= static_cast<int>(from.size()))
        return false;
    auto &to = childrenOf(newParent);
    if (row < 0 || row > static_cast<int>(to.size()))
        row = static_cast<int>(to.size());
    if (oldParent == newParent && row >= first && row <= last + 1)
        return false;
    // Not into a subtree being moved: only one ancestor of the target can be
    // a child of the old parent.
    for (const HeadingNode *up = newParent; up; up = up->parent) {
        if (up->parent == oldParent) {
            const int r = up->row();
            if (r >= first && r <= last)
                return false;
            break;
        }
    }
    if (!m_bulk && !beginMoveRows(indexOf(oldParent), first, last, indexOf(newParent), row))
        return false;
    if (TreeLog *log = recordingLog()) {
        // As if the headings moved one by one, each from where it stood when
        // its turn came: played back last first, each lands where it was.
        const QString parentKey = oldParent ? oldParent->key : QString();
        const bool backwards = oldParent == newParent && row < first;
        for (int i = first; i <= last; ++i) {
            TreeLog::Entry entry {TreeLog::Kind::Moved, from[i]->key, parentKey};
            entry.row = backwards ? i : first;
            log->add(std::move(entry));
        }
    }
    std::vector<std::unique_ptr<HeadingNode>> moving;
    moving.reserve(static_cast<size_t>(last - first + 1));
    for (int i = first; i <= last; ++i) {
        from[i]->parent = newParent;
        moving.push_back(std::move(from[i]));
    }
    from.erase(from.begin() + first, from.begin() + last + 1);
    if (oldParent == newParent && row > last)
        row -= last - first + 1;
    to.insert(to.begin() + row, std::make_move_iterator(moving.begin()),
        std::make_move_iterator(moving.end()));
    if (!m_bulk)
        endMoveRows();
    return true;
}

void HeadingTreeModel::removeHeading(HeadingNode *node)
{
    if (!node)
        return;
    TreeLog *log = recordingLog();
    const QString parentKey = node->parent ? node->parent->key : QString();
    const int row = node->row();
    std::unique_ptr<HeadingNode> taken = detach(node);
    if (log) {
        TreeLog::Entry entry {TreeLog::Kind::Removed, taken->key, parentKey};
        entry.row = row;
        entry.subtree = std::move(taken);
        log->add(std::move(entry));
    }
}

void HeadingTreeModel::emitChanged(HeadingNode *node, const QList<int> &roles)
{
    if (m_bulk)
        return;
    const QModelIndex index = indexOf(node);
    Q_EMIT dataChanged(index, index, roles);
}

void HeadingTreeModel::setTitle(HeadingNode *node, const QString &title)
{
    if (!node || node->title == title)
        return;
    if (TreeLog *log = recordingLog())
        log->add({TreeLog::Kind::Titled, node->key, QString(), node->title});
    node->title = title;
    emitChanged(node, {Qt::DisplayRole, Qt::EditRole});
}

void HeadingTreeModel::setImages(HeadingNode *node, int image, int expandedImage)
{
    if (!node || (node->image == image && node->expandedImage == expandedImage))
        return;
    if (TreeLog *log = recordingLog()) {
        TreeLog::Entry entry {TreeLog::Kind::Imaged, node->key};
        entry.image = node->image;
        entry.expandedImage = node->expandedImage;
        log->add(std::move(entry));
    }
    node->image = image;
    node->expandedImage = expandedImage;
    emitChanged(node, {ImageRole, ExpandedImageRole, ShownImageRole, Qt::DecorationRole});
}

bool HeadingTreeModel::setKey(HeadingNode *node, const QString &key)
{
    if (!node)
        return false;
    if (node->key == key)
        return true;
    if (m_byKey.contains(key))
        return false;
    if (TreeLog *log = recordingLog())
        log->add({TreeLog::Kind::Rekeyed, key, QString(), node->key});
    m_byKey.remove(node->key);
    node->key = key;
    m_byKey.insert(key, node);
    emitChanged(node, {KeyRole});
    return true;
}

void HeadingTreeModel::markRecreated(HeadingNode *node)
{
    if (TreeLog *log = recordingLog()) {
        TreeLog::Entry entry {TreeLog::Kind::Reordered, node->key};
        entry.order = node->addedOrder;
        log->add(std::move(entry));
    }
    node->addedOrder = ++m_added;
}

HeadingNode *HeadingTreeModel::addRootHeading()
{
    // The root of an empty tree starts a document; it is no step.
    const bool wasQuiet = std::exchange(m_quiet, true);
    HeadingNode *root = appendHeading(nullptr, QLatin1String(store::kRootTitle),
        QLatin1String(store::kRootKey), store::kRootImage, store::kRootExpandedImage);
    m_quiet = wasQuiet;
    if (root)
        setCurrent(root);
    return root;
}

void HeadingTreeModel::clear()
{
    beginResetModel();
    m_top.clear();
    m_byKey.clear();
    m_current = nullptr;
    endResetModel();
    if (m_journal)
        m_journal->treeCleared();
    Q_EMIT currentChanged(nullptr);
}

void HeadingTreeModel::setCurrent(HeadingNode *node)
{
    if (m_current == node)
        return;
    m_current = node;
    Q_EMIT currentChanged(node);
}

void HeadingTreeModel::setExpanded(HeadingNode *node, bool expanded)
{
    if (!node || node->expanded == expanded)
        return;
    node->expanded = expanded;
    emitChanged(node, {ExpandedRole, ShownImageRole, Qt::DecorationRole});
}

void HeadingTreeModel::beginBulkLoad()
{
    if (m_bulk)
        return;
    beginResetModel();
    m_bulk = true;
}

void HeadingTreeModel::endBulkLoad()
{
    if (!m_bulk)
        return;
    m_bulk = false;
    endResetModel();
}

void HeadingTreeModel::visitSubtree(
    const HeadingNode *node, const std::function<void(const HeadingNode *)> &visit)
{
    for (HeadingWalk walk(node); walk.next();)
        visit(walk.node());
}

void HeadingTreeModel::forgetKeys(const HeadingNode *node)
{
    visitSubtree(node, [this](const HeadingNode *n) { m_byKey.remove(n->key); });
}

QModelIndex HeadingTreeModel::indexOf(const HeadingNode *node) const
{
    if (!node || m_bulk)
        return {};
    return createIndex(node->row(), 0, const_cast<HeadingNode *>(node));
}

HeadingNode *HeadingTreeModel::nodeAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<HeadingNode *>(index.internalPointer()) : nullptr;
}

QModelIndex HeadingTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || m_bulk)
        return {};
    const auto &siblings = parent.isValid() ? nodeAt(parent)->children : m_top;
    if (row >= static_cast<int>(siblings.size()))
        return {};
    return createIndex(row, 0, siblings[row].get());
}

QModelIndex HeadingTreeModel::parent(const QModelIndex &child) const
{
    const HeadingNode *node = nodeAt(child);
    if (!node || !node->parent)
        return {};
    return indexOf(node->parent);
}

int HeadingTreeModel::rowCount(const QModelIndex &parent) const
{
    if (m_bulk)
        return 0;
    if (!parent.isValid())
        return static_cast<int>(m_top.size());
    if (parent.column() != 0)
        return 0;
    return static_cast<int>(nodeAt(parent)->children.size());
}

int HeadingTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant HeadingTreeModel::data(const QModelIndex &index, int role) const
{
    const HeadingNode *node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node->title;
    case KeyRole:
        return node->key;
    case ImageRole:
        return node->image;
    case ExpandedImageRole:
        return node->expandedImage;
    case ExpandedRole:
        return node->expanded;
    case ShownImageRole:
        return node->expanded ? node->expandedImage : node->image;
    default:
        return {};
    }
}

Qt::ItemFlags HeadingTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

} // namespace quillet::outline
