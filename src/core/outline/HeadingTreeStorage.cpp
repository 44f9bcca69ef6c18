// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/HeadingTreeStorage.h"

#include "core/common/Strings.h"
#include "core/store/Database.h"
#include "core/store/EngineError.h"

namespace quillet::outline {

namespace {

[[noreturn]] void badTable(const QString &path, const QString &why)
{
    throw store::EngineError(store::EngineErrorCode::NotAValidDocument,
        QStringLiteral("The heading table of '%1' %2.").arg(path, why));
}

void appendSubtree(const HeadingNode *root, std::vector<store::HeadingRow> &rows)
{
    HeadingTreeModel::visitSubtree(root, [&rows](const HeadingNode *node) {
        rows.push_back({node->parent ? node->parent->key : QStringLiteral("0"), node->title,
            node->key, node->image, node->expandedImage});
    });
}

} // namespace

void loadHeadingTree(store::Database &db, HeadingTreeModel &tree, common::ProgressView *progress)
{
    if (progress) {
        progress->setMaximum(store::countHeadingRows(db));
        progress->setValue(0);
        progress->setVisible(true);
    }
    tree.beginBulkLoad();
    struct EndBulk
    {
        HeadingTreeModel &tree;
        ~EndBulk() { tree.endBulkLoad(); }
    } endBulk {tree};

    qint64 counter = 0;
    HeadingNode *root = nullptr;
    // Rows mostly follow their parent or a recent ancestor: remember the last
    // one to save a hash lookup per row.
    HeadingNode *last = nullptr;
    store::readHeadingRows(db, [&](const store::HeadingRow &row) {
        if (progress)
            progress->setValue(++counter);
        HeadingNode *parent = nullptr;
        if (!root) {
            if (row.parentKey != QLatin1String("0"))
                badTable(db.path(), QStringLiteral("does not start with the root heading"));
        } else {
            parent = last && last->key == row.parentKey ? last : tree.findByKey(row.parentKey);
            if (!parent)
                badTable(db.path(), QStringLiteral("names a parent heading that is missing"));
        }
        HeadingNode *node
            = tree.appendHeading(parent, row.title, row.key, row.image, row.expandedImage);
        if (!node)
            badTable(db.path(), QStringLiteral("holds a key twice"));
        if (!root) {
            root = node;
            root->expanded = true;
        }
        last = node;
    });
    if (!root)
        badTable(db.path(), QStringLiteral("is empty"));
    tree.setCurrent(root);
}

std::vector<store::HeadingRow> headingRows(const HeadingTreeModel &tree)
{
    std::vector<store::HeadingRow> rows;
    rows.reserve(static_cast<size_t>(tree.headingCount()));
    if (const HeadingNode *root = tree.root())
        appendSubtree(root, rows);
    return rows;
}

void resolvePendingChanges(store::Database &db, const HeadingTreeModel *tree,
    store::Resolution resolution, common::ProgressView *progress, common::StatusView *status)
{
    struct IdleAtEnd
    {
        common::StatusView *status;
        ~IdleAtEnd()
        {
            if (status)
                status->setStatusText(QString::fromLatin1(strings::kStatusIdle));
        }
    } idleAtEnd {status};

    const bool save = resolution == store::Resolution::Save;
    if (status)
        status->setStatusText(save ? QStringLiteral("Status: Saving file ...")
                                   : QStringLiteral("Status: Restoring file ..."));
    const std::vector<store::HeadingRow> rows
        = save && tree ? headingRows(*tree) : std::vector<store::HeadingRow>();
    store::resolvePendingChanges(db, resolution, rows, progress);
}

} // namespace quillet::outline
