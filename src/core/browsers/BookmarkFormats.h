// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/ImportedBookmarks.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <span>

namespace quillet::browsers {

// A folder under the home folder that holds one folder per browser profile,
// each with the bookmark file `file`.
struct ProfilePlace
{
    const char *browser; // as the import window lists a profile: "Firefox - default"
    const char *folder;
    const char *file;
};

// One kind of bookmark file Quillet imports. Each reader lives in a file of
// its own; the import window's source list, its file dialogs, the sniffing
// of a chosen file and quillet-cli's import all read this one table.
struct BookmarkFormat
{
    const char *id; // stable, for code and tests
    const char *name; // in quillet-cli's messages: "Firefox places.sqlite"
    const char *sourceLabel; // the import window's row for a file of this kind
    const char *fileFilter; // the file dialog's, "Caption(pattern)|pattern|..."
    // Whether a file starting with these bytes (at most kSniffBytes) is one.
    bool (*recognises)(QByteArrayView start);
    ReadBookmarks (*read)(const QString &path);
    std::span<const ProfilePlace> profiles; // where browsers keep such files
    bool exports; // Export browser bookmarks writes this kind
};

// The formats in the order the import window lists them.
std::span<const BookmarkFormat> bookmarkFormats();
// The format of that id; null for none.
const BookmarkFormat *bookmarkFormat(QByteArrayView id);
// The format Export browser bookmarks writes.
const BookmarkFormat &exportFormat();

// How many bytes of a file the sniffing reads.
inline constexpr qsizetype kSniffBytes = 4096;

// The format the start of the file at `path` shows; null when no format
// knows it or the file can not be read (then `error`, when given, says why).
// The open document is never opened here and is no bookmark file.
const BookmarkFormat *sniffBookmarkFormat(const QString &path, QString *error = nullptr);
// The format of a file the user chose in the import window: the sniffed one,
// else bookmark HTML, whose reader makes what it can of any text.
const BookmarkFormat &guessBookmarkFormat(const QString &path);

// Where bookmarks can be imported from: a file of a format (empty path: the
// file dialog asks for one) or a browser profile's file.
struct BookmarkSource
{
    const BookmarkFormat *format = nullptr;
    QString label; // as the source dialog lists it
    QString path;
};

// The profiles found at the formats' places under `home`, in the order of
// the table and its places, each place's profiles sorted by name.
QList<BookmarkSource> findBrowserProfiles(const QString &home);

// Reads `path` as `format` and imports it under `parent` (see
// importIntoHeading).
ImportResult importBookmarks(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, const BookmarkFormat &format, const QString &path,
    common::ProgressView *progress = nullptr);

} // namespace quillet::browsers
