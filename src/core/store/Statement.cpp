// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/Statement.h"

#include "core/store/Database.h"

#include <sqlite3.h>

namespace quillet::store {

Statement::Statement(Database &db, const QString &sql)
    : m_db(db)
    , m_sql(sql)
    , m_stmt(db.prepareCached(sql))
{
}

Statement::~Statement()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

Statement &Statement::bind(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    return *this;
}

Statement &Statement::bind(int index, const std::optional<QString> &text)
{
    if (text)
        return bind(index, *text);
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

Statement &Statement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement &Statement::bind(int index, const QByteArray &bytes)
{
    if (bytes.isNull())
        sqlite3_bind_null(m_stmt, index);
    else
        sqlite3_bind_blob(m_stmt, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    return *this;
}

bool Statement::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_db.fail(rc);
    return false;
}

void Statement::run()
{
    m_db.runWrite(m_stmt, m_sql);
}

QString Statement::text(int column) const
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
        sqlite3_column_bytes(m_stmt, column));
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QByteArray Statement::bytes(int column) const
{
    if (isNull(column))
        return {};
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    // An empty blob is not Null.
    return size > 0 ? QByteArray(data, size) : QByteArray("");
}

} // namespace quillet::store
