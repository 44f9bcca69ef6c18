// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;

// The guards that keep a command from replacing the open document ask this:
// a replacement follows links, so a link to the document is the document.
TEST(FileIdentity, LinksFolderLinksAndMissingFilesAreSeenThrough)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath("list.rdb");
    QFile file(doc);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(doc, dir.filePath("link.rdb")));
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("same")));

    EXPECT_TRUE(store::samePath(doc, dir.filePath("link.rdb")));
    EXPECT_TRUE(store::samePath(doc, dir.filePath("same/list.rdb")));
    EXPECT_TRUE(store::samePath(doc, dir.filePath("sub/../list.rdb")));
    // Not there yet: named through its folder.
    EXPECT_TRUE(store::samePath(dir.filePath("new.html"), dir.filePath("same/new.html")));
    EXPECT_FALSE(store::samePath(doc, dir.filePath("new.html")));
    EXPECT_FALSE(store::samePath(doc, QString()));
    EXPECT_FALSE(store::samePath(QString(), QString()));
}
