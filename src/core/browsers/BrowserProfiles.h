// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/ImportedBookmarks.h"

#include <QList>
#include <QString>

namespace quillet::browsers {

// Where bookmarks can be imported from.
enum class SourceKind
{
    BookmarkHtml,
    Firefox, // a profile's places.sqlite
    Chromium // a Chromium or Chrome profile's Bookmarks JSON file
};

struct BookmarkSource
{
    SourceKind kind = SourceKind::BookmarkHtml;
    QString label; // as the source dialog lists it
    QString path;
};

// The Firefox, Chromium and Chrome profiles found at their usual places
// under `home`, Firefox first, each kind sorted by path.
QList<BookmarkSource> findBrowserProfiles(const QString &home);

// The kind of a file the user chose: places.sqlite is Firefox's, a JSON
// text Chromium's, anything else bookmark HTML.
SourceKind guessSourceKind(const QString &path);

// Firefox: folders and bookmarks under the menu, toolbar, other and mobile
// roots (one heading each), with descriptions where the profile keeps them.
// Reads a copy, so a running Firefox holding the file does not matter.
ReadBookmarks readFirefoxPlaces(const QString &path);
// Chromium and Chrome: the bookmark_bar, other and synced roots (one heading
// each, as the browser names them), nested children.
ReadBookmarks readChromiumBookmarks(const QString &path);
ReadBookmarks readChromiumBookmarks(const QByteArray &json);

// Reads any source and imports it under `parent` (see importIntoHeading).
ImportResult importBookmarks(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, SourceKind kind, const QString &path,
    common::ProgressView *progress = nullptr);

} // namespace quillet::browsers
