// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/BookmarkTable.h"

#include "core/store/Database.h"
#include "core/store/RowLog.h"
#include "core/store/Statement.h"

#include <QHash>
#include <sqlite3.h>

namespace quillet::store {

namespace {

// Columns of select(), in this order.
const QString kRowColumns
    = QStringLiteral("ID, tKey, lKey, urlName, urlLink, urlDate, urlDescrip, imgFile, delFlag");

BookmarkRow readRow(const Statement &s, Thumbnail thumbnail)
{
    BookmarkRow row;
    row.id = s.integer(0);
    row.headingKey = s.text(1);
    row.key = s.text(2);
    row.name = s.text(3);
    row.link = s.text(4);
    row.date = s.text(5);
    row.descriptionIsNull = s.isNull(6);
    row.description = s.text(6);
    row.pictureFile = s.text(7);
    row.state = static_cast<RowState>(s.integer(8));
    if (thumbnail == Thumbnail::Read)
        row.thumbnail = s.bytes(9);
    return row;
}

// An empty text is written as an empty string, never as Null.
QString textValue(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// Parameters of the statements that apply a change to row `id`: ?1 the row,
// ?2 to ?8 the texts (Null keeps the row's), ?9 whether ?10 is the new
// thumbnail.
void bindChange(Statement &s, qint64 id, const BookmarkChange &change)
{
    s.bind(1, id)
        .bind(2, change.headingKey)
        .bind(3, change.key)
        .bind(4, change.name)
        .bind(5, change.link)
        .bind(6, change.date)
        .bind(7, change.description)
        .bind(8, change.pictureFile)
        .bind(9, change.thumbnail ? 1 : 0)
        .bind(10, change.thumbnail ? *change.thumbnail : QByteArray());
}

// Rows whose heading is not in tbNodes (a Null key names no heading). The
// root heading is always there, also in a document never saved.
const QString kOrphaned
    = QStringLiteral("(tKey IS NULL OR (tKey <> 'kRoot' AND tKey NOT IN "
                     "(SELECT \"Key\" FROM tbNodes WHERE \"Key\" IS NOT NULL)))");

// A picture name from a row that can only name a file in the image folder.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}

// The index of each heading key, case-folded: keys compare as the engine's
// text does, without regard to case.
QHash<QString, int> slotsOfKeys(const QStringList &headingKeys)
{
    QHash<QString, int> slotOfKey;
    slotOfKey.reserve(headingKeys.size());
    for (int i = 0; i < headingKeys.size(); ++i)
        slotOfKey.insert(headingKeys[i].toCaseFolded(), i);
    return slotOfKey;
}

} // namespace

std::vector<BookmarkRow> BookmarkTable::select(
    const QString &where, const QStringList &arguments, Thumbnail thumbnail, int limit) const
{
    QString sql = QStringLiteral("SELECT ") + kRowColumns
        + (thumbnail == Thumbnail::Read ? QStringLiteral(", urlThumb") : QString())
        + QStringLiteral(" FROM tbItems WHERE ") + where + QStringLiteral(" ORDER BY ID");
    if (limit >= 0)
        sql += QStringLiteral(" LIMIT ") + QString::number(limit);
    Statement s(m_db, sql);
    for (int i = 0; i < arguments.size(); ++i)
        s.bind(i + 1, arguments[i]);
    std::vector<BookmarkRow> rows;
    while (s.next())
        rows.push_back(readRow(s, thumbnail));
    return rows;
}

std::vector<BookmarkRow> BookmarkTable::liveRows(
    const QString &headingKey, Thumbnail thumbnail) const
{
    return select(QStringLiteral("tKey = ?1 AND delFlag <> -1"), {headingKey}, thumbnail);
}

std::vector<ListedRow> BookmarkTable::listedRows(const QString &headingKey) const
{
    Statement s(m_db,
        QStringLiteral("SELECT ID, lKey, urlName, urlLink, urlDate FROM tbItems "
                       "WHERE tKey = ?1 AND delFlag <> -1 ORDER BY ID"));
    s.bind(1, headingKey);
    std::vector<ListedRow> rows;
    while (s.next()) {
        ListedRow &row = rows.emplace_back();
        row.id = s.integer(0);
        row.key = s.text(1);
        row.name = s.text(2);
        row.link = s.text(3);
        row.date = s.text(4);
    }
    return rows;
}

std::vector<BookmarkRow> BookmarkTable::allLiveRows(Thumbnail thumbnail) const
{
    return select(QStringLiteral("delFlag <> -1"), {}, thumbnail);
}

std::vector<BookmarkRow> BookmarkTable::allRows(
    const QString &headingKey, Thumbnail thumbnail) const
{
    return select(QStringLiteral("tKey = ?1"), {headingKey}, thumbnail);
}

std::optional<BookmarkRow> BookmarkTable::findLive(
    const QString &headingKey, const QString &key, Thumbnail thumbnail) const
{
    auto rows = select(QStringLiteral("tKey = ?1 AND lKey = ?2 AND delFlag <> -1"),
        {headingKey, key}, thumbnail, 1);
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::optional<BookmarkRow> BookmarkTable::findLiveByName(
    const QString &headingKey, const QString &name, Thumbnail thumbnail) const
{
    auto rows = select(QStringLiteral("tKey = ?1 AND urlName = ?2 AND delFlag <> -1"),
        {headingKey, name}, thumbnail, 1);
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

bool BookmarkTable::nameExists(const QString &headingKey, const QString &name) const
{
    Statement s(m_db,
        QStringLiteral(
            "SELECT 1 FROM tbItems WHERE tKey = ?1 AND urlName = ?2 AND delFlag <> -1 LIMIT 1"));
    s.bind(1, headingKey).bind(2, name);
    return s.next();
}

QStringList BookmarkTable::liveNames(const QString &headingKey) const
{
    Statement s(m_db,
        QStringLiteral("SELECT urlName FROM tbItems WHERE tKey = ?1 AND delFlag <> -1 "
                       "AND urlName IS NOT NULL ORDER BY ID"));
    s.bind(1, headingKey);
    QStringList names;
    while (s.next())
        names << s.text(0);
    return names;
}

int BookmarkTable::countLive(const QString &headingKey) const
{
    Statement s(
        m_db, QStringLiteral("SELECT count(*) FROM tbItems WHERE tKey = ?1 AND delFlag <> -1"));
    s.bind(1, headingKey);
    return s.next() ? static_cast<int>(s.integer(0)) : 0;
}

int BookmarkTable::countLive() const
{
    Statement s(m_db, QStringLiteral("SELECT count(*) FROM tbItems WHERE delFlag <> -1"));
    return s.next() ? static_cast<int>(s.integer(0)) : 0;
}

std::vector<std::vector<RowRef>> BookmarkTable::liveRowsOf(const QStringList &headingKeys) const
{
    // tbItems has no index on tKey: one scan collects the rows of every
    // heading instead of a scan per heading.
    const QHash<QString, int> slotOfKey = slotsOfKeys(headingKeys);
    std::vector<std::vector<RowRef>> rows(static_cast<size_t>(headingKeys.size()));
    Statement s(m_db, QStringLiteral("SELECT ID, tKey, delFlag FROM tbItems WHERE delFlag <> -1"));
    while (s.next()) {
        const auto slot = slotOfKey.constFind(s.text(1).toCaseFolded());
        if (slot != slotOfKey.constEnd())
            rows[static_cast<size_t>(*slot)].push_back(
                {s.integer(0), static_cast<RowState>(s.integer(2))});
    }
    return rows;
}

std::vector<BookmarkRow> BookmarkTable::liveRowsById(
    const std::vector<RowRef> &refs, Thumbnail thumbnail) const
{
    std::vector<BookmarkRow> rows;
    rows.reserve(refs.size());
    for (const RowRef &ref : refs) {
        auto found = select(
            QStringLiteral("ID = ?1 AND delFlag <> -1"), {QString::number(ref.id)}, thumbnail, 1);
        if (!found.empty())
            rows.push_back(std::move(found.front()));
    }
    return rows;
}

std::vector<std::vector<NamedLink>> BookmarkTable::liveLinksOf(const QStringList &headingKeys) const
{
    const QHash<QString, int> slotOfKey = slotsOfKeys(headingKeys);
    std::vector<std::vector<NamedLink>> rows(static_cast<size_t>(headingKeys.size()));
    Statement s(m_db,
        QStringLiteral(
            "SELECT tKey, urlName, urlLink, ID FROM tbItems WHERE delFlag <> -1 ORDER BY ID"));
    while (s.next()) {
        const auto slot = slotOfKey.constFind(s.text(0).toCaseFolded());
        if (slot == slotOfKey.constEnd())
            continue;
        rows[static_cast<size_t>(*slot)].push_back(
            {s.text(1), s.text(2), s.isNull(1), s.isNull(2), s.integer(3)});
    }
    return rows;
}

QHash<QString, QStringList> BookmarkTable::liveNamesByHeading() const
{
    QHash<QString, QStringList> names;
    Statement s(m_db,
        QStringLiteral("SELECT tKey, urlName FROM tbItems WHERE delFlag <> -1 "
                       "AND urlName IS NOT NULL ORDER BY ID"));
    while (s.next())
        names[s.text(0).toCaseFolded()] << s.text(1);
    return names;
}

qint64 BookmarkTable::addPending(const BookmarkRow &row)
{
    Statement s(m_db,
        QStringLiteral("INSERT INTO tbItems (tKey, lKey, urlName, urlLink, urlDate, urlDescrip, "
                       "imgFile, delFlag, urlThumb) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 1, ?8)"));
    s.bind(1, textValue(row.headingKey))
        .bind(2, textValue(row.key))
        .bind(3, textValue(row.name))
        .bind(4, textValue(row.link))
        .bind(5, textValue(row.date))
        .bind(6, textValue(row.description))
        .bind(7, textValue(row.pictureFile))
        .bind(8, row.thumbnail);
    s.run();
    const qint64 id = sqlite3_last_insert_rowid(m_db.handle());
    if (RowLog *log = recordingLog())
        log->added(id);
    return id;
}

std::optional<qint64> BookmarkTable::addCopy(qint64 id, const BookmarkChange &change)
{
    // Copied inside the engine: the thumbnail never travels through memory.
    Statement s(m_db,
        QStringLiteral(
            "INSERT INTO tbItems (tKey, lKey, urlName, urlLink, urlDate, urlDescrip, imgFile, "
            "delFlag, urlThumb) SELECT ifnull(?2, ifnull(tKey, '')), ifnull(?3, ifnull(lKey, '')), "
            "ifnull(?4, ifnull(urlName, '')), ifnull(?5, ifnull(urlLink, '')), "
            "ifnull(?6, ifnull(urlDate, '')), ifnull(?7, ifnull(urlDescrip, '')), "
            "ifnull(?8, ifnull(imgFile, '')), 1, CASE WHEN ?9 THEN ?10 ELSE urlThumb END "
            "FROM tbItems WHERE ID = ?1"));
    bindChange(s, id, change);
    s.run();
    if (sqlite3_changes(m_db.handle()) == 0)
        return std::nullopt;
    const qint64 copy = sqlite3_last_insert_rowid(m_db.handle());
    if (RowLog *log = recordingLog())
        log->added(copy);
    return copy;
}

std::optional<RowState> BookmarkTable::stateOf(qint64 id) const
{
    Statement s(m_db, QStringLiteral("SELECT delFlag FROM tbItems WHERE ID = ?1"));
    s.bind(1, id);
    if (!s.next())
        return std::nullopt;
    return static_cast<RowState>(s.integer(0));
}

void BookmarkTable::changeInPlace(qint64 id, const BookmarkChange &change)
{
    Statement s(m_db,
        QStringLiteral("UPDATE tbItems SET tKey = ifnull(?2, tKey), lKey = ifnull(?3, lKey), "
                       "urlName = ifnull(?4, urlName), urlLink = ifnull(?5, urlLink), "
                       "urlDate = ifnull(?6, urlDate), urlDescrip = ifnull(?7, urlDescrip), "
                       "imgFile = ifnull(?8, imgFile), "
                       "urlThumb = CASE WHEN ?9 THEN ?10 ELSE urlThumb END WHERE ID = ?1"));
    bindChange(s, id, change);
    s.run();
}

std::optional<BookmarkTable::Changed> BookmarkTable::change(qint64 id, const BookmarkChange &change)
{
    const std::optional<RowState> state = stateOf(id);
    if (!state || *state == RowState::Removed)
        return std::nullopt;
    if (*state == RowState::Added) {
        if (RowLog *log = recordingLog())
            log->changed(id, currentValues(id, change));
        changeInPlace(id, change);
        return Changed {id, false};
    }
    // A saved row is never changed: a new version replaces it and the old
    // one waits, marked, for Save or Discard.
    TransactionIfNone transaction(m_db);
    const std::optional<qint64> copy = addCopy(id, change);
    remove({id, RowState::Committed});
    transaction.commit();
    return Changed {copy.value_or(0), true};
}

void BookmarkTable::setListKey(qint64 id, const QString &key)
{
    Statement s(m_db, QStringLiteral("UPDATE tbItems SET lKey = ?2 WHERE ID = ?1"));
    s.bind(1, id).bind(2, textValue(key));
    s.run();
}

void BookmarkTable::remove(const RowRef &row)
{
    RowLog *log = recordingLog();
    if (row.state == RowState::Added) {
        if (log) {
            // Kept on the side: an undo brings it back whole.
            const qint64 slot = bury(row.id);
            if (slot != 0)
                log->buried(row.id, slot);
        } else {
            deleteRow(row.id);
        }
    } else {
        setState(row.id, RowState::Removed);
        if (log && sqlite3_changes(m_db.handle()) > 0)
            log->restated(row.id, row.state, RowState::Removed);
    }
}

void BookmarkTable::remove(const std::vector<RowRef> &rows)
{
    RowLog *log = recordingLog();
    std::vector<qint64> pending;
    std::vector<qint64> saved;
    for (const RowRef &row : rows) {
        if (row.state == RowState::Added)
            pending.push_back(row.id);
        else if (row.state == RowState::Committed)
            saved.push_back(row.id);
        else
            remove(row); // a state another program wrote
    }
    if (log) {
        buryAll(pending, *log);
    } else {
        for (const qint64 id : pending)
            deleteRow(id);
    }
    // Saved rows are marked together when every one of them is still shown.
    const bool together = saved.size() > 1
        && withRowIds(saved, QStringLiteral(" WHERE t.delFlag = 0"), [&](const QString &) {
               Statement(m_db,
                   QStringLiteral("UPDATE tbItems SET delFlag = -1 WHERE ID IN "
                                  "(SELECT rowId FROM temp.rowIds)"))
                   .run();
               if (log) {
                   for (const qint64 id : saved)
                       log->restated(id, RowState::Committed, RowState::Removed);
               }
           });
    if (!together) {
        for (const qint64 id : saved)
            remove(RowRef {id, RowState::Committed});
    }
}

void BookmarkTable::settle(const QString &dropSql, const QString &keepSql)
{
    TransactionIfNone transaction(m_db);
    Statement(m_db, dropSql).run();
    Statement(m_db, keepSql).run();
    transaction.commit();
}

void BookmarkTable::commitPending()
{
    settle(QStringLiteral("DELETE FROM tbItems WHERE delFlag <> 0 AND delFlag <> 1"),
        QStringLiteral("UPDATE tbItems SET delFlag = 0 WHERE delFlag = 1"));
}

void BookmarkTable::undoPending()
{
    settle(QStringLiteral("DELETE FROM tbItems WHERE delFlag <> 0 AND delFlag <> -1"),
        QStringLiteral("UPDATE tbItems SET delFlag = 0 WHERE delFlag = -1"));
}

PendingSummary BookmarkTable::pendingSummary() const
{
    PendingSummary summary;
    // An edit leaves a pending copy under the saved row's heading and key.
    QHash<QPair<QString, QString>, int> removedAt;
    QList<QPair<QString, QString>> addedAt;
    Statement rows(m_db,
        QStringLiteral("SELECT tKey, lKey, delFlag FROM tbItems WHERE delFlag <> 0 ORDER BY ID"));
    while (rows.next()) {
        const QPair<QString, QString> place(
            rows.text(0).toCaseFolded(), rows.text(1).toCaseFolded());
        if (rows.integer(2) == -1)
            ++removedAt[place];
        else
            addedAt.append(place);
    }
    for (const int n : std::as_const(removedAt))
        summary.removed += n;
    for (const auto &place : std::as_const(addedAt)) {
        auto removed = removedAt.find(place);
        if (!place.second.isEmpty() && removed != removedAt.end() && removed.value() > 0) {
            --removed.value();
            --summary.removed;
            ++summary.changed;
        } else {
            ++summary.added;
        }
    }
    // Orphans and pictures are counted among added rows only: without any,
    // two more passes over a large table would find nothing.
    if (addedAt.isEmpty())
        return summary;

    Statement orphans(m_db,
        QStringLiteral("SELECT count(*) FROM tbItems WHERE delFlag <> 0 AND delFlag <> -1 AND ")
            + kOrphaned);
    summary.orphaned = orphans.next() ? static_cast<int>(orphans.integer(0)) : 0;

    // A picture that a saved row also names (the copy of an edit carries it)
    // is not the pending rows' own.
    Statement pictures(m_db,
        QStringLiteral("SELECT DISTINCT imgFile FROM tbItems WHERE delFlag <> 0 AND delFlag <> -1 "
                       "AND imgFile <> '' AND imgFile NOT IN (SELECT imgFile FROM tbItems "
                       "WHERE (delFlag = 0 OR delFlag = -1) AND imgFile IS NOT NULL)"));
    while (pictures.next()) {
        const QString name = pictures.text(0);
        if (isPlainFileName(name))
            summary.pictures << name;
    }
    return summary;
}

void BookmarkTable::adoptOrphanedRows(const QString &headingKey)
{
    Statement s(m_db,
        QStringLiteral("UPDATE tbItems SET tKey = ?1 WHERE delFlag <> 0 AND delFlag <> -1 AND ")
            + kOrphaned);
    s.bind(1, headingKey);
    s.run();
}

void BookmarkTable::dropOrphanedRows()
{
    Statement(m_db, QStringLiteral("DELETE FROM tbItems WHERE delFlag <> 0 AND ") + kOrphaned)
        .run();
}

void BookmarkTable::showLastSavedOnly()
{
    // Same columns and collations as the table, so every reader behaves the
    // same; unqualified names find the temporary table first.
    Statement schema(m_db,
        QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'tbItems'"));
    if (!schema.next())
        return;
    QString create = schema.text(0);
    const qsizetype table = create.indexOf(QLatin1String("TABLE"), 0, Qt::CaseInsensitive);
    if (table < 0)
        return;
    create.insert(table, QLatin1String("TEMP "));
    Statement(m_db, create).run();
    Statement(m_db,
        QStringLiteral("INSERT INTO temp.tbItems SELECT * FROM main.tbItems "
                       "WHERE delFlag = 0 OR delFlag = -1 ORDER BY ID"))
        .run();
    Statement(m_db, QStringLiteral("UPDATE temp.tbItems SET delFlag = 0")).run();
}

} // namespace quillet::store
