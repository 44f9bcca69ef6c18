// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"

#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QFile>

namespace quillet::test {

void writeDocument(const QString &path, const QList<NodeRow> &nodes, const QList<ItemRow> &items)
{
    QFile::remove(path);
    store::createEmptyDatabase(path);
    auto db = store::openDocumentDatabase(path);
    store::Transaction transaction(*db);
    auto n = db->openRecordset(QStringLiteral("tbNodes"));
    for (const NodeRow &row : nodes) {
        n->addNew();
        n->setValue(QStringLiteral("Parent"), row.parent);
        n->setValue(QStringLiteral("Title"), row.title);
        n->setValue(QStringLiteral("Key"), row.key);
        n->setValue(QStringLiteral("Image"), row.image);
        n->setValue(QStringLiteral("expImage"), row.expandedImage);
        n->update();
    }
    auto i = db->openRecordset(QStringLiteral("tbItems"));
    for (const ItemRow &row : items) {
        i->addNew();
        i->setValue(QStringLiteral("tKey"), row.headingKey);
        i->setValue(QStringLiteral("lKey"), row.key);
        i->setValue(QStringLiteral("urlName"), row.name);
        i->setValue(QStringLiteral("urlLink"), row.link);
        i->setValue(QStringLiteral("urlDate"), row.date);
        i->setValue(QStringLiteral("urlDescrip"), row.description);
        i->setValue(QStringLiteral("imgFile"), row.pictureFile);
        i->setValue(QStringLiteral("delFlag"), row.delFlag);
        i->update();
    }
    transaction.commit();
}

QStringList itemRows(const QString &path)
{
    auto db = store::openDocumentDatabase(path);
    QStringList rows;
    for (auto rs = db->openRecordset(QStringLiteral("tbItems")); !rs->eof(); rs->moveNext())
        rows << rs->text(QStringLiteral("urlName")) + QLatin1Char(':')
                + QString::number(rs->integer(QStringLiteral("delFlag")));
    return rows;
}

QStringList nodeRows(const QString &path)
{
    auto db = store::openDocumentDatabase(path);
    QStringList rows;
    for (auto rs = db->openRecordset(QStringLiteral("tbNodes")); !rs->eof(); rs->moveNext())
        rows << rs->text(QStringLiteral("Parent")) + QLatin1Char('>')
                + rs->text(QStringLiteral("Key")) + QLatin1Char(':')
                + rs->text(QStringLiteral("Title"));
    return rows;
}

} // namespace quillet::test
