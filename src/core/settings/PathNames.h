// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Path pieces with "/" as the only separator.
namespace quillet {

// The part after the last "/"; the whole text when there is none.
QString fileNameOfPath(const QString &path);
// The part before the last "/", without a trailing separator; "" when there is
// no "/" (so the folder of "/name" is "" too).
QString folderOfPath(const QString &path);
// The text after the last dot of the name; "" when there is no dot. A dot in
// a folder name of a full path does not count.
QString extensionOfName(const QString &name);

// A path in double quotes, as messages show it.
QString quotedPath(const QString &path);

} // namespace quillet
