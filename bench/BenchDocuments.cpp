// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchDocuments.h"

#include "core/outline/Workspace.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

namespace quillet::bench {

void addNodeRow(store::Recordset &nodes, const QString &parent, const QString &title,
    const QString &key, int image, int expandedImage)
{
    nodes.addNew();
    nodes.setValue(QStringLiteral("Parent"), parent);
    nodes.setValue(QStringLiteral("Title"), title);
    nodes.setValue(QStringLiteral("Key"), key);
    nodes.setValue(QStringLiteral("Image"), image);
    nodes.setValue(QStringLiteral("expImage"), expandedImage);
    nodes.update();
}

std::unique_ptr<store::Database> documentOfHeadings(
    const QString &path, int headings, QStringList &keys)
{
    QFile::remove(path);
    store::createEmptyDatabase(path);
    auto db = store::openDocumentDatabase(path);
    store::Transaction transaction(*db);
    keys = QStringList {QStringLiteral("kRoot")};
    {
        auto nodes = db->openRecordset(QStringLiteral("tbNodes"));
        addNodeRow(*nodes, QStringLiteral("0"), QStringLiteral("my Favroites"), keys[0]);
        for (int i = 1; i < headings; ++i) {
            keys << QStringLiteral("K%1").arg(i);
            addNodeRow(*nodes, keys[(i - 1) / 4], QStringLiteral("Heading %1").arg(i), keys.last());
        }
    }
    transaction.commit();
    return db;
}

const char kInsertBookmark[]
    = "INSERT INTO tbItems (tKey, lKey, urlName, urlLink, urlDate, urlDescrip, imgFile, delFlag)"
      " VALUES (?1, ?2, ?3, ?4, '2024-05-17', ?5, '', 0)";

QString benchFolder()
{
    static QTemporaryDir dir;
    return dir.path();
}

QString documentWith(int headings, int bookmarks, bool pending)
{
    static QHash<QString, QString> made;
    const QString id = QStringLiteral("%1-%2-%3").arg(headings).arg(bookmarks).arg(pending);
    if (made.contains(id))
        return made.value(id);
    const QString path = benchFolder() + QStringLiteral("/doc-") + id + QStringLiteral(".rdb");
    QFile::remove(path);
    store::createEmptyDatabase(path);
    auto db = store::openDocumentDatabase(path);
    store::Transaction transaction(*db);
    QStringList keys {QStringLiteral("kRoot")};
    {
        auto nodes = db->openRecordset(QStringLiteral("tbNodes"));
        auto add = [&](const QString &parent, const QString &title, const QString &key) {
            addNodeRow(*nodes, parent, title, key);
        };
        add(QStringLiteral("0"), QStringLiteral("my Favroites"), keys.first());
        // Depth-first pre-order: each new heading hangs under one of the last
        // few written, which keeps depth at most 8.
        QList<QString> chain {keys.first()};
        for (int i = 1; i < headings; ++i) {
            while (chain.size() > 8 || (chain.size() > 1 && i % (chain.size() + 1) == 0))
                chain.removeLast();
            const QString key = QStringLiteral("K%1").arg(i);
            add(chain.last(), QStringLiteral("Heading %1").arg(i), key);
            keys << key;
            chain << key;
        }
    }
    auto items = db->openRecordset(QStringLiteral("tbItems"));
    static const char *words[] = {"alpha", "news", "recipes", "linux", "music", "travel", "kernel",
        "garden", "photo", "maps", "forum", "docs"};
    for (int i = 0; i < bookmarks; ++i) {
        const QString word = QLatin1String(words[i % 12]);
        items->addNew();
        const QString heading
            = i < 10000 || keys.size() == 1 ? keys.first() : keys.at(1 + i % (keys.size() - 1));
        items->setValue(QStringLiteral("tKey"), heading);
        items->setValue(QStringLiteral("lKey"), QStringLiteral("K%1").arg(i + 1));
        items->setValue(QStringLiteral("urlName"),
            QStringLiteral("%1 page %2%3")
                .arg(word)
                .arg(i)
                .arg(i % 1000 == 0 ? QStringLiteral(" needle") : QString()));
        // Every 50th row repeats the link of the row before it.
        const int linkNo = i % 50 == 1 ? i - 1 : i;
        items->setValue(QStringLiteral("urlLink"),
            QStringLiteral("https://www.%1-site.example.org/articles/%2/index.html")
                .arg(QLatin1String(words[linkNo % 12]))
                .arg(linkNo));
        items->setValue(QStringLiteral("urlDate"), QStringLiteral("2024-05-17"));
        items->setValue(QStringLiteral("urlDescrip"),
            QStringLiteral("Notes about %1 number %2: a page worth keeping.").arg(word).arg(i));
        items->setValue(QStringLiteral("imgFile"), QString(QLatin1String("")));
        items->setValue(QStringLiteral("delFlag"), pending ? (i % 2 ? -1 : 1) : 0);
        items->update();
    }
    transaction.commit();
    db.reset();
    made.insert(id, path);
    return path;
}

void openFreshCopy(outline::Workspace &workspace, const QString &source, const QString &work)
{
    QFile::remove(work);
    store::copyFile(source, work);
    workspace.document().adoptOpened(store::openDocumentDatabase(work), work);
}

} // namespace quillet::bench
