// SPDX-License-Identifier: GPL-3.0-or-later
// Heading figures: deleting a large heading with its bookmarks, moving a
// heading with a large subtree, and finding a free numbered title.
#include "BenchDocuments.h"

#include "core/outline/HeadingOperations.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <optional>

using namespace quillet;

namespace {

constexpr int kSubtreeHeadings = 2000; // below the big heading
constexpr int kSubtreeBookmarks = 50000; // in the big heading's subtree, half added
constexpr int kOtherBookmarks = 10000; // elsewhere, untouched

// Root[Before, Big[40 x [49 x leaf]], After]: 2,000 headings below Big.
QString bigHeadingDocument()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    path = bench::benchFolder() + QStringLiteral("/big-heading.rdb");
    QFile::remove(path);
    store::createEmptyDatabase(path);
    auto db = store::openDocumentDatabase(path);
    store::Transaction transaction(*db);
    QStringList subtree;
    {
        auto nodes = db->openRecordset(QStringLiteral("tbNodes"));
        auto add = [&](const QString &parent, const QString &title, const QString &key) {
            bench::addNodeRow(*nodes, parent, title, key, 3, 4);
        };
        add(QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot"));
        add(QStringLiteral("kRoot"), QStringLiteral("Before"), QStringLiteral("K1"));
        add(QStringLiteral("kRoot"), QStringLiteral("Big"), QStringLiteral("K2"));
        int next = 100;
        for (int i = 0; i < 40; ++i) {
            const QString child = QStringLiteral("K%1").arg(next++);
            add(QStringLiteral("K2"), QStringLiteral("Group %1").arg(i), child);
            subtree << child;
            for (int j = 0; j < 49; ++j) {
                const QString leaf = QStringLiteral("K%1").arg(next++);
                add(child, QStringLiteral("Topic %1").arg(j), leaf);
                subtree << leaf;
            }
        }
        add(QStringLiteral("kRoot"), QStringLiteral("After"), QStringLiteral("K3"));
    }
    auto items = db->openRecordset(QStringLiteral("tbItems"));
    auto item = [&](const QString &heading, int i, int delFlag) {
        items->addNew();
        items->setValue(QStringLiteral("tKey"), heading);
        items->setValue(QStringLiteral("lKey"), QStringLiteral("K%1").arg(i + 1));
        items->setValue(QStringLiteral("urlName"), QStringLiteral("page %1").arg(i));
        items->setValue(
            QStringLiteral("urlLink"), QStringLiteral("https://example.org/articles/%1").arg(i));
        items->setValue(QStringLiteral("urlDate"), QStringLiteral("2024-05-17"));
        items->setValue(QStringLiteral("urlDescrip"), QStringLiteral("Notes on page %1").arg(i));
        items->setValue(QStringLiteral("imgFile"), QString(QLatin1String("")));
        items->setValue(QStringLiteral("delFlag"), delFlag);
        items->update();
    };
    for (int i = 0; i < kOtherBookmarks; ++i)
        item(i % 2 ? QStringLiteral("K1") : QStringLiteral("K3"), i, 0);
    // Interleaved with the rest of the table, as years of use leave them.
    for (int i = 0; i < kSubtreeBookmarks; ++i)
        item(i % 25 == 0 ? QStringLiteral("K2") : subtree.at(i % subtree.size()), i, i % 2);
    transaction.commit();
    return path;
}

// Counts what the user would see of the bar.
class CountingProgress : public common::ProgressView
{
public:
    void setMaximum(qint64) override { }
    void setValue(qint64) override { ++values; }
    void setVisible(bool visible) override { shows += visible ? 1 : 0; }
    qint64 values = 0;
    qint64 shows = 0;
};

class CountingStatus : public common::StatusView
{
public:
    void setStatusText(const QString &) override { ++texts; }
    qint64 texts = 0;
};

void BM_DeleteHeadingWith2kHeadingsAnd50kBookmarks(benchmark::State &state)
{
    const QString source = bigHeadingDocument();
    const QString work = bench::benchFolder() + QStringLiteral("/delete.rdb");
    CountingProgress progress;
    CountingStatus status;
    qint64 remaining = 0;
    for (auto _ : state) {
        state.PauseTiming();
        outline::Workspace ws({nullptr, nullptr, nullptr, nullptr, &status, &progress});
        bench::openFreshCopy(ws, source, work);
        outline::loadHeadingTree(*ws.document().database(), ws.tree(), nullptr);
        ws.tree().setCurrent(ws.tree().findByKey(QStringLiteral("K2")));
        progress.values = progress.shows = status.texts = 0;
        state.ResumeTiming();

        outline::HeadingOperations(ws).deleteHeading();

        state.PauseTiming();
        remaining = ws.tree().headingCount();
        ws.document().closeDatabase();
        state.ResumeTiming();
    }
    state.counters["bar_values"] = static_cast<double>(progress.values);
    state.counters["bar_shows"] = static_cast<double>(progress.shows);
    state.counters["headings_left"] = static_cast<double>(remaining);
}
BENCHMARK(BM_DeleteHeadingWith2kHeadingsAnd50kBookmarks)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Undo of that delete: the rows come back with their pending states, the
// subtree with its 2,000 headings, and the list shows the heading again.
void BM_UndoDeleteHeadingWith2kHeadingsAnd50kBookmarks(benchmark::State &state)
{
    const QString source = bigHeadingDocument();
    const QString work = bench::benchFolder() + QStringLiteral("/undo-delete.rdb");
    qint64 headings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        outline::Workspace ws({});
        bench::openFreshCopy(ws, source, work);
        outline::loadHeadingTree(*ws.document().database(), ws.tree(), nullptr);
        // Listed, as a heading is when the user deletes it: the undo lists
        // its 2,000 bookmarks again.
        ws.selectHeading(ws.tree().findByKey(QStringLiteral("K2")));
        outline::HeadingOperations(ws).deleteHeading();
        state.ResumeTiming();

        if (!ws.history().undo())
            state.SkipWithError("nothing to undo");

        state.PauseTiming();
        headings = ws.tree().headingCount();
        ws.document().closeDatabase();
        state.ResumeTiming();
    }
    state.counters["headings_after"] = static_cast<double>(headings);
}
BENCHMARK(BM_UndoDeleteHeadingWith2kHeadingsAnd50kBookmarks)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Root[A[a], H[40 x [49 x leaf]], B[b]], everything expanded.
struct MoveTree
{
    MoveTree()
    {
        outline::HeadingTreeModel &tree = ws.tree();
        outline::HeadingNode *root = tree.addRootHeading();
        root->expanded = true;
        auto add = [&](outline::HeadingNode *parent, const QString &title) {
            outline::HeadingNode *node
                = tree.appendHeading(parent, title, QStringLiteral("K%1").arg(++next), 3, 4);
            node->expanded = true;
            return node;
        };
        add(add(root, QStringLiteral("A")), QStringLiteral("a"));
        heading = add(root, QStringLiteral("H"));
        for (int i = 0; i < 40; ++i) {
            outline::HeadingNode *group = add(heading, QStringLiteral("Group %1").arg(i));
            for (int j = 0; j < 49; ++j)
                add(group, QStringLiteral("Topic %1").arg(j));
        }
        add(add(root, QStringLiteral("B")), QStringLiteral("b"));
        tree.setCurrent(heading);
    }
    bool move(outline::HeadingMove direction)
    {
        return outline::HeadingOperations(ws).moveHeading(direction);
    }
    outline::Workspace ws {{}};
    outline::HeadingNode *heading = nullptr;
    int next = 0;
};

