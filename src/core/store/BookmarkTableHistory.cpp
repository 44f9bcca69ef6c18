// SPDX-License-Identifier: GPL-3.0-or-later
// The history side of the row owner: recording of pending rows that go,
// and playing a step's changes back.
#include "core/store/BookmarkTable.h"

#include "core/store/Database.h"
#include "core/store/RowLog.h"
#include "core/store/Statement.h"

#include <algorithm>
#include <functional>
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
    // The rows a bulk edit takes, in order, so it runs in a few statements.
    sqlite3_exec(db.handle(),
        "CREATE TEMP TABLE IF NOT EXISTS rowIds (pos INTEGER PRIMARY KEY, rowId INTEGER)", nullptr,
        nullptr, nullptr);
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

bool BookmarkTable::buryRun(qint64 first, qint64 last, RowLog &inverse)
{
    const qint64 lowest = std::min(first, last);
    const qint64 highest = std::max(first, last);
    {
        Statement count(
            m_db, QStringLiteral("SELECT count(*) FROM tbItems WHERE ID BETWEEN ?1 AND ?2"));
        count.bind(1, lowest).bind(2, highest);
        if (!count.next() || count.integer(0) != highest - lowest + 1)
            return false; // a row is missing: each one goes on its own
    }
    // In the order given, as one by one: slot and row pair up by position.
    const QString select = QStringLiteral("INSERT INTO temp.buriedItems (rowId, ") + kBuriedColumns
        + QStringLiteral(") SELECT ID, ") + kBuriedColumns
        + QStringLiteral(" FROM tbItems WHERE ID BETWEEN ?1 AND ?2 ORDER BY ID ");
    Statement s(m_db, select + (first <= last ? QStringLiteral("ASC") : QStringLiteral("DESC")));
    s.bind(1, lowest).bind(2, highest);
    s.run();
    qint64 slot = sqlite3_last_insert_rowid(m_db.handle()) - (highest - lowest);
    Statement gone(m_db, QStringLiteral("DELETE FROM tbItems WHERE ID BETWEEN ?1 AND ?2"));
    gone.bind(1, lowest).bind(2, highest);
    gone.run();
    const qint64 step = first <= last ? 1 : -1;
    for (qint64 id = first;; id += step) {
        inverse.buried(id, slot++);
        if (id == last)
            break;
    }
    return true;
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
    // A bulk step (a heading's rows deleted, a paste, a move) touches each
    // row once, so its changes can be undone in any order: the rows it
    // buried come back together, in one statement, and the rows it added go
    // together at the end.
    const bool anyOrder = touchesEachRowOnce(log);
    const bool raiseTogether = anyOrder && log.firstSlot() != 0;
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
    std::vector<qint64> toBury; // added rows not yet buried, last first
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        const RowLog::Entry &e = *it;
        if (e.kind == RowLog::Kind::Added) {
            toBury.push_back(e.id);
            continue;
        }
        if (!anyOrder)
            buryAll(toBury, inverse);
        switch (e.kind) {
        case RowLog::Kind::Added:
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
    buryAll(toBury, inverse);
}

bool BookmarkTable::withRowIds(const std::vector<qint64> &ids, const QString &extraCondition,
    const std::function<void(const QString &joined)> &action)
{
    // Many rows to a statement: listing them one by one cost more than the
    // edit itself.
    constexpr int kPerStatement = 64;
    static const QString putMany = [] {
        QString sql = QStringLiteral("INSERT INTO temp.rowIds (pos, rowId) VALUES ");
        for (int i = 0; i < kPerStatement; ++i)
            sql += QStringLiteral("(?%1, ?%2),").arg(2 * i + 1).arg(2 * i + 2);
        sql.chop(1);
        return sql;
    }();
    size_t i = 0;
    if (ids.size() >= kPerStatement) {
        Statement put(m_db, putMany);
        for (; i + kPerStatement <= ids.size(); i += kPerStatement) {
            for (int k = 0; k < kPerStatement; ++k) {
                put.bind(2 * k + 1, static_cast<qint64>(i + k));
                put.bind(2 * k + 2, ids[i + k]);
            }
            put.run();
        }
    }
    Statement put(m_db, QStringLiteral("INSERT INTO temp.rowIds (pos, rowId) VALUES (?1, ?2)"));
    for (; i < ids.size(); ++i) {
        put.bind(1, static_cast<qint64>(i)).bind(2, ids[i]);
        put.run();
    }
    const QString joined
        = QStringLiteral(" FROM temp.rowIds b JOIN tbItems t ON t.ID = b.rowId") + extraCondition;
    bool whole = false;
    {
        Statement count(m_db, QStringLiteral("SELECT count(*)") + joined);
        whole = count.next() && count.integer(0) == static_cast<qint64>(ids.size());
    }
    if (whole)
        action(joined);
    Statement(m_db, QStringLiteral("DELETE FROM temp.rowIds")).run();
    return whole;
}

bool BookmarkTable::buryScattered(const std::vector<qint64> &ids, RowLog &log)
{
    return withRowIds(ids, QString(), [&](const QString &joined) {
        // In the order given: slot and row pair up by position.
        Statement take(m_db,
            QStringLiteral("INSERT INTO temp.buriedItems (rowId, ") + kBuriedColumns
                + QStringLiteral(") SELECT t.ID, t.")
                + QString(kBuriedColumns).replace(QStringLiteral(", "), QStringLiteral(", t."))
                + joined + QStringLiteral(" ORDER BY b.pos"));
        take.run();
        qint64 slot
            = sqlite3_last_insert_rowid(m_db.handle()) - static_cast<qint64>(ids.size()) + 1;
        Statement(
            m_db, QStringLiteral("DELETE FROM tbItems WHERE ID IN (SELECT rowId FROM temp.rowIds)"))
            .run();
        for (const qint64 id : ids)
            log.buried(id, slot++);
    });
}

void BookmarkTable::buryAll(std::vector<qint64> &ids, RowLog &log)
{
    // New rows get rising IDs, so a paste or an import added runs of
    // neighbours: each run goes in a few statements. The rest go together
    // through a list of their IDs, instead of in two statements per row.
    std::vector<qint64> scattered;
    for (auto run = ids.cbegin(); run != ids.cend();) {
        auto runEnd = run + 1;
        if (runEnd != ids.cend() && (*runEnd == *run + 1 || *runEnd == *run - 1)) {
            const qint64 step = *runEnd - *run;
            while (runEnd != ids.cend() && *runEnd == *(runEnd - 1) + step)
                ++runEnd;
        }
        if (runEnd - run == 1 || !buryRun(*run, *(runEnd - 1), log))
            scattered.insert(scattered.end(), run, runEnd);
        run = runEnd;
    }
    if (scattered.size() < 2 || !buryScattered(scattered, log)) {
        // One by one, passing over rows that are gone.
        for (const qint64 id : scattered) {
            if (const qint64 slot = bury(id))
                log.buried(id, slot);
        }
    }
    ids.clear();
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
