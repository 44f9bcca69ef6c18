// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkRow.h"
#include "core/store/BookmarkTable.h"

#include <QtGlobal>
#include <vector>

namespace quillet::store {

// What one edit did to tbItems, in the order it happened, so that it can be
// played back: the row IDs and the values that changed, never copies of
// rows. A pending row that goes is buried in a side table of the connection
// (its slot is kept here) so a later step can raise it again whole.
class RowLog
{
public:
    enum class Kind : quint8
    {
        Added, // row `id` came (an insert, or a buried row raised)
        Buried, // pending row `id` went into slot `slot`
        Restated, // row `id`'s delFlag went from `from` to `to`
        Changed, // row `id` was changed in place; `change` holds the old values
    };
    struct Entry
    {
        qint64 id = 0;
        qint64 slot = 0; // Buried: the slot; Changed: index into changes()
        Kind kind = Kind::Added;
        qint8 from = 0;
        qint8 to = 0;
    };

    bool isEmpty() const { return m_entries.empty(); }
    const std::vector<Entry> &entries() const { return m_entries; }
    const std::vector<BookmarkChange> &changes() const { return m_changes; }
    // The first and last burial slot this log holds (0, 0 when none): slots
    // are handed out in rising order and only one log records at a time, so
    // no other log owns a slot in between.
    qint64 firstSlot() const { return m_firstSlot; }
    qint64 lastSlot() const { return m_lastSlot; }

    void added(qint64 id) { m_entries.push_back({id, 0, Kind::Added, 0, 0}); }
    void buried(qint64 id, qint64 slot);
    void restated(qint64 id, RowState from, RowState to)
    {
        m_entries.push_back(
            {id, 0, Kind::Restated, static_cast<qint8>(from), static_cast<qint8>(to)});
    }
    void changed(qint64 id, BookmarkChange old);
    // Counts what happened, for naming an unnamed step.
    int count(Kind kind) const;

private:
    std::vector<Entry> m_entries;
    std::vector<BookmarkChange> m_changes;
    qint64 m_firstSlot = 0;
    qint64 m_lastSlot = 0;
};

// Where the row owner reports its changes while the document keeps a history.
class RowJournal
{
public:
    virtual ~RowJournal() = default;
    // The log of the edit under way; null records nothing.
    virtual RowLog *recordingLog() = 0;
    // The outermost transaction was rolled back: what was recorded in it is
    // gone from the table.
    virtual void rolledBack() = 0;
    // Save, Discard or an emptying of the tables settled every pending row.
    virtual void settled() = 0;
};

} // namespace quillet::store
