// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/ShellFolders.h"
#include "core/settings/PathNames.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace quillet;

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

namespace {

// Sets or clears an environment variable for one scope.
class EnvVar
{
public:
    EnvVar(const char *name, const std::optional<QString> &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_had(qEnvironmentVariableIsSet(name))
    {
        if (value)
            qputenv(name, value->toUtf8());
        else
            qunsetenv(name);
    }
    ~EnvVar()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

} // namespace

TEST(ShellFolders, DesktopFallsBackToHome)
{
    QTemporaryDir home;
    EnvVar h("HOME", home.path());
    EnvVar c("XDG_CONFIG_HOME", std::nullopt);
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
    EnvVar h("HOME", home.path());

    {
        EnvVar f("QUILLET_FAVORITES", std::nullopt);
        EXPECT_EQ(platform::favoritesFolder(), "");
        EXPECT_EQ(platform::getSpecialFolder(platform::kFavoritesFolderId), "");
    }
    ASSERT_TRUE(QDir(home.path()).mkdir("Favorites"));
    {
        EnvVar f("QUILLET_FAVORITES", home.path() + "/no-such-folder");
        EXPECT_EQ(platform::favoritesFolder(), QDir::cleanPath(home.path()) + "/Favorites");
    }
    {
        EnvVar f("QUILLET_FAVORITES", favorites.path() + "/");
        EXPECT_EQ(platform::favoritesFolder(), QDir::cleanPath(favorites.path()));
        EXPECT_EQ(platform::getSpecialFolder(6), QDir::cleanPath(favorites.path()) + "/");
    }
}
