// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace quillet::outline {

class TreeJournal;
class TreeLog;

// One heading of the tree: its title, key, the two icon indices (normal and
// expanded) and its ordered children.
struct HeadingNode
{
    QString title;
    QString key;
    int image = 0;
    int expandedImage = 0;
    bool expanded = false;
    // Rises with every heading added: the help file names pages by the
    // heading's place in the order of adding.
    quint64 addedOrder = 0;
    HeadingNode *parent = nullptr;
    std::vector<std::unique_ptr<HeadingNode>> children;

    HeadingNode() = default;
    ~HeadingNode();
    HeadingNode(const HeadingNode &) = delete;
    HeadingNode &operator=(const HeadingNode &) = delete;

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
        ExpandedRole, // the heading's expanded flag (bool)
        // The image index the view shows now: the expanded one while the
        // heading is expanded. A GUI delegate turns it into a picture.
        ShownImageRole,
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
    // Inserts a heading as child `row` of `parent` (top level when null); a
    // row out of range appends. Null, and nothing added, when the key is taken.
    HeadingNode *insertHeading(HeadingNode *parent, int row, const QString &title,
        const QString &key, int image, int expandedImage);
    // Moves `node` with its subtree under `newParent` (top level when null)
    // so that it ends up before the child now at `row` (a row out of range
    // appends). False, and nothing moved, when it would move into its own
    // subtree or stays where it is.
    bool moveHeading(HeadingNode *node, HeadingNode *newParent, int row);
    // The same for the children first..last of `oldParent`, kept in order.
    bool moveHeadings(HeadingNode *oldParent, int first, int last, HeadingNode *newParent, int row);
    // Removes `node` with its subtree. The current heading, when inside it,
    // becomes none.
    void removeHeading(HeadingNode *node);
    // A heading the move commands re-create at its new place counts as added
    // last; its children keep their places.
    void markRecreated(HeadingNode *node);
    void setTitle(HeadingNode *node, const QString &title);
    void setImages(HeadingNode *node, int image, int expandedImage);
    // Gives `node` another key; false when the key belongs to another node.
    bool setKey(HeadingNode *node, const QString &key);
    // True when `node` is `ancestor` or lies below it.
    static bool isInSubtree(const HeadingNode *node, const HeadingNode *ancestor);
    // `node` and every heading below it, each before its children and in
    // sibling order; without recursion, so any depth works.
    static void visitSubtree(
        const HeadingNode *node, const std::function<void(const HeadingNode *)> &visit);

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

    // While the document keeps a history, every change above reports to
    // its journal (a bulk load and the root heading of an empty tree do not).
    void setJournal(TreeJournal *journal) { m_journal = journal; }
    // Undoes the changes of `log`, last first, taking the headings it keeps,
    // and records in `inverse` what undoes that. Records nothing in the
    // journal.
    void playBack(TreeLog &log, TreeLog &inverse);

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
    // Headings can be dragged and dropped on (the moves are the program's own).
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void currentChanged(quillet::outline::HeadingNode *node);

private:
    TreeLog *recordingLog() const;
    // Takes `node` with its subtree out of the tree.
    std::unique_ptr<HeadingNode> detach(HeadingNode *node);
    // Puts a subtree taken out back as child `row` of `parent`.
    HeadingNode *attach(HeadingNode *parent, int row, std::unique_ptr<HeadingNode> node);
    // Moves `node` so that it ends up as child `row` of `parent`.
    void place(HeadingNode *node, HeadingNode *parent, int row);
    void forgetKeys(const HeadingNode *node);
    std::vector<std::unique_ptr<HeadingNode>> &childrenOf(HeadingNode *parent);
    void emitChanged(HeadingNode *node, const QList<int> &roles);

    std::vector<std::unique_ptr<HeadingNode>> m_top;
    QHash<QString, HeadingNode *> m_byKey;
    HeadingNode *m_current = nullptr;
    bool m_bulk = false;
    quint64 m_added = 0;
    TreeJournal *m_journal = nullptr;
    bool m_quiet = false; // playing back, or adding the root heading
};

} // namespace quillet::outline
