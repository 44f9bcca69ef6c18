// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/TableDef.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace quillet::store {

class Database;

// A set of rows read from a table or a Jet SQL text, with a current record,
// as the program's code walks them: BOF/EOF, MoveFirst/Last/Next, field by
// name, AddNew/Edit/Update/Delete. Rows of "select * from <table> ..." and of
// a table name can be changed; other texts give read-only rows.
//
// Values: a Null field is an invalid QVariant; text is QString (an empty
// text stays distinguishable from Null), integers are qlonglong and Long
// Binary fields QByteArray. Long Binary fields are read only when asked for,
// so scanning many rows never drags their pictures through memory.
class Recordset
{
public:
    Recordset(Database &db, const QString &tableOrSql);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    bool bof() const
    {
        ensureLoaded();
        return m_position < 0 || m_rows.empty();
    }
    bool eof() const
    {
        ensureLoaded();
        return m_position >= static_cast<int>(m_rows.size()) || m_rows.empty();
    }
    bool isEmpty() const { return bof() && eof(); }
    void moveFirst();
    void moveLast();
    void moveNext();
    // Absolute position (0-based, in the order the rows were read), for
    // callers that index the rows themselves.
    void moveTo(int index);
    int position() const { return m_position; }
    int recordCount() const
    {
        ensureLoaded();
        return m_count;
    }

    QVariant value(const QString &field) const;
    // Convenience readers; Null reads as empty / 0.
    QString text(const QString &field) const { return value(field).toString(); }
    int integer(const QString &field) const { return value(field).toInt(); }
    QByteArray bytes(const QString &field) const { return value(field).toByteArray(); }
    bool isNull(const QString &field) const { return !value(field).isValid(); }
    QStringList fieldNames() const { return m_columns; }

    void addNew();
    void edit();
    void setValue(const QString &field, const QVariant &value);
    void update();
    void cancelUpdate();
    // Deletes the current record; it stays current (and unreadable) until
    // the next move, as with the program's engine.
    void remove();
    void close();

private:
    struct Row
    {
        qint64 rowid = 0;
        QList<QVariant> values;
        quint64 loadedLazy = 0; // bit per lazy column already fetched
        bool deleted = false;
    };
    enum class EditMode
    {
        None,
        AddNew,
        Edit
    };

    int column(const QString &field) const;
    const Row &current() const;
    void requireWritable() const;
    QVariant fetchLazy(const Row &row, int column) const;
    QString writeSql(EditMode mode, quint64 columns) const;
    // Rows of a whole table are read only when first walked, so a recordset
    // opened just to add rows never reads the table.
    void ensureLoaded() const;

    Database *m_db;
    QString m_table; // empty for read-only rows
    QStringList m_columns; // field names, in table order
    QList<quint64> m_lazyBit; // per column: its bit when read on demand (Long Binary), else 0
    int m_autoIncrementColumn = -1;
    QString m_selectSql;
    bool m_hasRowid = false;
    mutable bool m_loaded = false;
    mutable std::vector<Row> m_rows;
    int m_position = 0;
    mutable int m_count = 0;
    EditMode m_mode = EditMode::None;
    QList<QVariant> m_pending; // per column, valid where m_pendingMask has its bit
    quint64 m_pendingMask = 0;
    mutable QHash<quint64, QString> m_sqlCache; // (mode, columns) -> statement text
};

} // namespace quillet::store
