// SPDX-License-Identifier: GPL-3.0-or-later
// The Firefox places.sqlite reader on any bytes written to a file: refused or
// read, never a crash or a hang, and never nested deeper than an import
// keeps. The reader opens the file with SQLite's defensive settings on.
#include "core/browsers/FirefoxPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace quillet;

namespace {

QTemporaryDir &work()
{
    static std::unique_ptr<QTemporaryDir> dir = [] {
        // The reader copies the file into a work folder of its own: in
        // memory too, where there is such a folder.
        const QString shm = QStringLiteral("/dev/shm");
        if (QFileInfo(shm).isWritable())
            qputenv("TMPDIR", shm.toUtf8());
        return std::make_unique<QTemporaryDir>();
    }();
    return *dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = work().filePath(QStringLiteral("places.sqlite"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const browsers::ReadBookmarks read = browsers::readFirefoxPlaces(path);
    std::vector<std::pair<const browsers::ImportedFolder *, int>> pending {{&read.root, 0}};
    while (!pending.empty()) {
        const auto [folder, depth] = pending.back();
        pending.pop_back();
        if (depth > browsers::kMaxFolderDepth) {
            std::fprintf(stderr, "places reader: folders %d deep\n", depth);
            std::abort();
        }
        for (const browsers::ImportedFolder &sub : folder->folders)
            pending.emplace_back(&sub, depth + 1);
    }
    return 0;
}
