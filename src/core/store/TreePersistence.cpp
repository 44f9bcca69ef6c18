#include "store/TreePersistence.h"

#include "shell/Strings.h"
#include "store/Recordset.h"
#include "store/Schema.h"

#include <sqlite3.h>

namespace quillet::store {

namespace {

void badTable(const QString &path, const QString &why)
{
    throw EngineError(EngineErrorCode::NotAValidDocument,
        QStringLiteral("The heading table of '%1' %2.").arg(path, why));
}

void setProgress(platform::ProgressView *progress, qint64 value)
{
    if (progress)
        progress->setValue(value);
}

// Pre-order: a heading, its whole subtree, then its next sibling; so every
// row's parent is written before it.
void writeHeadingSubtree(Database &db, sqlite3_stmt *insert, const browser::HeadingNode *node,
    qint64 &counter, platform::ProgressView *progress, const QString &sql)
{
    for (; node; node = node->nextSibling()) {
        setProgress(progress, counter);
        const QByteArray parent = node->parent ? node->parent->key.toUtf8() : QByteArray("0");
        const QByteArray title = node->title.toUtf8();
        const QByteArray key = node->key.toUtf8();
        sqlite3_bind_text(insert, 1, parent.constData(), parent.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, title.constData(), title.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, key.constData(), key.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 4, node->image);
        sqlite3_bind_int(insert, 5, node->expandedImage);
        // A heading that cannot be written fails the whole save: skipping it
        // would orphan its sub-headings and make the file unloadable.
        db.runWrite(insert, sql);
        ++counter;
        if (node->firstChild())
            writeHeadingSubtree(db, insert, node->firstChild(), counter, progress, sql);
    }
}

qint64 countHeadings(const browser::HeadingNode *node)
{
    qint64 n = 1;
    for (const auto &child : node->children)
        n += countHeadings(child.get());
    return n;
}

} // namespace

void loadHeadingTree(
    Database &db, browser::HeadingTreeModel &tree, platform::ProgressView *progress)
{
    // Read straight from the engine: a document may hold many thousands of
    // headings and this runs at every open.
    sqlite3_stmt *stmt = db.prepareCached(
        QStringLiteral("SELECT Parent, Title, Key, Image, expImage FROM tbNodes"));
    qint64 total = 0;
    {
        sqlite3_stmt *count = db.prepareCached(QStringLiteral("SELECT count(*) FROM tbNodes"));
        if (sqlite3_step(count) == SQLITE_ROW)
            total = sqlite3_column_int64(count, 0);
        sqlite3_reset(count);
    }
    if (progress) {
        progress->setMaximum(total);
        progress->setValue(0);
        progress->setVisible(true);
    }
    auto text = [&](int column) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
            sqlite3_column_bytes(stmt, column));
    };
    tree.beginBulkLoad();
    struct EndBulk
    {
        browser::HeadingTreeModel &tree;
        sqlite3_stmt *stmt;
        ~EndBulk()
        {
            sqlite3_reset(stmt);
            tree.endBulkLoad();
        }
    } endBulk {tree, stmt};

    qint64 counter = 1;
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            db.fail(rc);
        badTable(db.path(), QStringLiteral("is empty"));
    }
    if (text(0) != QLatin1String("0"))
        badTable(db.path(), QStringLiteral("does not start with the root heading"));
    setProgress(progress, counter);
    browser::HeadingNode *root = tree.appendHeading(
        nullptr, text(1), text(2), sqlite3_column_int(stmt, 3), sqlite3_column_int(stmt, 4));
    if (!root)
        badTable(db.path(), QStringLiteral("holds a key twice"));
    root->expanded = true;
    ++counter;

    // Rows mostly follow their parent or a recent ancestor: remember the last
    // one to save a hash lookup per row.
    browser::HeadingNode *last = root;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        setProgress(progress, counter);
        const QString parentKey = text(0);
        browser::HeadingNode *parent
            = last && last->key == parentKey ? last : tree.findByKey(parentKey);
        if (!parent)
            badTable(db.path(), QStringLiteral("names a parent heading that is missing"));
        browser::HeadingNode *node = tree.appendHeading(
            parent, text(1), text(2), sqlite3_column_int(stmt, 3), sqlite3_column_int(stmt, 4));
        if (!node)
            badTable(db.path(), QStringLiteral("holds a key twice"));
        last = node;
        ++counter;
    }
    if (rc != SQLITE_DONE)
        db.fail(rc);
    tree.setCurrent(root);
}

void resolvePendingChanges(Database &db, const browser::HeadingTreeModel *tree, bool commit,
    platform::ProgressView *progress, platform::StatusView *status)
{
    struct Finish
    {
        platform::ProgressView *progress;
        platform::StatusView *status;
        ~Finish()
        {
            if (progress)
                progress->setVisible(false);
            if (status)
                status->setStatusText(QString::fromLatin1(strings::kStatusIdle));
        }
    } finish {progress, status};

    if (status)
        status->setStatusText(commit ? QStringLiteral("Status: Saving file ...")
                                     : QStringLiteral("Status: Restoring file ..."));
    const browser::HeadingNode *root = tree ? tree->root() : nullptr;
    const qint64 headings = commit && root ? countHeadings(root) : 0;
    // Version row, headings and the settling of bookmarks count as steps.
    const qint64 steps = headings + 2;
    if (progress) {
        progress->setMaximum(steps);
        progress->setValue(0);
        progress->setVisible(true);
    }

    Transaction transaction(db);
    qint64 counter = 1;
    if (commit) {
        auto tips = db.openRecordset(QStringLiteral("tbTips"));
        setProgress(progress, counter);
        if (tips->isEmpty())
            tips->addNew();
        else
            tips->edit();
        tips->setValue(QStringLiteral("Version"), QLatin1String(kFormatVersion));
        tips->update();
        ++counter;

        db.deleteTable(QStringLiteral("tbNodes"));
        createTable(db, DocumentTable::Nodes);
        if (root) {
            const QString sql = QStringLiteral("INSERT INTO tbNodes (Parent, Title, Key, Image, "
                                               "expImage) VALUES (?1, ?2, ?3, ?4, ?5)");
            writeHeadingSubtree(db, db.prepareCached(sql), root, counter, progress, sql);
        }
        // Added rows become committed; every other pending row goes.
        db.execute(QStringLiteral("delete from tbItems where delFlag <> 0 and delFlag <> 1"));
        db.execute(QStringLiteral("update tbItems set delFlag = 0 where delFlag = 1"));
    } else {
        // Added rows go; deleted and superseded ones come back.
        db.execute(QStringLiteral("delete from tbItems where delFlag <> 0 and delFlag <> -1"));
        db.execute(QStringLiteral("update tbItems set delFlag = 0 where delFlag = -1"));
    }
    setProgress(progress, steps);
    transaction.commit();
}

} // namespace quillet::store
