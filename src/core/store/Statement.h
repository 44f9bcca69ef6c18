// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct sqlite3_stmt;

namespace quillet::store {

class Database;

// One of the store's own SQL statements (SQLite dialect, parameters bound,
// never quoted), prepared once per document and reset when this goes.
class Statement
{
public:
    Statement(Database &db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // A text is bound as a text, a null QString as an empty one.
    Statement &bind(int index, const QString &text);
    // Absent binds Null.
    Statement &bind(int index, const std::optional<QString> &text);
    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, static_cast<qint64>(value)); }
    // A null byte array binds Null.
    Statement &bind(int index, const QByteArray &bytes);

    // Steps to the next row; false at the end. Engine errors throw.
    bool next();
    // Runs a statement that changes the file (through the write hook).
    void run();

    QString text(int column) const;
    bool isNull(int column) const;
    qint64 integer(int column) const;
    QByteArray bytes(int column) const;

private:
    Database &m_db;
    QString m_sql;
    sqlite3_stmt *m_stmt;
};

} // namespace quillet::store
