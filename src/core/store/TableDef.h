// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quillet::store {

// The field kinds a document table may hold.
enum class FieldKind
{
    Text, // sized or engine-default text
    Memo, // long text
    Integer, // 16-bit integer
    Long, // 32-bit integer, optionally auto-increment
    LongBinary, // a byte array written and read in one piece
};

struct FieldDef
{
    QString name;
    FieldKind kind = FieldKind::Text;
    int size = 0; // declared text size; 0 = the engine's default
    bool allowZeroLength = false;
    bool autoIncrement = false;
};

// An index the engine keeps to answer the program's queries quickly; it
// changes no result.
struct IndexDef
{
    QString name;
    QStringList fields;
    // Only rows that meet this condition are indexed; empty for all rows.
    QString where = {};
    // Documents saved before the index existed lack it; their next Save
    // adds it.
    bool addedLater = false;
};

struct TableDef
{
    QString name;
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
};

} // namespace quillet::store
