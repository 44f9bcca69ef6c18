// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::store {

// The file `path` finally names: symbolic links followed, "." and ".."
// resolved. A file that does not exist yet is named by its folder's
// canonical path and its own name. Empty for an empty path.
QString canonicalPath(const QString &path);

// True when both paths name the same file, the way a replacement sees it (it
// follows symbolic links). An empty path names no file.
bool samePath(const QString &a, const QString &b);

} // namespace quillet::store
