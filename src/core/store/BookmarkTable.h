// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkRow.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quillet::store {

class Database;
class RowLog;

// Whether a read brings the thumbnail along (it may be large).
enum class Thumbnail
{
    Skip,
    Read
};

// Fields a command gives a bookmark; the rest keep the row's values.
struct BookmarkChange
{
    std::optional<QString> headingKey;
    std::optional<QString> key;
    std::optional<QString> name;
    std::optional<QString> link;
    std::optional<QString> date;
    std::optional<QString> description;
    std::optional<QString> pictureFile;
    std::optional<QByteArray> thumbnail; // a null array clears it
};

// A live row as a long command walks many of them.
struct RowRef
{
    qint64 id = 0;
    RowState state = RowState::Committed;
};

// The name and link of a live row, with whether each is Null in the table
// (rows made by other programs may hold Nulls; the program writes "").
struct NamedLink
{
    QString name;
    QString link;
    bool nameIsNull = false;
    bool linkIsNull = false;
    qint64 id = 0;
};

// What the bookmark list shows of a live row: no description, picture or
// thumbnail, which only the row's own page needs.
struct ListedRow
{
    qint64 id = 0;
    QString key;
    QString name;
    QString link;
    QString date;
};

// What a document holds between two Saves, counted as the user sees it: an
// edited bookmark is one pending copy beside its removed saved row.
struct PendingSummary
{
    int added = 0;
    int changed = 0;
    int removed = 0;
    // Added rows whose heading is not in tbNodes (a heading that was never
    // saved); counted in `added` or `changed` too.
    int orphaned = 0;
    // Picture files named only by added rows (plain file names, no folder).
    QStringList pictures;

    bool isEmpty() const { return added == 0 && changed == 0 && removed == 0; }
};

// The one owner of tbItems rows: every command reads, adds, changes, removes
// and settles bookmarks through here, so the rules of pending rows live in
// one place. Text comparisons (heading keys, names) are the engine's: letter
// case and accents do not count. Writes of more than one statement run as
// one transaction; callers wrap several calls in their own.
class BookmarkTable
{
public:
    explicit BookmarkTable(Database &db)
        : m_db(db)
    {
    }

    // The live rows of a heading, in stored order.
    std::vector<BookmarkRow> liveRows(
        const QString &headingKey, Thumbnail thumbnail = Thumbnail::Skip) const;
    // What the list shows of a heading's live rows, in stored order.
    std::vector<ListedRow> listedRows(const QString &headingKey) const;
    // The live rows of every heading, in stored order.
    std::vector<BookmarkRow> allLiveRows(Thumbnail thumbnail = Thumbnail::Skip) const;
    // Every row of a heading, removed ones too, in stored order.
    std::vector<BookmarkRow> allRows(
        const QString &headingKey, Thumbnail thumbnail = Thumbnail::Skip) const;
    // The live row of heading and list key (the first in stored order).
    std::optional<BookmarkRow> findLive(
        const QString &headingKey, const QString &key, Thumbnail thumbnail = Thumbnail::Read) const;
    // The live row of heading and name (the first in stored order).
    std::optional<BookmarkRow> findLiveByName(const QString &headingKey, const QString &name,
        Thumbnail thumbnail = Thumbnail::Skip) const;
    bool nameExists(const QString &headingKey, const QString &name) const;
    // The names of a heading's live rows; Null names, which equal nothing,
    // are left out.
    QStringList liveNames(const QString &headingKey) const;
    int countLive(const QString &headingKey) const;
    int countLive() const;
    // The live rows of each heading, in the order of `headingKeys`, found in
    // one pass over the table.
    std::vector<std::vector<RowRef>> liveRowsOf(const QStringList &headingKeys) const;
    // The rows of `refs` that are still live, in the order given: a long walk
    // reads rows one by one after one liveRowsOf pass.
    std::vector<BookmarkRow> liveRowsById(
        const std::vector<RowRef> &refs, Thumbnail thumbnail = Thumbnail::Skip) const;
    // The same with each row's name, link and ID, in stored order.
    std::vector<std::vector<NamedLink>> liveLinksOf(const QStringList &headingKeys) const;
    // The names of the live rows of every heading key in the table, found in
    // one pass, keyed by the case-folded key (keys compare ignoring case).
    // Null names, which equal nothing, are left out.
    QHash<QString, QStringList> liveNamesByHeading() const;