// Times one move; `undo` brings the tree back untimed.
void timeMove(benchmark::State &state, outline::HeadingMove direction, outline::HeadingMove undo,
    std::optional<outline::HeadingMove> prepare = std::nullopt)
{
    MoveTree t;
    if (prepare)
        t.move(*prepare);
    for (auto _ : state) {
        if (!t.move(direction))
            state.SkipWithError("did not move");
        state.PauseTiming();
        t.move(undo);
        state.ResumeTiming();
    }
}

void BM_MoveHeadingUp2kSubtree(benchmark::State &state)
{
    timeMove(state, outline::HeadingMove::Up, outline::HeadingMove::Down);
}
BENCHMARK(BM_MoveHeadingUp2kSubtree)->Unit(benchmark::kMicrosecond);

void BM_MoveHeadingDown2kSubtree(benchmark::State &state)
{
    timeMove(state, outline::HeadingMove::Down, outline::HeadingMove::Up);
}
BENCHMARK(BM_MoveHeadingDown2kSubtree)->Unit(benchmark::kMicrosecond);

void BM_MoveHeadingRight2kSubtree(benchmark::State &state)
{
    timeMove(state, outline::HeadingMove::Right, outline::HeadingMove::Left);
}
BENCHMARK(BM_MoveHeadingRight2kSubtree)->Unit(benchmark::kMicrosecond);

void BM_MoveHeadingLeft2kSubtree(benchmark::State &state)
{
    timeMove(state, outline::HeadingMove::Left, outline::HeadingMove::Right,
        outline::HeadingMove::Right);
}
BENCHMARK(BM_MoveHeadingLeft2kSubtree)->Unit(benchmark::kMicrosecond);

void BM_UniqueHeadingTitle1kNumberedSiblings(benchmark::State &state)
{
    outline::HeadingTreeModel tree;
    outline::HeadingNode *root = tree.addRootHeading();
    tree.appendHeading(root, QStringLiteral("Work"), QStringLiteral("K0"), 1, 2);
    for (int n = 1; n <= 1000; ++n)
        tree.appendHeading(
            root, QStringLiteral("Work #%1").arg(n), QStringLiteral("K%1").arg(n), 1, 2);
    QString title;
    for (auto _ : state)
        title = outline::uniqueHeadingTitle(QStringLiteral("Work"), root);
    if (title != QStringLiteral("Work #1001"))
        state.SkipWithError("wrong title");
}
BENCHMARK(BM_UniqueHeadingTitle1kNumberedSiblings)->Unit(benchmark::kMicrosecond);

} // namespace
