// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/Recordset.h"

#include "core/store/Database.h"
#include "core/store/EngineError.h"
#include "core/store/JetDialect.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace quillet::store {

namespace {

QVariant readColumn(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_BLOB: {
        const char *data = static_cast<const char *>(sqlite3_column_blob(stmt, i));
        return QVariant(QByteArray(data ? data : "", sqlite3_column_bytes(stmt, i)));
    }
    default: {
        const char *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
        const QString text = QString::fromUtf8(data, sqlite3_column_bytes(stmt, i));
        // Keep an empty text apart from Null.
        return QVariant(text.isNull() ? QString(QLatin1String("")) : text);
    }
    }
}

void bindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        break;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        break;
    }
    }
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool isTableName(const QString &text)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return name.match(text.trimmed()).hasMatch();
}

} // namespace

Recordset::Recordset(Database &db, const QString &tableOrSql)
    : m_db(&db)
{
    QString rest;
    if (isTableName(tableOrSql)) {
        m_table = tableOrSql.trimmed();
    } else {
        // "select * from <table> <rest>" is an updatable set over one table.
        static const QRegularExpression selectAll(
            QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)(\\s.*)?$"),
            QRegularExpression::CaseInsensitiveOption
                | QRegularExpression::DotMatchesEverythingOption);
        const QString sql = jet::translateSql(tableOrSql);
        const auto match = selectAll.match(sql);
        if (match.hasMatch()) {
            m_table = match.captured(1);
            rest = match.captured(2);
        } else {
            rest = sql;
        }
    }

    QString sql;
    if (!m_table.isEmpty()) {
        const QList<FieldDef> fields = db.fields(m_table);
        QStringList selected {QStringLiteral("rowid")};
        int lazyCount = 0;
        for (const FieldDef &field : fields) {
            if (field.autoIncrement)
                m_autoIncrementColumn = static_cast<int>(m_columns.size());
            m_columns << field.name;
            const bool lazy = field.kind == FieldKind::LongBinary && lazyCount < 64;
            m_lazyBit << (lazy ? quint64(1) << lazyCount++ : 0);
            selected << (lazy ? QStringLiteral("NULL") : quoteIdentifier(field.name));
        }
        sql = QStringLiteral("SELECT %1 FROM %2%3")
                  .arg(selected.join(QStringLiteral(", ")), quoteIdentifier(m_table), rest);
    } else {
        sql = rest;
    }

    m_selectSql = sql;
    m_hasRowid = !m_table.isEmpty();
    if (!m_table.isEmpty())
        m_pending.resize(m_columns.size());
    // A whole table is read when first walked; a query runs now, so that a
    // bad query fails where it is opened.
    if (!isTableName(tableOrSql))
        ensureLoaded();
}

void Recordset::ensureLoaded() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    sqlite3_stmt *stmt = nullptr;
    int rc
        = sqlite3_prepare_v2(m_db->handle(), m_selectSql.toUtf8().constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        m_db->fail(rc);
    }
    const int offset = m_hasRowid ? 1 : 0;
    if (!m_hasRowid && m_columns.isEmpty()) {
        auto *self = const_cast<Recordset *>(this);
        const int count = sqlite3_column_count(stmt);
        for (int i = 0; i < count; ++i) {
            self->m_columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
            self->m_lazyBit << 0;
        }
        self->m_pending.resize(m_columns.size());
    }
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row row;
        row.rowid = offset ? sqlite3_column_int64(stmt, 0) : 0;
        row.values.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.values << (m_lazyBit.at(i) ? QVariant() : readColumn(stmt, i + offset));
        m_rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        m_db->fail(rc);
    m_count = static_cast<int>(m_rows.size());
}

Recordset::~Recordset() = default;

void Recordset::close()
{
    m_loaded = true;
    m_rows.clear();
    m_count = 0;
    m_position = 0;
    m_mode = EditMode::None;
    m_pendingMask = 0;
}

void Recordset::moveFirst()
{
    ensureLoaded();
    if (m_rows.empty())
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    m_mode = EditMode::None;
    m_position = 0;
    while (m_position < static_cast<int>(m_rows.size()) && m_rows[m_position].deleted)
        ++m_position;
}

void Recordset::moveLast()
{
    ensureLoaded();
    if (m_rows.empty())
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    m_mode = EditMode::None;
    m_position = static_cast<int>(m_rows.size()) - 1;
    while (m_position >= 0 && m_rows[m_position].deleted)
        --m_position;
}

void Recordset::moveNext()
{
    if (eof())
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    m_mode = EditMode::None;
    ++m_position;
    while (m_position < static_cast<int>(m_rows.size()) && m_rows[m_position].deleted)
        ++m_position;
}

void Recordset::moveTo(int index)
{
    ensureLoaded();
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    m_mode = EditMode::None;
    m_position = index;
}

int Recordset::column(const QString &field) const
{
    // Few fields: a scan without building lower-case copies beats a hash.
    // Callers nearly always spell names as created, so try that first.
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i) == field)
            return i;
    }
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw EngineError(EngineErrorCode::ItemNotFound,
        QStringLiteral("Item '%1' not found in this collection.").arg(field));
}

const Recordset::Row &Recordset::current() const
{
    ensureLoaded();
    if (bof() || eof() || m_rows[m_position].deleted)
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    return m_rows[m_position];
}

