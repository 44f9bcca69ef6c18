// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace quillet::shell {

// An untitled document that a stopped session left in _tmp.
struct UntitledLeftover
{
    QString path;
    QDateTime lastModified;
    int bookmarks = 0;
};

// Looks at every untitled document in _tmp that nobody holds open: those
// without a bookmark are deleted at once, the others are returned, newest
// first. Files that are no document are left alone.
std::vector<UntitledLeftover> collectUntitledLeftovers();

// Deletes an untitled document with the engine's files beside it.
void deleteUntitledFile(const QString &path);

} // namespace quillet::shell
