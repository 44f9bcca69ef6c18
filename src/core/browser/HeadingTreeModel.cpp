#include "browser/HeadingTreeModel.h"

#include "store/Schema.h"

namespace quillet::browser {

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
    if (m_byKey.contains(key))
        return nullptr;
    auto node = std::make_unique<HeadingNode>();
    node->title = title;
    node->key = key;
    node->image = image;
    node->expandedImage = expandedImage;
    node->parent = parent;
    HeadingNode *raw = node.get();
    auto &siblings = parent ? parent->children : m_top;
    const int row = static_cast<int>(siblings.size());
    if (!m_bulk)
        beginInsertRows(indexOf(parent), row, row);
    siblings.push_back(std::move(node));
    m_byKey.insert(key, raw);
    if (!m_bulk)
        endInsertRows();
    return raw;
}

HeadingNode *HeadingTreeModel::addRootHeading()
{
    HeadingNode *root = appendHeading(nullptr, QLatin1String(store::kRootTitle),
        QLatin1String(store::kRootKey), store::kRootImage, store::kRootExpandedImage);
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
    if (!m_bulk) {
        const QModelIndex index = indexOf(node);
        Q_EMIT dataChanged(index, index, {Qt::DecorationRole});
    }
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

void HeadingTreeModel::forgetKeys(const HeadingNode *node)
{
    m_byKey.remove(node->key);
    for (const auto &child : node->children)
        forgetKeys(child.get());
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
    default:
        return {};
    }
}

} // namespace quillet::browser
