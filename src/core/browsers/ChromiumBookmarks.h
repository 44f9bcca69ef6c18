// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/ImportedBookmarks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quillet::browsers {

// Chromium and Chrome: the bookmark_bar, other and synced roots (one heading
// each, as the browser names them), nested children.
ReadBookmarks readChromiumBookmarks(const QByteArray &json);
ReadBookmarks readChromiumBookmarksFile(const QString &path);

// Whether a file starting with `start` is a JSON object, as a profile's
// Bookmarks file is.
bool looksLikeChromiumBookmarks(QByteArrayView start);

} // namespace quillet::browsers
