// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace quillet::test {

// Writes a document file with exactly the given tbNodes and tbItems rows, for
// tests that start from a file on disk.
struct NodeRow
{
    NodeRow(QString parent, QString title, QString key, int image = 1, int expandedImage = 2)
        : parent(std::move(parent)), title(std::move(title)), key(std::move(key)), image(image),
          expandedImage(expandedImage)
    {
    }
    QString parent;
    QString title;
    QString key;
    int image = 1;
    int expandedImage = 2;
};

struct ItemRow
{
    ItemRow(QString headingKey, QString key, QString name, QString link, int delFlag = 0)
        : headingKey(std::move(headingKey)), key(std::move(key)), name(std::move(name)),
          link(std::move(link)), delFlag(delFlag)
    {
    }
    QString headingKey;
    QString key;
    QString name;
    QString link;
    int delFlag = 0;
    QString date = QStringLiteral("2024-01-02");
    QString description;
    QString pictureFile;
};

void writeDocument(const QString &path, const QList<NodeRow> &nodes, const QList<ItemRow> &items);

// Rows of tbItems as "name:delFlag" in storage order, and of tbNodes as
// "parent>key:title".
QStringList itemRows(const QString &path);
QStringList nodeRows(const QString &path);

} // namespace quillet::test
