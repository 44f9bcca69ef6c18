// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace quillet::store {

// Compacts `source` (closed) into `target` through a FileReplacement: the
// target, or the file a link of that name points to, is replaced only by a
// complete, synced copy. `source` and `target` may be the same file. On
// failure the target is as it was and no work file stays. `beforeReplace`
// runs between the compaction and the rename.
void compactInto(
    const QString &source, const QString &target, const std::function<void()> &beforeReplace = {});

// The same from a `source` that is only read (Restore's backup, which may
// lie on read-only media).
void compactReadOnlyInto(const QString &source, const QString &target);

// True when another connection, of this program or another, holds the
// document open.
bool isHeldOpen(const QString &path);

// True when `target` may not be replaced: it is a folder, the document open
// here (`openDocument`, which may be empty), or a file held open elsewhere.
bool isInUse(const QString &target, const QString &openDocument);

// The SQLCipher version the engine runs on ("3.4.1"); empty when unknown.
QString cipherVersion();

} // namespace quillet::store
