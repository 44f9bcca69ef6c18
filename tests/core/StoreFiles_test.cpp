// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixtures.h"
#include "core/common/AppHome.h"
#include "core/store/RandomNumbers.h"
#include "core/store/StoreFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace quillet::store;

TEST(SqlQuote, DoublesEverySingleQuote)
{
    EXPECT_EQ(sqlQuote(QString()), QString());
    EXPECT_EQ(sqlQuote(QStringLiteral("O'Brien")), QStringLiteral("O''Brien"));
    EXPECT_EQ(sqlQuote(QStringLiteral("''")), QStringLiteral("''''"));
    EXPECT_EQ(sqlQuote(QStringLiteral("'a'b'")), QStringLiteral("''a''b''"));
}

TEST(RandomKeys, StayInRangeAndRedrawOnCollision)
{
    static const QRegularExpression form(QStringLiteral("^K([1-9][0-9]*)$"));
    for (int i = 0; i < 20000; ++i) {
        const QString key = assignRandomKey([](const QString &) { return true; });
        const auto match = form.match(key);
        ASSERT_TRUE(match.hasMatch()) << key.toStdString();
        const int n = match.captured(1).toInt();
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 10000000);
    }
    // The collection refuses the first draws; the key it finally accepts is
    // the one given.
    QSet<QString> taken;
    int attempts = 0;
    const QString key = assignRandomKey([&](const QString &candidate) {
        if (++attempts <= 3) {
            taken.insert(candidate);
            return false;
        }
        return !taken.contains(candidate);
    });
    EXPECT_EQ(attempts, 4);
    EXPECT_FALSE(taken.contains(key));
}

TEST(TempDatabaseName, IsAFreeNameInTheTempFolder)
{
    const QString name = newTempDatabaseName();
    const QFileInfo info(name);
    EXPECT_EQ(info.absolutePath(), quillet::common::homePath(QStringLiteral("_tmp")));
    EXPECT_TRUE(QDir(info.absolutePath()).exists());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^_tmp[1-9][0-9]{0,6}\\.rdb$"))
                    .match(info.fileName())
                    .hasMatch());
    EXPECT_FALSE(info.exists());
}

TEST(ValidFileName, RejectsTheNineCharactersAndAcceptsExistingNames)
{
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) {
        EXPECT_FALSE(isValidFileName(QStringLiteral("news") + c + QStringLiteral("today")))
            << QString(c).toStdString();
    }
    EXPECT_TRUE(isValidFileName(QStringLiteral("News & weather (2024)")));
    EXPECT_TRUE(isValidFileName(QStringLiteral("Ünïcode — ok")));
    // The probe file is removed again.
    EXPECT_TRUE(QDir(tempFolder()).entryList(QDir::Files).isEmpty());
    // A name that exists already in _tmp is valid as it stands.
    quillet::test::writeFileBytes(tempFolder() + QStringLiteral("/existing"), "x");
    EXPECT_TRUE(isValidFileName(QStringLiteral("existing")));
    EXPECT_TRUE(QFileInfo::exists(tempFolder() + QStringLiteral("/existing")));
    // Names that can never be a file of their own.
    EXPECT_FALSE(isValidFileName(QString()));
    EXPECT_FALSE(isValidFileName(QStringLiteral("..")));
    EXPECT_FALSE(isValidFileName(QString(300, QLatin1Char('a'))));
}

TEST(FileRoutines, DeleteAndCopy)
{
    const QString a = quillet::common::homePath(QStringLiteral("a.bin"));
    const QString b = quillet::common::homePath(QStringLiteral("b.bin"));
    EXPECT_TRUE(deleteFileIfExists(a)); // nothing there
    quillet::test::writeFileBytes(a, QByteArray(100000, 'a'));
    quillet::test::writeFileBytes(b, "old content");
    EXPECT_TRUE(copyFile(a, b));
    EXPECT_EQ(quillet::test::fileBytes(b), QByteArray(100000, 'a'));
    EXPECT_FALSE(copyFile(quillet::common::homePath(QStringLiteral("missing")), b));
    EXPECT_EQ(quillet::test::fileBytes(b).size(), 100000);
    EXPECT_TRUE(deleteFileIfExists(a));
    EXPECT_FALSE(QFileInfo::exists(a));
}
