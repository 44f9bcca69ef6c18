// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace quillet::store {
class Database;
}

namespace quillet::outline {
class HeadingTreeModel;
struct HeadingNode;
} // namespace quillet::outline

namespace quillet::browsers {

// One bookmark as a browser's file holds it.
struct ImportedBookmark
{
    QString name;
    QString link;
    QString date; // "yyyy-MM-dd"; empty when the file gives none
    QString description;
};

// One folder of a browser's file: its bookmarks and sub-folders in file order.
struct ImportedFolder
{
    QString title;
    std::vector<ImportedBookmark> bookmarks;
    std::vector<ImportedFolder> folders;

    // Bookmarks and folders below, this folder itself not counted.
    qint64 entryCount() const;
};

// What a reader made of a file: `root` stands for the heading imported into
// (its title is unused). `problems` say what could not be read, one line
// each; `error` is set when the file could not be read at all.
struct ReadBookmarks
{
    ImportedFolder root;
    QStringList problems;
    QString error;
};

// The local date of a time in seconds since 1970 as "yyyy-MM-dd"; empty for
// times before 1970 or past 9999.
QString dateOfSeconds(qint64 seconds);

// The most folders one inside another an import keeps; deeper ones join the
// folder at this depth (a crafted file must not exhaust the stack).
inline constexpr int kMaxFolderDepth = 100;

// How an import went.
struct ImportResult
{
    int bookmarksAdded = 0;
    int bookmarksSkipped = 0; // a bookmark of that name was under the heading
    int headingsAdded = 0;
    int linksKeptAsText = 0; // javascript: and data: links, moved to the description
    QStringList problems; // what could not be read, one line each
    QString error; // set when nothing was imported: the file or the engine failed

    bool ok() const { return error.isEmpty(); }
};

// Adds `read` under `parent`: each folder becomes a child heading (merged
// with a child of the same title, trimmed and ignoring case), each bookmark a
// pending row of its heading unless one of that name is there already. New
// headings join the tree (keys from the random key routine, icons 1 and 2)
// and reach the file at Save. One transaction: on an engine error nothing is
// added, neither rows nor headings, and `error` says why. Does not mark a
// document modified and does not refill a list; the caller does.
ImportResult importIntoHeading(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, const ReadBookmarks &read, common::ProgressView *progress);

} // namespace quillet::browsers
