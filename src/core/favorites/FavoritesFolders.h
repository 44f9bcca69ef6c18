// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// The file-system side of the Favorites exchange. Names that come from a
// document or from the folder itself never lead outside the folder: links are
// never followed into folders, entered, or deleted through, and a name that
// is not one plain path component is never used.
namespace quillet::favorites {

// One entry of a folder: its name as stored on disk and as text.
struct FolderEntry
{
    QByteArray raw;
    QString name;
};

// One folder of the Favorites tree, listed once by the counting walk and
// walked again by the import (so both see the same entries).
struct FolderListing
{
    QByteArray path; // ends in "/"
    // Files: every entry that is not a folder (hidden ones too; a link to
    // anything but a folder counts as a file). Sub-folders: only those with
    // "exactly the directory attribute": a real folder (not a link), not
    // hidden (the name does not start with "."), writable. Each has its own
    // listing in `children`, in the same order.
    std::vector<FolderEntry> files;
    std::vector<FolderEntry> folders;
    std::vector<FolderListing> children;
    int error = 0; // errno when the folder could not be listed (whole)
};

// Called after each listed entry (the walk lets the window repaint there).
using EntryVisited = std::function<void()>;

// Lists `path` (with or without a final "/") and its plain sub-folders,
// recursively: CountFavoriteEntries. Returns the number of files plus the
// number of sub-folders of the whole tree. A folder that cannot be read
// counts as empty, with its `error` set. Names are sorted as the Windows file system lists them
// (ignoring case), so an import makes the same order on every machine.
qint64 listFavoritesTree(
    const QByteArray &path, FolderListing &listing, const EntryVisited &visited = {});

// A heading title or bookmark name that can be one path component: not
// empty, not "." or "..", and without "/" or NUL.
bool isSinglePathComponent(const QString &name);

// The folder `path` (ending in "/") as a real folder: created when missing.
// False when it cannot be made, or when something else (a file, a link) has
// that name.
bool ensureRealFolder(const QByteArray &path);

// ClearFolder: deletes every file of the folder (hidden ones too; a link is a
// file, deleted itself and never what it points to), then clears and removes
// every real sub-folder whose name does not start with "." (hidden folders
// are not listed and stay). Failures are skipped: what cannot be deleted
// stays, with the folders holding it.
void clearFolder(const QString &folder, const EntryVisited &visited = {});

} // namespace quillet::favorites
