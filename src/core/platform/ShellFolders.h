// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::platform {

// Shell folder ids the program asks for.
constexpr int kDesktopFolderId = 0;
constexpr int kFavoritesFolderId = 6;

// The user's desktop folder; the home folder when there is none. No trailing "/".
QString desktopFolder();
// $QUILLET_FAVORITES when set and an existing folder, else ~/Favorites when it
// exists, else "" (the Favorites commands then do nothing). No trailing "/".
QString favoritesFolder();
// The folder of a shell id WITH a trailing "/", or "" when the id is unknown
// or its folder cannot be found.
QString getSpecialFolder(int id);

} // namespace quillet::platform
