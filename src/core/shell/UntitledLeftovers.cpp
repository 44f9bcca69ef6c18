// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/UntitledLeftovers.h"

#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace quillet::shell {

std::vector<UntitledLeftover> collectUntitledLeftovers()
{
    static const QRegularExpression untitledName(QStringLiteral("^_tmp[0-9]+\\.rdb$"));
    std::vector<UntitledLeftover> found;
    const QDir folder(store::tempFolder());
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files)) {
        if (!untitledName.match(info.fileName()).hasMatch())
            continue;
        int bookmarks = 0;
        try {
            // A running Quillet holds its untitled document: it fails here.
            const std::unique_ptr<store::Database> db
                = store::openDocumentDatabase(info.filePath());
            bookmarks = store::BookmarkTable(*db).countLive();
        } catch (const store::EngineError &) {
            continue;
        }
        if (bookmarks == 0) {
            deleteUntitledFile(info.filePath());
            continue;
        }
        // The last writes may still be in the engine's log beside it.
        const QFileInfo log(info.filePath() + QStringLiteral("-wal"));
        const QDateTime written = log.exists() && log.lastModified() > info.lastModified()
            ? log.lastModified()
            : info.lastModified();
        found.push_back({info.filePath(), written, bookmarks});
    }
    std::sort(found.begin(), found.end(), [](const UntitledLeftover &a, const UntitledLeftover &b) {
        return a.lastModified > b.lastModified;
    });
    return found;
}

void deleteUntitledFile(const QString &path)
{
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        store::deleteFileIfExists(path + QLatin1String(suffix));
    store::deleteFileIfExists(path);
}

} // namespace quillet::shell
