// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScopedEnvironment.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/PathNames.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace quillet;
using quillet::test::ScopedEnvironment;

TEST(PathNames, Pieces)
{
    EXPECT_EQ(fileNameOfPath("/home/u/list.rdb"), "list.rdb");
    EXPECT_EQ(fileNameOfPath("list.rdb"), "list.rdb");
    EXPECT_EQ(fileNameOfPath("/home/u/"), "");
    EXPECT_EQ(fileNameOfPath(""), "");

    EXPECT_EQ(folderOfPath("/home/u/list.rdb"), "/home/u");
    EXPECT_EQ(folderOfPath("/home/u/"), "/home/u");
    EXPECT_EQ(folderOfPath("/list.rdb"), "");
    EXPECT_EQ(folderOfPath("list.rdb"), "");

    EXPECT_EQ(extensionOfName("list.rdb"), "rdb");
    EXPECT_EQ(extensionOfName("a.tar.gz"), "gz");
    EXPECT_EQ(extensionOfName("name."), "");
    EXPECT_EQ(extensionOfName(".hidden"), "hidden");
    EXPECT_EQ(extensionOfName("README"), "");
    EXPECT_EQ(extensionOfName("/home/u.v/README"), "");
    EXPECT_EQ(extensionOfName("/home/u.v/x.URL"), "URL");
}

TEST(ShellFolders, DesktopFallsBackToHome)
{
    QTemporaryDir home;
    ScopedEnvironment h("HOME", home.path());
    ScopedEnvironment c("XDG_CONFIG_HOME", std::nullopt);
    const QString homePath = QDir::cleanPath(home.path());

    EXPECT_EQ(platform::desktopFolder(), homePath);
    EXPECT_EQ(platform::getSpecialFolder(platform::kDesktopFolderId), homePath + "/");

    ASSERT_TRUE(QDir(home.path()).mkdir("Desktop"));
    EXPECT_EQ(platform::desktopFolder(), homePath + "/Desktop");
    EXPECT_EQ(platform::getSpecialFolder(0), homePath + "/Desktop/");
    EXPECT_EQ(platform::getSpecialFolder(5), "");
}

TEST(ShellFolders, FavoritesFromEnvironmentThenHome)
{
    QTemporaryDir home;
    QTemporaryDir favorites;
    ScopedEnvironment h("HOME", home.path());

    {
        ScopedEnvironment f("QUILLET_FAVORITES", std::nullopt);
        EXPECT_EQ(platform::favoritesFolder(), "");
        EXPECT_EQ(platform::getSpecialFolder(platform::kFavoritesFolderId), "");
    }
    ASSERT_TRUE(QDir(home.path()).mkdir("Favorites"));
    {
        ScopedEnvironment f("QUILLET_FAVORITES", home.path() + "/no-such-folder");
        EXPECT_EQ(platform::favoritesFolder(), QDir::cleanPath(home.path()) + "/Favorites");
    }
    {
        ScopedEnvironment f("QUILLET_FAVORITES", favorites.path() + "/");
        EXPECT_EQ(platform::favoritesFolder(), QDir::cleanPath(favorites.path()));
        EXPECT_EQ(platform::getSpecialFolder(6), QDir::cleanPath(favorites.path()) + "/");
    }
}
