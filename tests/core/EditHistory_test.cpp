// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/editors/BookmarkEditor.h"
#include "core/editors/HeadingEditor.h"
#include "core/outline/DragAndDrop.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

#include <QAbstractItemModelTester>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

using namespace quillet;
using namespace quillet::test;
using outline::HeadingMove;

namespace {

// Root > A (KA: a1 a2 a3) > A1 (KA1: a11);  Root > B (KB: b1);  Root > C (KC).
// Every row is saved; each case first adds a pending bookmark "p" to A, so
// steps meet both kinds of row.
class Desk
{
public:
    Desk()
    {
        const QString path = common::homePath(QStringLiteral("history.rdb"));
        const QString root = QStringLiteral("kRoot");
        writeDocument(path,
            {NodeRow(QStringLiteral("0"), QStringLiteral("Root"), root),
                NodeRow(root, QStringLiteral("A"), QStringLiteral("KA")),
                NodeRow(QStringLiteral("KA"), QStringLiteral("A1"), QStringLiteral("KA1")),
                NodeRow(root, QStringLiteral("B"), QStringLiteral("KB"), 3, 4),
                NodeRow(root, QStringLiteral("C"), QStringLiteral("KC"))},
            {ItemRow(QStringLiteral("KA"), QStringLiteral("K1"), QStringLiteral("a1"),
                 QStringLiteral("http://a1")),
                ItemRow(QStringLiteral("KA"), QStringLiteral("K2"), QStringLiteral("a2"),
                    QStringLiteral("http://a2")),
                ItemRow(QStringLiteral("KA"), QStringLiteral("K3"), QStringLiteral("a3"),
                    QStringLiteral("http://a3")),
                ItemRow(QStringLiteral("KA1"), QStringLiteral("K1"), QStringLiteral("a11"),
                    QStringLiteral("http://a11")),
                ItemRow(QStringLiteral("KB"), QStringLiteral("K1"), QStringLiteral("b1"),
                    QStringLiteral("http://b1"))});
        EXPECT_TRUE(life.loadDocument(path, nullptr));
        ws.document().setTitledName(path);
        showHeading("KA");
        editors::BookmarkEditor editor(ws, editors::BookmarkEditor::Mode::Add);
        EXPECT_TRUE(editor.confirmAdd(QStringLiteral("p"), QStringLiteral("http://p"),
            QStringLiteral("pending"), QStringLiteral("KA")));
    }