QVariant Recordset::fetchLazy(const Row &row, int col) const
{
    sqlite3_stmt *stmt = m_db->prepareCached(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
            .arg(quoteIdentifier(m_columns.at(col)), quoteIdentifier(m_table)));
    sqlite3_bind_int64(stmt, 1, row.rowid);
    const int rc = sqlite3_step(stmt);
    QVariant result = rc == SQLITE_ROW ? readColumn(stmt, 0) : QVariant();
    sqlite3_reset(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_db->fail(rc);
    return result;
}

QVariant Recordset::value(const QString &field) const
{
    const int col = column(field);
    const quint64 bit = quint64(1) << col;
    if (m_mode != EditMode::None && (m_pendingMask & bit))
        return m_pending.at(col);
    if (m_mode == EditMode::AddNew)
        return QVariant();
    const Row &row = current();
    const quint64 lazyBit = m_lazyBit.at(col);
    if (!lazyBit)
        return row.values.at(col);
    // Cache the picture once read, as the row may be read again.
    Row &mutableRow = const_cast<Row &>(row);
    if (!(row.loadedLazy & lazyBit)) {
        mutableRow.values[col] = fetchLazy(row, col);
        mutableRow.loadedLazy |= lazyBit;
    }
    return row.values.at(col);
}

void Recordset::requireWritable() const
{
    if (m_table.isEmpty())
        throw EngineError(EngineErrorCode::ReadOnly,
            QStringLiteral("Cannot update. Database or object is read-only."));
}

void Recordset::addNew()
{
    requireWritable();
    m_mode = EditMode::AddNew;
    m_pendingMask = 0;
}

void Recordset::edit()
{
    requireWritable();
    current();
    m_mode = EditMode::Edit;
    m_pendingMask = 0;
}

void Recordset::setValue(const QString &field, const QVariant &value)
{
    if (m_mode == EditMode::None)
        throw EngineError(EngineErrorCode::UpdateWithoutEdit,
            QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const int col = column(field);
    m_pending[col] = value;
    m_pendingMask |= quint64(1) << col;
}

void Recordset::cancelUpdate()
{
    m_mode = EditMode::None;
    m_pendingMask = 0;
}

QString Recordset::writeSql(EditMode mode, quint64 columns) const
{
    const quint64 cacheKey = (columns << 1) | (mode == EditMode::AddNew ? 1 : 0);
    auto cached = m_sqlCache.constFind(cacheKey);
    if (cached != m_sqlCache.constEnd())
        return *cached;
    QStringList names;
    QStringList params;
    QStringList sets;
    int n = 0;
    for (int col = 0; col < m_columns.size(); ++col) {
        if (!(columns & (quint64(1) << col)))
            continue;
        ++n;
        names << quoteIdentifier(m_columns.at(col));
        params << QStringLiteral("?%1").arg(n);
        sets << QStringLiteral("%1 = ?%2").arg(names.last()).arg(n);
    }
    QString sql;
    if (mode == EditMode::AddNew) {
        sql = n == 0 ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(m_table))
                     : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(quoteIdentifier(m_table), names.join(QStringLiteral(", ")),
                               params.join(QStringLiteral(", ")));
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                  .arg(quoteIdentifier(m_table), sets.join(QStringLiteral(", ")))
                  .arg(n + 1);
    }
    m_sqlCache.insert(cacheKey, sql);
    return sql;
}

void Recordset::update()
{
    if (m_mode == EditMode::None)
        throw EngineError(EngineErrorCode::UpdateWithoutEdit,
            QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    if (m_mode == EditMode::Edit && m_pendingMask == 0) {
        m_mode = EditMode::None;
        return;
    }
    const QString sql = writeSql(m_mode, m_pendingMask);
    sqlite3_stmt *stmt = m_db->prepareCached(sql);
    int n = 0;
    for (int col = 0; col < m_columns.size(); ++col) {
        if (m_pendingMask & (quint64(1) << col))
            bindValue(stmt, ++n, m_pending.at(col));
    }
    if (m_mode == EditMode::Edit)
        sqlite3_bind_int64(stmt, n + 1, m_rows[m_position].rowid);
    m_db->runWrite(stmt, sql);

    if (m_mode == EditMode::AddNew && !m_loaded) {
        // Not read yet: the new row comes with the table when it is.
    } else if (m_mode == EditMode::AddNew) {
        // The new row joins the end of the set; the current record stays.
        Row row;
        row.rowid = sqlite3_last_insert_rowid(m_db->handle());
        row.values.resize(m_columns.size());
        for (int col = 0; col < m_columns.size(); ++col) {
            if (m_pendingMask & (quint64(1) << col)) {
                row.values[col] = m_pending.at(col);
                row.loadedLazy |= m_lazyBit.at(col);
            }
        }
        if (m_autoIncrementColumn >= 0)
            row.values[m_autoIncrementColumn] = QVariant(static_cast<qlonglong>(row.rowid));
        const bool wasEof = eof();
        m_rows.push_back(std::move(row));
        ++m_count;
        if (wasEof)
            m_position = static_cast<int>(m_rows.size());
    } else {
        Row &row = m_rows[m_position];
        for (int col = 0; col < m_columns.size(); ++col) {
            if (m_pendingMask & (quint64(1) << col)) {
                row.values[col] = m_pending.at(col);
                row.loadedLazy |= m_lazyBit.at(col);
            }
        }
    }
    m_mode = EditMode::None;
    m_pendingMask = 0;
}

void Recordset::remove()
{
    requireWritable();
    const Row &row = current();
    const QString sql
        = QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table));
    sqlite3_stmt *stmt = m_db->prepareCached(sql);
    sqlite3_bind_int64(stmt, 1, row.rowid);
    m_db->runWrite(stmt, sql);
    m_rows[m_position].deleted = true;
    --m_count;
    m_mode = EditMode::None;
}

} // namespace quillet::store
