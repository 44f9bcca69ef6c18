#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace quillet::browser {

// One heading of the tree: its title, key, the two icon indices (normal and
// expanded) and its ordered children.
struct HeadingNode
{
    QString title;
    QString key;
    int image = 0;
    int expandedImage = 0;
    bool expanded = false;
    HeadingNode *parent = nullptr;
    std::vector<std::unique_ptr<HeadingNode>> children;

    int row() const;
    HeadingNode *firstChild() const { return children.empty() ? nullptr : children.front().get(); }
    HeadingNode *nextSibling() const;
};

// The heading tree of the open document, in memory. Keys are unique in the
// tree. Views show it; the store loads and saves it; the commands change it.
class HeadingTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role
    {
        KeyRole = Qt::UserRole + 1,
        ImageRole,
        ExpandedImageRole,
    };

    explicit HeadingTreeModel(QObject *parent = nullptr);
    ~HeadingTreeModel() override;

    // The first top-level heading (the root heading), or null when empty.
    HeadingNode *root() const;
    const std::vector<std::unique_ptr<HeadingNode>> &topLevel() const { return m_top; }
    int headingCount() const { return static_cast<int>(m_byKey.size()); }
    bool isEmpty() const { return m_top.empty(); }

    // Appends a heading as the last child of `parent` (top level when null).
    // Returns null, and adds nothing, when the key is already in the tree.
    HeadingNode *appendHeading(HeadingNode *parent, const QString &title, const QString &key,
        int image, int expandedImage);
    HeadingNode *findByKey(const QString &key) const { return m_byKey.value(key); }
    bool containsKey(const QString &key) const { return m_byKey.contains(key); }

    // Adds the root heading to the empty tree and makes it current.
    HeadingNode *addRootHeading();
    // Removes every heading.
    void clear();

    // The heading the commands act on (the tree's selection).
    HeadingNode *current() const { return m_current; }
    void setCurrent(HeadingNode *node);

    void setExpanded(HeadingNode *node, bool expanded);

    // While a document loads, views are told once at the end instead of for
    // every heading.
    void beginBulkLoad();
    void endBulkLoad();
    bool inBulkLoad() const { return m_bulk; }

    QModelIndex indexOf(const HeadingNode *node) const;
    HeadingNode *nodeAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void currentChanged(quillet::browser::HeadingNode *node);

private:
    void forgetKeys(const HeadingNode *node);

    std::vector<std::unique_ptr<HeadingNode>> m_top;
    QHash<QString, HeadingNode *> m_byKey;
    HeadingNode *m_current = nullptr;
    bool m_bulk = false;
};

} // namespace quillet::browser
