// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/ImportedBookmarks.h"

#include <QString>

class QFile;

namespace quillet::browsers {

// What the readers of the bookmark formats share.

// What a reader says of a file it could not read at all.
ReadBookmarks readFailure(const QString &error);

// The problem a reader lists when it met folders deeper than kMaxFolderDepth.
QString tooDeepProblem();

// Opens `file` to read; empty when it is open, else why it is not. The open
// document is never opened: closing a descriptor of it would drop the
// engine's locks.
QString openToRead(QFile &file);

} // namespace quillet::browsers
