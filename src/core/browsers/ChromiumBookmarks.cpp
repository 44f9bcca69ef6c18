// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/ChromiumBookmarks.h"

#include "core/browsers/BookmarkFileReading.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillet::browsers {

namespace {

// Seconds from 1601-01-01 (Chromium's epoch) to 1970-01-01.
constexpr qint64 kChromiumEpochOffset = 11644473600LL;

// The entries of `children` into `top`, which lies at `depth`.
void fillChromium(ImportedFolder &top, const QJsonArray &children, int depth, ReadBookmarks &read)
{
    struct Level
    {
        ImportedFolder *folder;
        QJsonArray entries;
        qsizetype next;
        int depth;
    };
    std::vector<Level> levels {{&top, children, 0, depth}};
    bool tooDeep = false;
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.entries.size()) {
            levels.pop_back();
            continue;
        }
        const QJsonObject node = level.entries.at(level.next++).toObject();
        ImportedFolder &folder = *level.folder;
        const int folderDepth = level.depth; // `level` is stale once another is entered
        const QString type = node.value(QLatin1String("type")).toString();
        if (type == QLatin1String("folder")) {
            const QJsonArray below = node.value(QLatin1String("children")).toArray();
            if (folderDepth >= kMaxFolderDepth) {
                tooDeep = true;
                levels.push_back({&folder, below, 0, folderDepth});
                continue;
            }
            folder.folders.push_back({node.value(QLatin1String("name")).toString(), {}, {}});
            levels.push_back({&folder.folders.back(), below, 0, folderDepth + 1});
        } else if (type == QLatin1String("url")) {
            const qint64 micro = node.value(QLatin1String("date_added")).toString().toLongLong();
            folder.bookmarks.push_back({node.value(QLatin1String("name")).toString(),
                node.value(QLatin1String("url")).toString(),
                micro > 0 ? dateOfSeconds(micro / 1000000 - kChromiumEpochOffset) : QString(),
                QString()});
        } else {
            read.problems << QStringLiteral("An entry of type \"%1\" was left out.").arg(type);
        }
    }
    if (tooDeep && !read.problems.contains(tooDeepProblem()))
        read.problems << tooDeepProblem();
}

} // namespace

ReadBookmarks readChromiumBookmarks(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonObject roots = document.object().value(QLatin1String("roots")).toObject();
    if (error.error != QJsonParseError::NoError || roots.isEmpty())
        return readFailure(QStringLiteral("This is not a Chromium or Chrome bookmark file."));
    ReadBookmarks read;
    const std::pair<const char *, const char *> names[] = {
        {"bookmark_bar", "Bookmarks bar"},
        {"other", "Other bookmarks"},
        {"synced", "Mobile bookmarks"},
    };
    for (const auto &[key, fallback] : names) {
        const QJsonObject root = roots.value(QLatin1String(key)).toObject();
        QString title = root.value(QLatin1String("name")).toString();
        ImportedFolder folder {title.isEmpty() ? QLatin1String(fallback) : title, {}, {}};
        fillChromium(folder, root.value(QLatin1String("children")).toArray(), 1, read);
        if (!folder.bookmarks.empty() || !folder.folders.empty())
            read.root.folders.push_back(std::move(folder));
    }
    return read;
}

ReadBookmarks readChromiumBookmarksFile(const QString &path)
{
    QFile file(path);
    if (const QString unreadable = openToRead(file); !unreadable.isEmpty())
        return readFailure(unreadable);
    return readChromiumBookmarks(file.readAll());
}

bool looksLikeChromiumBookmarks(QByteArrayView start)
{
    // A JSON object; its reader tells a bookmark file from any other.
    return start.first(std::min<qsizetype>(start.size(), 64)).trimmed().startsWith('{');
}

} // namespace quillet::browsers
