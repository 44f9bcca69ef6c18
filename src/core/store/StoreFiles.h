// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::store {

// Full path of a free name for an untitled document in the _tmp folder of
// the application home ("_tmp" + N + ".rdb", N from 1 to 1000000).
QString newTempDatabaseName();

// The _tmp folder of the application home, created when missing.
QString tempFolder();

// The text for use inside a single-quoted SQL literal: every ' doubled.
QString sqlQuote(const QString &text);

// True when the name can be the name of a file: none of \ / : * ? " < > |,
// and a file of that name can be made (probed in _tmp). Never throws.
bool isValidFileName(const QString &name);

// True when the file did not exist or was deleted.
bool deleteFileIfExists(const QString &path);

// Copies one closed file; an existing target (or the file a link of that
// name points to) is replaced through a FileReplacement, so a failed copy
// never leaves half a document behind. False when the copy failed; `error`,
// when given, then receives the reason as an errno value.
bool copyFile(const QString &source, const QString &target, int *error = nullptr);

} // namespace quillet::store