    void showHeading(const char *key) { ws.selectHeading(ws.tree().findByKey(QLatin1String(key))); }
    void select(const QStringList &names)
    {
        outline::BookmarkList &list = ws.list();
        list.selection().clear();
        for (int i = 0; i < list.model().count(); ++i) {
            if (!names.contains(list.model().entry(i).name))
                continue;
            list.selection().select(
                list.model().index(i, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            list.selection().setCurrentIndex(
                list.model().index(i, 0), QItemSelectionModel::NoUpdate);
        }
    }
    bool moveHeading(const char *key, HeadingMove direction)
    {
        ws.tree().setCurrent(ws.tree().findByKey(QLatin1String(key)));
        return outline::HeadingOperations(ws).moveHeading(direction);
    }

    // Everything a step may change: every row of tbItems as the engine holds
    // it, the tree with titles, keys and icons, and what the window shows.
    // `listKeys` false leaves out lKey: listing a heading gives its keyless
    // rows (dropped, or added elsewhere) their keys, which is no edit.
    std::string dump(bool listKeys = true)
    {
        std::string text;
        sqlite3 *db = ws.document().database()->handle();
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db,
            listKeys
                ? "SELECT ID, quote(tKey), quote(lKey), quote(urlName), quote(urlLink), "
                  "quote(urlDate), quote(urlDescrip), quote(imgFile), delFlag, quote(urlThumb) "
                  "FROM tbItems ORDER BY ID"
                : "SELECT ID, quote(tKey), quote(urlName), quote(urlLink), quote(urlDate), "
                  "quote(urlDescrip), quote(imgFile), delFlag, quote(urlThumb) FROM tbItems ORDER "
                  "BY ID",
            -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                text
                    += std::string(reinterpret_cast<const char *>(sqlite3_column_text(s, c))) + '|';
            text += '\n';
        }
        sqlite3_finalize(s);
        outline::HeadingTreeModel::visitSubtree(
            ws.tree().root(), [&](const outline::HeadingNode *n) {
                int depth = 0;
                for (const outline::HeadingNode *up = n->parent; up; up = up->parent)
                    ++depth;
                text += std::string(static_cast<size_t>(depth), ' ') + n->key.toStdString() + ':'
                    + n->title.toStdString() + ':' + std::to_string(n->image) + ','
                    + std::to_string(n->expandedImage) + '\n';
            });
        const outline::HeadingNode *current = ws.tree().current();
        // The list as a set: a heading listed again shows its rows in stored
        // order, whatever order arrivals were added in.
        QStringList selected = ws.list().selectedBookmarks();
        selected.sort();
        QStringList entries;
        for (int i = 0; i < ws.list().model().count(); ++i)
            entries << ws.list().model().entry(i).key + QLatin1Char('=')
                    + ws.list().model().entry(i).name;
        entries.sort();
        text += "current " + (current ? current->key.toStdString() : std::string()) + " listed "
            + ws.list().listedHeading().toStdString() + " selected "
            + selected.join(QLatin1Char(',')).toStdString() + " list "
            + entries.join(QLatin1Char(' ')).toStdString();
        return text;
    }

    ScriptedMessageBoxes messages;
    RecordingDescription description;
    RecordingStatus status;
    outline::Workspace ws {{&messages, nullptr, nullptr, &description, &status, nullptr}};
    shell::DocumentLifecycle life {ws};
    QAbstractItemModelTester tester {
        &ws.tree(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

struct Case
{
    const char *step; // the name Undo shows
    std::function<void(Desk &)> prepare; // selection and such; no step
    std::function<void(Desk &)> act;
};

const Case kCases[] = {
    {"Add bookmark", [](Desk &) {},
        [](Desk &d) {
            editors::BookmarkEditor(d.ws, editors::BookmarkEditor::Mode::Add)
                .confirmAdd(QStringLiteral("n"), QStringLiteral("http://n"), QString(),
                    QStringLiteral("KA"));
        }},
    {"Edit bookmark", [](Desk &d) { d.select({QStringLiteral("a2")}); },
        [](Desk &d) {
            editors::BookmarkEditor(d.ws, editors::BookmarkEditor::Mode::Edit)
                .confirmEdit(QStringLiteral("a2 new"), QStringLiteral("http://x"), QString());
        }},
    {"Edit bookmark", [](Desk &d) { d.select({QStringLiteral("p")}); },
        [](Desk &d) {
            editors::BookmarkEditor(d.ws, editors::BookmarkEditor::Mode::Edit)
                .confirmEdit(
                    QStringLiteral("p2"), QStringLiteral("http://p2"), QStringLiteral("d"));
        }},
    {"Delete bookmarks",
        [](Desk &d) {
            d.select({QStringLiteral("a1"), QStringLiteral("p"), QStringLiteral("a3")});
        },
        [](Desk &d) { d.ws.list().deleteBookmarks(QStringLiteral("KA"), true); }},
    {"Add heading", [](Desk &) {},
        [](Desk &d) {
            editors::HeadingEditor editor(d.ws, false, 20);
            editor.setUp();
            editor.addHeading(QStringLiteral("New"), true);
        }},
    {"Edit heading", [](Desk &d) { d.ws.tree().setCurrent(d.ws.tree().findByKey("KB")); },
        [](Desk &d) {
            editors::HeadingEditor editor(d.ws, true, 20);
            editor.setUp();
            editor.chooseEntry(6);
            editor.confirmEdit(QStringLiteral("Bee"));
        }},
    {"Delete heading", [](Desk &d) { d.ws.tree().setCurrent(d.ws.tree().findByKey("KA")); },
        [](Desk &d) {
            outline::HeadingOperations(d.ws).deleteHeading();
            outline::HeadingOperations(d.ws).treeClicked(); // as the window does
        }},
    {"Move heading", [](Desk &d) { d.ws.tree().setCurrent(d.ws.tree().findByKey("KB")); },
        [](Desk &d) { outline::HeadingOperations(d.ws).moveHeading(HeadingMove::Up); }},
    {"Move heading", [](Desk &d) { d.ws.tree().setCurrent(d.ws.tree().findByKey("KA")); },
        [](Desk &d) { outline::HeadingOperations(d.ws).moveHeading(HeadingMove::Down); }},
    {"Move heading", [](Desk &d) { d.ws.tree().setCurrent(d.ws.tree().findByKey("KC")); },
        [](Desk &d) { outline::HeadingOperations(d.ws).moveHeading(HeadingMove::Right); }},
    {"Move heading", [](Desk &d) { d.ws.tree().setCurrent(d.ws.tree().findByKey("KA1")); },
        [](Desk &d) { outline::HeadingOperations(d.ws).moveHeading(HeadingMove::Left); }},
    {"Paste bookmarks",
        [](Desk &d) {
            d.select({QStringLiteral("a1"), QStringLiteral("p")});
            d.ws.list().cutBookmarks(QStringLiteral("KA"));
            d.showHeading("KB");
        },
        [](Desk &d) { d.ws.list().pasteBookmarks(QStringLiteral("KB")); }},
    {"Paste bookmarks",
        [](Desk &d) {
            d.select({QStringLiteral("a2"), QStringLiteral("p")});
            d.ws.list().copyBookmarks(QStringLiteral("KA"));
            d.showHeading("KB");
        },
        [](Desk &d) { d.ws.list().pasteBookmarks(QStringLiteral("KB")); }},
    {"Move bookmarks",
        [](Desk &d) {
            d.select({QStringLiteral("a3"), QStringLiteral("p")});
        },
        [](Desk &d) {
            outline::dropOnHeading(
                d.ws, {outline::DragKind::Bookmarks, QStringLiteral("KA")}, QStringLiteral("KC"));
        }},
    {"Move heading", [](Desk &) {},
        [](Desk &d) {
            outline::dropOnHeading(
                d.ws, {outline::DragKind::Heading, QStringLiteral("KB")}, QStringLiteral("KA"));
        }},
};

} // namespace

TEST(EditHistory, EachKindOfStepUndoesToTheStateBeforeAndRedoesToTheStateAfter)
{
    int index = 0;
    for (const Case &c : kCases) {
        SCOPED_TRACE(std::to_string(index++) + ": " + c.step);
        Desk d;
        c.prepare(d);
        const std::string before = d.dump();
        const int steps = d.ws.history().undoCount();
        c.act(d);
        const std::string after = d.dump();
        ASSERT_NE(after, before);
        ASSERT_EQ(d.ws.history().undoCount(), steps + 1);
        EXPECT_EQ(d.ws.history().undoName(), QLatin1String(c.step));

        ASSERT_TRUE(d.ws.history().undo());
        EXPECT_EQ(d.dump(), before);
        EXPECT_EQ(d.ws.history().redoName(), QLatin1String(c.step));
        ASSERT_TRUE(d.ws.history().redo());
        EXPECT_EQ(d.dump(), after);
        // And once more both ways: what a playback recorded plays back too.
        ASSERT_TRUE(d.ws.history().undo());
        EXPECT_EQ(d.dump(), before);
        ASSERT_TRUE(d.ws.history().redo());
        EXPECT_EQ(d.dump(), after);
        EXPECT_TRUE(d.ws.document().isModified());
    }
}

TEST(EditHistory, UndoingEveryStepGivesBackTheLoadedDocumentAndSaveKeepsWhatIsShown)
{
    Desk d;
    const QString path = d.ws.document().path();
    d.select({QStringLiteral("a1")});
    d.ws.list().deleteBookmarks(QStringLiteral("KA"), true);
    d.moveHeading("KB", HeadingMove::Up);
    d.ws.tree().setCurrent(d.ws.tree().findByKey("KA"));
    outline::HeadingOperations(d.ws).deleteHeading();
    ASSERT_EQ(d.ws.history().undoCount(), 4);

    // Back to the pending "p" alone, then Save: the file holds what is shown.
    while (d.ws.history().undoCount() > 1)
        ASSERT_TRUE(d.ws.history().undo());
    d.life.fileSave();
    EXPECT_FALSE(d.ws.history().canUndo());
    EXPECT_FALSE(d.ws.history().canRedo());
    d.life.fileNew();
    EXPECT_EQ(nodeRows(path),
        QStringList({QStringLiteral("0>kRoot:Root"), QStringLiteral("kRoot>KA:A"),
            QStringLiteral("KA>KA1:A1"), QStringLiteral("kRoot>KB:B"),
            QStringLiteral("kRoot>KC:C")}));
    EXPECT_EQ(itemRows(path),
        QStringList({QStringLiteral("a1:0"), QStringLiteral("a2:0"), QStringLiteral("a3:0"),
            QStringLiteral("a11:0"), QStringLiteral("b1:0"), QStringLiteral("p:0")}));
}

TEST(EditHistory, KeepsAHundredStepsAndForgetsThemAtDiscardNewAndOpen)
{
    Desk d;
    for (int i = 0; i < 105; ++i)
        d.moveHeading("KC", i % 2 ? HeadingMove::Down : HeadingMove::Up);
    EXPECT_EQ(d.ws.history().undoCount(), outline::EditHistory::kMaxSteps);
    while (d.ws.history().undo()) { }
    // The oldest steps are gone: C stands where the sixth move left it.
    EXPECT_EQ(d.ws.tree().findByKey("KC")->row(), 1);
    EXPECT_EQ(d.ws.history().redoCount(), outline::EditHistory::kMaxSteps);

    // A new step drops every step to redo.
    d.moveHeading("KA", HeadingMove::Down);
    EXPECT_EQ(d.ws.history().redoCount(), 0);
    EXPECT_EQ(d.ws.history().undoCount(), 1);

    EXPECT_TRUE(d.life.discard());
    EXPECT_FALSE(d.ws.history().canUndo());
    d.moveHeading("KA", HeadingMove::Down);
    d.messages.answer(platform::MessageAnswer::No);
    d.life.fileNew();
    EXPECT_FALSE(d.ws.history().canUndo());
}

TEST(EditHistory, ChangesOutsideANamedCommandStillMakeOneStep)
{
    Desk d;
    const std::string before = d.dump();
    store::BookmarkTable table(*d.ws.document().database());
    store::BookmarkRow row;
    row.headingKey = QStringLiteral("KC");
    row.name = QStringLiteral("from elsewhere");
    table.addPending(row);
    table.addPending(row);
    EXPECT_EQ(d.ws.history().undoName(), QStringLiteral("Add bookmarks"));
    ASSERT_TRUE(d.ws.history().undo());
    EXPECT_EQ(d.dump(), before);
}

TEST(EditHistory, AFailedCommandLeavesNoStepsThatCouldUndoWrongly)
{
    Desk d;
    d.moveHeading("KB", HeadingMove::Up);
    d.select({QStringLiteral("a1"), QStringLiteral("p")});
    int writes = 0;
    d.ws.document().database()->setWriteHook([&writes](const QString &) {
        if (++writes == 2)
            throw store::EngineError(SQLITE_FULL, QStringLiteral("disk full"));
    });
    EXPECT_THROW(d.ws.list().deleteBookmarks(QStringLiteral("KA"), true), store::EngineError);
    d.ws.document().database()->setWriteHook({});
    EXPECT_FALSE(d.ws.history().canUndo());
}

namespace {

// Random edits, undos and redos on the real core. A mirror of the history
// keeps the dump before and after every step; each undo must give back the
// one before, each redo the one after.
class RandomSession
{
public:
    explicit RandomSession(unsigned seed)
        : m_random(seed)
    {
        d.ws.history().clear();
    }

    void run(int actions)
    {
        for (int i = 0; i < actions; ++i) {
            SCOPED_TRACE("action " + std::to_string(i));
            const int pick = below(100);
            if (pick < 22)
                undo();
            else if (pick < 34)
                redo();
            else
                edit(pick);
            if (::testing::Test::HasFatalFailure() || ::testing::Test::HasFailure())
                return;
        }
    }

private:
    int below(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }
    QStringList headingKeys()
    {
        QStringList keys;
        outline::HeadingTreeModel::visitSubtree(
            d.ws.tree().root(), [&](const outline::HeadingNode *n) { keys << n->key; });
        return keys;
    }
    QString anyHeading()
    {
        const QStringList keys = headingKeys();
        return keys.at(below(static_cast<int>(keys.size())));
    }
    void listHeading(const QString &key) { d.ws.selectHeading(d.ws.tree().findByKey(key)); }
    // A few entries of the listed heading, chosen at random.
    void selectSome()
    {
        outline::BookmarkList &list = d.ws.list();
        QStringList names;
        for (int i = 0; i < list.model().count(); ++i) {
            if (below(3) == 0)
                names << list.model().entry(i).name;
        }
        d.select(names);
    }

    void edit(int pick)
    {
        const quint64 made = d.ws.history().stepsRecorded();
        listHeading(anyHeading());
        selectSome();
        const std::string before = d.dump(false);
        const QString target = anyHeading();
        const QString name = QStringLiteral("r%1").arg(++m_counter);
        switch (pick % 11) {
        case 0:
        case 1:
            editors::BookmarkEditor(d.ws, editors::BookmarkEditor::Mode::Add)
                .confirmAdd(name, QStringLiteral("http://") + name, name, target);
            break;
        case 2:
            if (d.ws.list().selectedCount() > 0)
                editors::BookmarkEditor(d.ws, editors::BookmarkEditor::Mode::Edit)
                    .confirmEdit(name, QStringLiteral("http://e") + name, QString());
            break;
        case 3:
            d.ws.list().deleteBookmarks(d.ws.list().listedHeading(), true);
            break;
        case 4: {
            editors::HeadingEditor editor(d.ws, false, 20);
            editor.setUp();
            editor.addHeading(name, below(2) == 0);
            break;
        }
        case 5: {
            editors::HeadingEditor editor(d.ws, true, 20);
            if (editor.setUp()) {
                editor.chooseEntry(below(10));
                editor.confirmEdit(name);
            }
            break;
        }
        case 6:
            outline::HeadingOperations(d.ws).deleteHeading();
            outline::HeadingOperations(d.ws).treeClicked();
            break;
        case 7:
            outline::HeadingOperations(d.ws).moveHeading(static_cast<HeadingMove>(below(4)));
            break;
        case 8:
        case 9: {
            const QString source = d.ws.list().listedHeading();
            if (below(2))
                d.ws.list().cutBookmarks(source);
            else
                d.ws.list().copyBookmarks(source);
            listHeading(target);
            const std::string moved = d.dump(false);
            d.ws.list().pasteBookmarks(target);
            // Listing another heading is no step: the step starts there.
            if (d.ws.history().stepsRecorded() != made) {
                m_undo.push_back({moved, d.dump(false)});
                m_redo.clear();
                trim();
            }
            return;
        }
        case 10:
            outline::dropOnHeading(d.ws,
                {below(2) ? outline::DragKind::Bookmarks : outline::DragKind::Heading,
                    d.ws.list().listedHeading()},
                target);
            break;
        }
        const std::string after = d.dump(false);
        if (d.ws.history().stepsRecorded() != made) {
            ASSERT_EQ(d.ws.history().stepsRecorded(), made + 1);
            m_undo.push_back({before, after});
            m_redo.clear();
            trim();
        } else {
            ASSERT_EQ(after, before) << "a change that made no step";
        }
    }
    void trim()
    {
        while (m_undo.size() > static_cast<size_t>(outline::EditHistory::kMaxSteps))
            m_undo.erase(m_undo.begin());
    }
    void undo()
    {
        ASSERT_EQ(d.ws.history().undo(), !m_undo.empty());
        if (m_undo.empty())
            return;
        ASSERT_EQ(d.dump(false), m_undo.back().first);
        m_redo.push_back(m_undo.back());
        m_undo.pop_back();
    }
    void redo()
    {
        ASSERT_EQ(d.ws.history().redo(), !m_redo.empty());
        if (m_redo.empty())
            return;
        ASSERT_EQ(d.dump(false), m_redo.back().second);
        m_undo.push_back(m_redo.back());
        m_redo.pop_back();
    }

    Desk d;
    std::mt19937 m_random;
    int m_counter = 0;
    std::vector<std::pair<std::string, std::string>> m_undo;
    std::vector<std::pair<std::string, std::string>> m_redo;
};

} // namespace

TEST(EditHistory, TwoThousandRandomEditsUndosAndRedosEachGiveBackTheirSnapshot)
{
    RandomSession session(20261208);
    session.run(2000);
}
