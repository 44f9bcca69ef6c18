// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/ImportedBookmarks.h"

#include <QByteArrayView>
#include <QString>

namespace quillet::browsers {

// Firefox: folders and bookmarks under the menu, toolbar, other and mobile
// roots (one heading each), with descriptions where the profile keeps them.
// Reads a copy, so a running Firefox holding the file does not matter.
ReadBookmarks readFirefoxPlaces(const QString &path);

// Whether a file starting with `start` is an SQLite database, as a profile's
// places.sqlite is.
bool looksLikeFirefoxPlaces(QByteArrayView start);

} // namespace quillet::browsers
