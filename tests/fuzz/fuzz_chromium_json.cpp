// SPDX-License-Identifier: GPL-3.0-or-later
// The Chromium bookmark file reader on any bytes: refused or read, never a
// crash or a hang, and never nested deeper than an import keeps.
#include "core/browsers/ChromiumBookmarks.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const browsers::ReadBookmarks read = browsers::readChromiumBookmarks(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    std::vector<std::pair<const browsers::ImportedFolder *, int>> pending {{&read.root, 0}};
    while (!pending.empty()) {
        const auto [folder, depth] = pending.back();
        pending.pop_back();
        if (depth > browsers::kMaxFolderDepth) {
            std::fprintf(stderr, "Chromium reader: folders %d deep\n", depth);
            std::abort();
        }
        for (const browsers::ImportedFolder &sub : folder->folders)
            pending.emplace_back(&sub, depth + 1);
    }
    return 0;
}
