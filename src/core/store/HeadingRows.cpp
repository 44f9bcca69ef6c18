// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/HeadingRows.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"

namespace quillet::store {

qint64 countHeadingRows(Database &db)
{
    Statement s(db, QStringLiteral("SELECT count(*) FROM tbNodes"));
    return s.next() ? s.integer(0) : 0;
}

void readHeadingRows(Database &db, const std::function<void(const HeadingRow &)> &visit)
{
    Statement s(db, QStringLiteral("SELECT Parent, Title, Key, Image, expImage FROM tbNodes"));
    HeadingRow row;
    while (s.next()) {
        row.parentKey = s.text(0);
        row.title = s.text(1);
        row.key = s.text(2);
        row.image = static_cast<int>(s.integer(3));
        row.expandedImage = static_cast<int>(s.integer(4));
        visit(row);
    }
}

void replaceHeadingRows(
    Database &db, const std::vector<HeadingRow> &rows, const std::function<void()> &written)
{
    TransactionIfNone transaction(db);
    db.deleteTable(QStringLiteral("tbNodes"));
    createTable(db, DocumentTable::Nodes);
    for (const HeadingRow &row : rows) {
        Statement s(db,
            QStringLiteral("INSERT INTO tbNodes (Parent, Title, Key, Image, expImage) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)"));
        s.bind(1, row.parentKey)
            .bind(2, row.title)
            .bind(3, row.key)
            .bind(4, row.image)
            .bind(5, row.expandedImage);
        s.run();
        if (written)
            written();
    }
    transaction.commit();
}

} // namespace quillet::store
