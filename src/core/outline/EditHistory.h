// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/TreeLog.h"
#include "core/store/RowLog.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

namespace quillet::store {
class Database;
class Document;
} // namespace quillet::store

namespace quillet::outline {

class BookmarkList;
class HeadingTreeModel;

// Undo and redo of the edits since the last Save. Each step is what one
// command did to the bookmark rows and the heading tree, recorded as it
// happened by the row owner and the tree model, plus the selection before
// and after. Save, Discard, another database, an emptied tree and a failed
// command clear the history; at most `kMaxSteps` steps are kept.
class EditHistory : public QObject, public store::RowJournal, public TreeJournal
{
    Q_OBJECT
public:
    static constexpr int kMaxSteps = 100;

    EditHistory(store::Document &document, HeadingTreeModel &tree, BookmarkList &list,
        QObject *parent = nullptr);
    ~EditHistory() override;

    // One command's changes become one step named `name` ("Delete bookmark").
    // Scopes nest: the outermost one names and ends the step. A null
    // history records nothing.
    class Scope
    {
    public:
        Scope(EditHistory *history, const QString &name);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        EditHistory *m_history;
    };

    bool canUndo();
    bool canRedo();
    // The name of the step Undo or Redo would play back; empty when none.
    QString undoName();
    QString redoName();
    int undoCount();
    int redoCount();
    // How many steps were recorded since the history was made.
    quint64 stepsRecorded()
    {
        seal();
        return m_recorded;
    }

    // Plays the last step back (or forward again). False, with nothing
    // changed, when there is none. An engine error clears the history and
    // propagates, leaving the rows as they were.
    bool undo();
    bool redo();

    // Forgets every step.
    void clear();

    // store::RowJournal and TreeJournal: where the row owner and the tree
    // report their changes.
    store::RowLog *recordingLog() override;
    TreeLog *treeLog() override;
    void rolledBack() override;
    void settled() override;
    void treeCleared() override;

Q_SIGNALS:
    // The steps to undo or redo changed (the Edit menu renames its items).
    void changed();

private:
    struct View
    {
        QString currentHeading;
        QString listedHeading;
        QStringList selected;
        QString currentBookmark;
    };
    struct Step
    {
        QString name;
        store::RowLog rows;
        TreeLog tree;
        View before;
        View after;
        bool broken = false; // its rows were rolled back, or everything settled
    };
    std::unique_ptr<Step> freshStep();
    void begin(const QString &name);
    void end();
    Step *openStep();
    void seal();
    bool playBack(std::deque<std::unique_ptr<Step>> &from, std::deque<std::unique_ptr<Step>> &to,
        bool forward);
    View captureView() const;
    void restoreView(const View &view);
    void attachDatabase();
    void forget(std::deque<std::unique_ptr<Step>> &steps);
    void forgetBuried(const Step &step);
    static QString implicitName(const Step &step);

    store::Document &m_document;
    HeadingTreeModel &m_tree;
    BookmarkList &m_list;
    std::deque<std::unique_ptr<Step>> m_undo;
    std::deque<std::unique_ptr<Step>> m_redo;
    std::unique_ptr<Step> m_open;
    std::unique_ptr<Step> m_spare;
    int m_depth = 0;
    bool m_playing = false;
    bool m_sealQueued = false;
    quint64 m_recorded = 0;
};

} // namespace quillet::outline
