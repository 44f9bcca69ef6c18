// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace quillet::store {

// The work file a compaction writes before it takes the target's name.
QString compactionWorkFile(const QString &target); // target + ".temp"

// Makes room for a work file: an old one left by an interrupted run is
// removed. Throws EngineError when it cannot be.
void removeStaleFile(const QString &path);

// Renames `source` over `target` in one step, so that `target` is always
// either the old file or the new one, never missing. Throws EngineError.
void replaceFile(const QString &source, const QString &target);

// Compacts `source` (closed) into `target` through the work file, which is
// renamed over the target only when complete. `source` and `target` may be
// the same file. On failure the target is as it was and no work file stays.
// `beforeReplace` runs between the compaction and the rename.
void compactInto(
    const QString &source, const QString &target, const std::function<void()> &beforeReplace = {});

// True when another connection, of this program or another, holds the
// document open.
bool isHeldOpen(const QString &path);

// The SQLCipher version the engine runs on ("3.4.1"); empty when unknown.
QString cipherVersion();

} // namespace quillet::store