    // Adds a pending row (its state and ID are ignored); returns its ID.
    // Empty texts are written as empty strings, never as Null.
    qint64 addPending(const BookmarkRow &row);
    // Adds a pending copy of row `id` with `change` applied (thumbnail and
    // picture kept unless changed); returns its ID, none when no such row.
    std::optional<qint64> addCopy(qint64 id, const BookmarkChange &change);
    // Changes the live row `id`: a pending row in place; a committed one is
    // superseded by a pending copy carrying the change, and marked removed.
    // Returns the live row's ID and whether it was superseded; none when no
    // live row has that ID.
    struct Changed
    {
        qint64 id = 0;
        bool superseded = false;
    };
    std::optional<Changed> change(qint64 id, const BookmarkChange &change);
    // Gives a row its list key (repair of empty or repeated keys).
    void setListKey(qint64 id, const QString &key);
    // A pending row goes; a committed one is marked removed until Save.
    void remove(const RowRef &row);
    // The same for many rows, in fewer statements.
    void remove(const std::vector<RowRef> &rows);

    // Save: added rows become committed, removed ones go.
    void commitPending();
    // Discard: added rows go, removed ones come back.
    void undoPending();

    // While the document keeps a history, the writes above report to its
    // journal, and a pending row that goes is buried on the side instead of
    // lost. Creates the side table of this connection (idempotent).
    static void prepareHistory(Database &db);
    // Undoes the changes of `log`, last first, and records in `inverse`
    // what undoes that (so the same call redoes it). Records nothing in the
    // journal. Callers run it inside their transaction.
    void playBack(const RowLog &log, RowLog &inverse);
    // Lets go of the rows `log` keeps buried (its step left the history).
    void forgetBuried(const RowLog &log) noexcept;
    // Lets go of every buried row.
    void forgetAllBuried() noexcept;
    // The rows a Save or Discard would settle.
    PendingSummary pendingSummary() const;
    // Pending rows whose heading is not in tbNodes: added ones move under
    // `headingKey`, so that they can be seen; removed ones stay removed.
    void adoptOrphanedRows(const QString &headingKey);
    // Pending rows whose heading is not in tbNodes go, removed ones too:
    // brought back they would lie under no heading.
    void dropOrphanedRows();

    // Until the connection closes, its readers see tbItems as last saved: a
    // temporary copy of the saved rows, all committed, stands in front of
    // the table. Nothing is written to the file, so this works on a file
    // that cannot be written, and the pending rows stay for their owner.
    void showLastSavedOnly();

private:
    std::vector<BookmarkRow> select(const QString &where, const QStringList &arguments,
        Thumbnail thumbnail, int limit = -1) const;
    std::optional<RowState> stateOf(qint64 id) const;
    void settle(const QString &dropSql, const QString &keepSql);
    RowLog *recordingLog() const;
    // The values `shape` names, as row `id` holds them now.
    BookmarkChange currentValues(qint64 id, const BookmarkChange &shape) const;
    void changeInPlace(qint64 id, const BookmarkChange &change);
    void deleteRow(qint64 id);
    // Moves a row into the side table; returns its slot.
    qint64 bury(qint64 id);
    // Buries rows `first`..`last` (either way round) in that order,
    // recording each in `log`; false, with nothing done, unless every one
    // of them is there.
    bool buryRun(qint64 first, qint64 last, RowLog &log);
    // Runs `action` with the rows `ids` listed in temp.rowIds (b.pos,
    // b.rowId) and `joined` naming them joined to tbItems (as t) under
    // `extraCondition`; false, with no action, unless every one is there.
    bool withRowIds(const std::vector<qint64> &ids, const QString &extraCondition,
        const std::function<void(const QString &joined)> &action);
    // Buries the rows `ids` (neighbours or not) in that order, recording
    // each in `log`; false, with nothing done, unless every one is there.
    bool buryScattered(const std::vector<qint64> &ids, RowLog &log);
    // Buries the rows `ids`, recording each in `log`, and
    // empties `ids`.
    void buryAll(std::vector<qint64> &ids, RowLog &log);
    void raise(qint64 slot);
    void setState(qint64 id, RowState state);

    Database &m_db;
};

} // namespace quillet::store
