// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/EditHistory.h"

#include "core/outline/BookmarkList.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Document.h"

#include <QTimer>
#include <exception>

namespace quillet::outline {

EditHistory::EditHistory(
    store::Document &document, HeadingTreeModel &tree, BookmarkList &list, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_tree(tree)
    , m_list(list)
{
    m_tree.setJournal(this);
    connect(&m_document, &store::Document::databaseChanged, this, [this] {
        clear();
        attachDatabase();
    });
    attachDatabase();
}

EditHistory::~EditHistory()
{
    m_tree.setJournal(nullptr);
    if (store::Database *db = m_document.database(); db && db->rowJournal() == this)
        db->setRowJournal(nullptr);
}

void EditHistory::attachDatabase()
{
    if (store::Database *db = m_document.database()) {
        db->setRowJournal(this);
        store::BookmarkTable::prepareHistory(*db);
    }
}

EditHistory::Scope::Scope(EditHistory *history, const QString &name)
    : m_history(history)
{
    if (m_history)
        m_history->begin(name);
}

EditHistory::Scope::~Scope()
{
    if (!m_history)
        return;
    // A command that failed half-way leaves nothing that could be undone
    // exactly.
    if (std::uncaught_exceptions() > 0 && m_history->m_open)
        m_history->m_open->broken = true;
    m_history->end();
}

void EditHistory::begin(const QString &name)
{
    if (m_playing)
        return;
    if (m_depth > 0) {
        ++m_depth;
        return;
    }
    seal(); // an unnamed step still open ends before this one
    m_depth = 1;
    m_open = freshStep();
    m_open->name = name;
    m_open->before = captureView();
}

void EditHistory::end()
{
    if (m_playing || m_depth == 0 || --m_depth > 0)
        return;
    seal();
}

std::unique_ptr<EditHistory::Step> EditHistory::freshStep()
{
    // A full history drops its oldest step as it records a new one; that
    // step's memory serves the next, so recording costs an edit little.
    if (!m_spare)
        return std::make_unique<Step>();
    std::unique_ptr<Step> step = std::move(m_spare);
    *step = Step();
    return step;
}

EditHistory::Step *EditHistory::openStep()
{
    if (m_playing)
        return nullptr;
    if (!m_open) {
        // A change outside any named command (another window's, say)
        // still becomes a step: it ends when control returns to the event
        // loop, or when the history is next asked.
        m_open = freshStep();
        m_open->before = captureView();
        if (m_depth == 0 && !m_sealQueued) {
            m_sealQueued = true;
            QTimer::singleShot(0, this, [this] {
                m_sealQueued = false;
                if (m_depth == 0)
                    seal();
            });
        }
    }
    return m_open.get();
}

store::RowLog *EditHistory::recordingLog()
{
    Step *step = openStep();
    return step ? &step->rows : nullptr;
}

TreeLog *EditHistory::treeLog()
{
    Step *step = openStep();
    return step ? &step->tree : nullptr;
}

void EditHistory::seal()
{
    if (!m_open || m_depth > 0)
        return;
    std::unique_ptr<Step> step = std::move(m_open);
    if (step->broken) {
        clear();
        return;
    }
    if (step->rows.isEmpty() && step->tree.isEmpty())
        return;
    if (step->name.isEmpty())
        step->name = implicitName(*step);
    step->after = captureView();
    forget(m_redo);
    m_undo.push_back(std::move(step));
    ++m_recorded;
    while (m_undo.size() > static_cast<size_t>(kMaxSteps)) {
        forgetBuried(*m_undo.front());
        m_spare = std::move(m_undo.front());
        m_undo.pop_front();
    }
    Q_EMIT changed();
}

bool EditHistory::canUndo()
{
    seal();
    return !m_undo.empty();
}

bool EditHistory::canRedo()
{
    seal();
    return !m_redo.empty();
}

QString EditHistory::undoName()
{
    return canUndo() ? m_undo.back()->name : QString();
}

QString EditHistory::redoName()
{
    return canRedo() ? m_redo.back()->name : QString();
}

int EditHistory::undoCount()
{
    seal();
    return static_cast<int>(m_undo.size());
}

int EditHistory::redoCount()
{
    seal();
    return static_cast<int>(m_redo.size());
}

bool EditHistory::undo()
{
    return playBack(m_undo, m_redo, false);
}

bool EditHistory::redo()
{
    return playBack(m_redo, m_undo, true);
}

bool EditHistory::playBack(
    std::deque<std::unique_ptr<Step>> &from, std::deque<std::unique_ptr<Step>> &to, bool forward)
{
    if (m_depth > 0)
        return false;
    seal();
    store::Database *db = m_document.database();
    if (from.empty() || !db)
        return false;
    std::unique_ptr<Step> step = std::move(from.back());
    from.pop_back();
    auto played = std::make_unique<Step>();
    played->name = step->name;
    played->before = step->before;
    played->after = step->after;

    m_playing = true;
    try {
        store::Transaction transaction(*db);
        store::BookmarkTable(*db).playBack(step->rows, played->rows);
        transaction.commit();
    } catch (...) {
        m_playing = false;
        clear();
        throw;
    }
    // The tree last: it cannot fail, so rows and tree never part.
    m_tree.playBack(step->tree, played->tree);
    m_playing = false;

    to.push_back(std::move(played));
    restoreView(forward ? to.back()->after : to.back()->before);
    m_document.setModified(true);
    Q_EMIT changed();
    return true;
}

EditHistory::View EditHistory::captureView() const
{
    View view;
    if (const HeadingNode *current = m_tree.current())
        view.currentHeading = current->key;
    view.listedHeading = m_list.listedHeading();
    view.selected = m_list.selectedBookmarks();
    view.currentBookmark = m_list.currentBookmark();
    return view;
}

void EditHistory::restoreView(const View &view)
{
    HeadingNode *current = m_tree.findByKey(view.currentHeading);
    if (!current)
        current = m_tree.root();
    m_tree.setCurrent(current);
    const QString &listed = view.listedHeading;
    if (!listed.isEmpty() && !m_tree.containsKey(listed)) {
        // The listed heading went with the step: the window lists the
        // current one, as a click on it would.
        m_list.refill(current ? current->key : QString(), m_document.database());
        return;
    }
    m_list.showHeading(listed, m_document.database(), view.selected, view.currentBookmark);
}

void EditHistory::clear()
{
    const bool had = !m_undo.empty() || !m_redo.empty();
    m_undo.clear();
    m_redo.clear();
    if (m_open) {
        // Inside a command the rest of its changes are no step either.
        if (m_depth > 0)
            m_open->broken = true;
        else
            m_open.reset();
    }
    if (store::Database *db = m_document.database())
        store::BookmarkTable(*db).forgetAllBuried();
    if (had)
        Q_EMIT changed();
}

void EditHistory::forget(std::deque<std::unique_ptr<Step>> &steps)
{
    for (const auto &step : steps)
        forgetBuried(*step);
    steps.clear();
}

void EditHistory::forgetBuried(const Step &step)
{
    if (store::Database *db = m_document.database())
        store::BookmarkTable(*db).forgetBuried(step.rows);
}

void EditHistory::rolledBack()
{
    if (!m_playing && m_open && !m_open->rows.isEmpty())
        clear();
}

void EditHistory::settled()
{
    clear();
}

void EditHistory::treeCleared()
{
    clear();
}

QString EditHistory::implicitName(const Step &step)
{
    using R = store::RowLog::Kind;
    using T = TreeLog::Kind;
    const TreeLog &tree = step.tree;
    if (!tree.isEmpty()) {
        const int all = static_cast<int>(tree.entries().size());
        if (tree.count(T::Inserted) == all)
            return QStringLiteral("Add heading");
        if (tree.count(T::Removed) > 0)
            return QStringLiteral("Delete heading");
        if (tree.count(T::Moved) > 0)
            return QStringLiteral("Move heading");
        return QStringLiteral("Edit heading");
    }
    const store::RowLog &rows = step.rows;
    const int all = static_cast<int>(rows.entries().size());
    const int added = rows.count(R::Added);
    if (added == all)
        return added == 1 ? QStringLiteral("Add bookmark") : QStringLiteral("Add bookmarks");
    const int gone = rows.count(R::Buried) + rows.count(R::Restated);
    if (added == 0 && gone == all)
        return gone == 1 ? QStringLiteral("Delete bookmark") : QStringLiteral("Delete bookmarks");
    return QStringLiteral("Edit bookmark");
}

} // namespace quillet::outline
