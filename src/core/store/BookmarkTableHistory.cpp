// SPDX-License-Identifier: GPL-3.0-or-later
// The history side of the row owner: recording of pending rows that go,
// and playing a step's changes back.
#include "core/store/BookmarkTable.h"

#include "core/store/Database.h"
#include "core/store/RowLog.h"
#include "core/store/Statement.h"

#include <algorithm>
#include <sqlite3.h>
#include <vector>

namespace quillet::store {

namespace {

// The side table lives in the connection's temporary schema: never in the
// document file, gone when the document closes.
const QString kBuriedColumns = QStringLiteral(
    "tKey, lKey, urlName, urlLink, urlDate, urlDescrip, imgFile, delFlag, urlThumb");

bool touchesEachRowOnce(const RowLog &log)
{
    std::vector<qint64> ids;
    ids.reserve(log.entries().size());
    for (const RowLog::Entry &e : log.entries())
        ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.cbegin(), ids.cend()) == ids.cend();
}

} // namespace

void BookmarkTable::prepareHistory(Database &db)
{
    // The side table holds no part of the document: it is made and emptied
    // past the write hook, and a failure here only shows when a row is to
    // be buried.
    const QByteArray sql = (QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS buriedItems (slot "
                                           "INTEGER PRIMARY KEY AUTOINCREMENT, rowId INTEGER, ")
        + kBuriedColumns + QStringLiteral(")"))
                               .toUtf8();
    sqlite3_exec(db.handle(), sql.constData(), nullptr, nullptr, nullptr);
}

RowLog *BookmarkTable::recordingLog() const
{
    RowJournal *journal = m_db.rowJournal();
    return journal ? journal->recordingLog() : nullptr;
}

BookmarkChange BookmarkTable::currentValues(qint64 id, const BookmarkChange &shape) const
{
    Statement s(m_db,
        QStringLiteral("SELECT tKey, lKey, urlName, urlLink, urlDate, urlDescrip, imgFile, "
                       "CASE WHEN ?2 THEN urlThumb END FROM tbItems WHERE ID = ?1"));
    s.bind(1, id).bind(2, shape.thumbnail ? 1 : 0);
    BookmarkChange now;
    if (!s.next())
        return now;
    auto take = [&s](const std::optional<QString> &wanted, int column) {
        return wanted ? std::optional<QString>(s.text(column)) : std::nullopt;
    };
    now.headingKey = take(shape.headingKey, 0);
    now.key = take(shape.key, 1);
    now.name = take(shape.name, 2);
    now.link = take(shape.link, 3);
    now.date = take(shape.date, 4);
    now.description = take(shape.description, 5);
    now.pictureFile = take(shape.pictureFile, 6);
    if (shape.thumbnail)
        now.thumbnail = s.bytes(7);
    return now;
}

void BookmarkTable::deleteRow(qint64 id)
{
    Statement s(m_db, QStringLiteral("DELETE FROM tbItems WHERE ID = ?1"));
    s.bind(1, id);
    s.run();
}

void BookmarkTable::setState(qint64 id, RowState state)
{
    Statement s(m_db, QStringLiteral("UPDATE tbItems SET delFlag = ?2 WHERE ID = ?1"));
    s.bind(1, id).bind(2, static_cast<qint64>(state));
    s.run();
}

qint64 BookmarkTable::bury(qint64 id)
{
    // Copied inside the engine: the thumbnail never travels through memory.
    Statement s(m_db,
        QStringLiteral("INSERT INTO temp.buriedItems (rowId, ") + kBuriedColumns
            + QStringLiteral(") SELECT ID, ") + kBuriedColumns
            + QStringLiteral(" FROM tbItems WHERE ID = ?1"));
    s.bind(1, id);
    s.run();
    if (sqlite3_changes(m_db.handle()) == 0)
        return 0;
    const qint64 slot = sqlite3_last_insert_rowid(m_db.handle());
    deleteRow(id);
    return slot;
}

void BookmarkTable::raise(qint64 slot)
{
    Statement s(m_db,
        QStringLiteral("INSERT INTO tbItems (ID, ") + kBuriedColumns
            + QStringLiteral(") SELECT rowId, ") + kBuriedColumns
            + QStringLiteral(" FROM temp.buriedItems WHERE slot = ?1"));
    s.bind(1, slot);
    s.run();
    Statement gone(m_db, QStringLiteral("DELETE FROM temp.buriedItems WHERE slot = ?1"));
    gone.bind(1, slot);
    gone.run();
}

void BookmarkTable::playBack(const RowLog &log, RowLog &inverse)
{
    const auto &entries = log.entries();
    // A bulk step (a heading's rows deleted, a paste) touches each row once,
    // so its changes can be undone in any order: the rows it buried come
    // back together, in one statement.
    const bool raiseTogether = log.firstSlot() != 0 && touchesEachRowOnce(log);
    if (raiseTogether) {
        Statement raiseAll(m_db,
            QStringLiteral("INSERT INTO tbItems (ID, ") + kBuriedColumns
                + QStringLiteral(") SELECT rowId, ") + kBuriedColumns
                + QStringLiteral(" FROM temp.buriedItems WHERE slot BETWEEN ?1 AND ?2"));
        raiseAll.bind(1, log.firstSlot()).bind(2, log.lastSlot());
        raiseAll.run();
        Statement gone(
            m_db, QStringLiteral("DELETE FROM temp.buriedItems WHERE slot BETWEEN ?1 AND ?2"));
        gone.bind(1, log.firstSlot()).bind(2, log.lastSlot());
        gone.run();
    }
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        const RowLog::Entry &e = *it;
        switch (e.kind) {
        case RowLog::Kind::Added:
            if (const qint64 slot = bury(e.id))
                inverse.buried(e.id, slot);
            break;
        case RowLog::Kind::Buried:
            if (!raiseTogether)
                raise(e.slot);
            inverse.added(e.id);
            break;
        case RowLog::Kind::Restated:
            setState(e.id, static_cast<RowState>(e.from));
            inverse.restated(e.id, static_cast<RowState>(e.to), static_cast<RowState>(e.from));
            break;
        case RowLog::Kind::Changed: {
            const BookmarkChange &old = log.changes()[static_cast<size_t>(e.slot)];
            inverse.changed(e.id, currentValues(e.id, old));
            changeInPlace(e.id, old);
            break;
        }
        }
    }
}

void BookmarkTable::forgetBuried(const RowLog &log) noexcept
{
    if (log.firstSlot() == 0 || !m_db.handle())
        return;
    const QByteArray sql
        = QStringLiteral("DELETE FROM temp.buriedItems WHERE slot BETWEEN %1 AND %2")
              .arg(log.firstSlot())
              .arg(log.lastSlot())
              .toUtf8();
    sqlite3_exec(m_db.handle(), sql.constData(), nullptr, nullptr, nullptr);
}

void BookmarkTable::forgetAllBuried() noexcept
{
    if (m_db.handle())
        sqlite3_exec(m_db.handle(), "DELETE FROM temp.buriedItems", nullptr, nullptr, nullptr);
}

} // namespace quillet::store
