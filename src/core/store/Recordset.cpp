#include "store/Recordset.h"

#include "store/Database.h"
#include "store/EngineError.h"
#include "store/JetDialect.h"

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

}  // namespace

Recordset::Recordset(Database &db, const QString &tableOrSql) : m_db(&db)
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
        QStringList selected{QStringLiteral("rowid")};
        for (const FieldDef &field : fields) {
            m_columns << field.name;
            const bool lazy = field.kind == FieldKind::LongBinary && m_lazy.count(true) < 64;
            m_lazy << lazy;
            selected << (lazy ? QStringLiteral("NULL") : quoteIdentifier(field.name));
        }
        sql = QStringLiteral("SELECT %1 FROM %2%3")
                  .arg(selected.join(QStringLiteral(", ")), quoteIdentifier(m_table), rest);
    } else {
        sql = rest;
    }

    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        db.fail(rc);
    }
    const int offset = m_table.isEmpty() ? 0 : 1;
    const int count = sqlite3_column_count(stmt);
    if (m_table.isEmpty()) {
        for (int i = 0; i < count; ++i) {
            m_columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
            m_lazy << false;
        }
    }
    for (int i = 0; i < m_columns.size(); ++i)
        m_index.insert(m_columns.at(i).toLower(), i);

    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row row;
        row.rowid = offset ? sqlite3_column_int64(stmt, 0) : 0;
        row.values.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.values << (m_lazy.at(i) ? QVariant() : readColumn(stmt, i + offset));
        m_rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        db.fail(rc);
    m_count = static_cast<int>(m_rows.size());
}

Recordset::~Recordset() = default;

void Recordset::close()
{
    m_rows.clear();
    m_count = 0;
    m_position = 0;
    m_mode = EditMode::None;
    m_pending.clear();
}

void Recordset::moveFirst()
{
    if (m_rows.empty())
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    m_mode = EditMode::None;
    m_position = 0;
    while (m_position < static_cast<int>(m_rows.size()) && m_rows[m_position].deleted)
        ++m_position;
}

void Recordset::moveLast()
{
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

int Recordset::column(const QString &field) const
{
    const auto it = m_index.constFind(field.toLower());
    if (it == m_index.constEnd())
        throw EngineError(EngineErrorCode::ItemNotFound,
                          QStringLiteral("Item '%1' not found in this collection.").arg(field));
    return *it;
}

const Recordset::Row &Recordset::current() const
{
    if (bof() || eof() || m_rows[m_position].deleted)
        throw EngineError(EngineErrorCode::NoCurrentRecord, QStringLiteral("No current record."));
    return m_rows[m_position];
}

QVariant Recordset::fetchLazy(const Row &row, int col) const
{
    sqlite3_stmt *stmt = m_db->prepareCached(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                                                 .arg(quoteIdentifier(m_columns.at(col)),
                                                      quoteIdentifier(m_table)));
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
    if (m_mode != EditMode::None && m_pending.contains(col))
        return m_pending.value(col);
    if (m_mode == EditMode::AddNew)
        return QVariant();
    const Row &row = current();
    if (!m_lazy.at(col))
        return row.values.at(col);
    // Cache the picture once read, as the row may be read again.
    const quint64 bit = quint64(1) << m_lazy.mid(0, col).count(true);
    Row &mutableRow = const_cast<Row &>(row);
    if (!(row.loadedLazy & bit)) {
        mutableRow.values[col] = fetchLazy(row, col);
        mutableRow.loadedLazy |= bit;
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
    m_pending.clear();
}

void Recordset::edit()
{
    requireWritable();
    current();
    m_mode = EditMode::Edit;
    m_pending.clear();
}

void Recordset::setValue(const QString &field, const QVariant &value)
{
    if (m_mode == EditMode::None)
        throw EngineError(EngineErrorCode::UpdateWithoutEdit,
                          QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    m_pending.insert(column(field), value);
}

void Recordset::cancelUpdate()
{
    m_mode = EditMode::None;
    m_pending.clear();
}

void Recordset::update()
{
    if (m_mode == EditMode::None)
        throw EngineError(EngineErrorCode::UpdateWithoutEdit,
                          QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    QList<int> cols = m_pending.keys();
    std::sort(cols.begin(), cols.end());
    QStringList names;
    for (int col : cols)
        names << quoteIdentifier(m_columns.at(col));

    QString sql;
    if (m_mode == EditMode::AddNew) {
        QStringList params;
        for (int i = 0; i < cols.size(); ++i)
            params << QStringLiteral("?%1").arg(i + 1);
        sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(m_table))
                             : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quoteIdentifier(m_table), names.join(QStringLiteral(", ")),
                                        params.join(QStringLiteral(", ")));
    } else {
        if (cols.isEmpty()) {
            m_mode = EditMode::None;
            return;
        }
        QStringList sets;
        for (int i = 0; i < cols.size(); ++i)
            sets << QStringLiteral("%1 = ?%2").arg(names.at(i)).arg(i + 1);
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                  .arg(quoteIdentifier(m_table), sets.join(QStringLiteral(", ")))
                  .arg(cols.size() + 1);
    }
    sqlite3_stmt *stmt = m_db->prepareCached(sql);
    for (int i = 0; i < cols.size(); ++i)
        bindValue(stmt, i + 1, m_pending.value(cols.at(i)));
    if (m_mode == EditMode::Edit)
        sqlite3_bind_int64(stmt, cols.size() + 1, m_rows[m_position].rowid);
    m_db->runWrite(stmt, sql);

    if (m_mode == EditMode::AddNew) {
        // The new row joins the end of the set; the current record stays.
        Row row;
        row.rowid = sqlite3_last_insert_rowid(m_db->handle());
        row.values.resize(m_columns.size());
        for (int col : cols)
            row.values[col] = m_pending.value(col);
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_lazy.at(i) && m_pending.contains(i))
                row.loadedLazy |= quint64(1) << m_lazy.mid(0, i).count(true);
        }
        // An auto-increment field reads its new number.
        const QList<FieldDef> fields = m_db->fields(m_table);
        for (int i = 0; i < fields.size() && i < m_columns.size(); ++i) {
            if (fields.at(i).autoIncrement)
                row.values[i] = QVariant(static_cast<qlonglong>(row.rowid));
        }
        const bool wasEof = eof();
        m_rows.push_back(std::move(row));
        ++m_count;
        if (wasEof)
            m_position = static_cast<int>(m_rows.size());
    } else {
        Row &row = m_rows[m_position];
        for (int col : cols) {
            row.values[col] = m_pending.value(col);
            if (m_lazy.at(col))
                row.loadedLazy |= quint64(1) << m_lazy.mid(0, col).count(true);
        }
    }
    m_mode = EditMode::None;
    m_pending.clear();
}

void Recordset::remove()
{
    requireWritable();
    const Row &row = current();
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table));
    sqlite3_stmt *stmt = m_db->prepareCached(sql);
    sqlite3_bind_int64(stmt, 1, row.rowid);
    m_db->runWrite(stmt, sql);
    m_rows[m_position].deleted = true;
    --m_count;
    m_mode = EditMode::None;
}

}  // namespace quillet::store
