// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace quillet;

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("test.ini")) const
    {
        return m_dir.filePath(name);
    }
    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("test.ini")) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(IniFileTest, ReadMatchesIgnoringCaseAndFirstMatchWins)
{
    const QString file = write("; comment=1\n"
                               "orphan=before any section\n"
                               "[Main]\n"
                               "  Name =  first value  \n"
                               "name=second\n"
                               "Link=http://x/?a=b&c=d\n"
                               "Empty=\n"
                               "[Broken\n"
                               "After=still in main\n"
                               "[main]\n"
                               "Other=in duplicate section\n");
    EXPECT_EQ(readIniValue("MAIN", "NAME", file), "first value");
    EXPECT_EQ(readIniValue("Main", "link", file), "http://x/?a=b&c=d");
    EXPECT_EQ(readIniValue("Main", "Empty", file, "dflt"), "");
    // Only the first [Main] is searched; a header without "]" does not end it.
    EXPECT_EQ(readIniValue("Main", "Other", file, "dflt"), "dflt");
    EXPECT_EQ(readIniValue("Main", "After", file), "still in main");
    EXPECT_EQ(readIniValue("Broken", "After", file, "dflt"), "dflt");
    // Comments and keys outside every section are not found.
    EXPECT_EQ(readIniValue("Main", "; comment", file), "");
    EXPECT_EQ(readIniValue("", "orphan", file), "");
    EXPECT_EQ(readIniValue("Main", "Missing", file, "dflt"), "dflt");
    EXPECT_EQ(readIniValue("Missing", "Name", file), "");
    EXPECT_EQ(readIniValue("Main", "Name", path("nofile.ini"), "dflt"), "dflt");
}

TEST_F(IniFileTest, ValuesAreReadWhole)
{
    const QString longValue(5000, u'x');
    IniDocument doc;
    doc.setContent("[S]\nK=" + longValue.toUtf8() + "\n");
    EXPECT_EQ(doc.value("S", "K"), longValue);
}

TEST_F(IniFileTest, WriteCreatesFileSectionAndKey)
{
    const QString file = path();
    ASSERT_TRUE(writeIniValue("InternetShortcut", "URL", "http://a.example/", file));
    ASSERT_TRUE(writeIniValue("Other", "A", "1", file));
    ASSERT_TRUE(writeIniValue("InternetShortcut", "IconIndex", "0", file));
    EXPECT_EQ(read(file),
        "[InternetShortcut]\n"
        "URL=http://a.example/\n"
        "IconIndex=0\n"
        "[Other]\n"
        "A=1\n");
}

TEST_F(IniFileTest, WriteChangesOnlyTheKeyLine)
{
    // Duplicate keys and sections, comments, blank lines, odd spacing and a
    // last line without a line end all survive.
    const QByteArray before = "; settings\r\n"
                              "[View]\r\n"
                              "panel = True\r\n"
                              "Panel=stays second\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "x=1\r\n"
                              "[view]\r\n"
                              "Panel=dup section\r\n"
                              "tail without end";
    const QString file = write(before);
    ASSERT_TRUE(writeIniValue("VIEW", "Panel", "False", file));
    EXPECT_EQ(read(file), QByteArray(before).replace("panel = True", "panel = False"));

    // A new key goes after the section's last non-blank line, with the file's line end.
    ASSERT_TRUE(writeIniValue("view", "Descrip", "True", file));
    EXPECT_EQ(read(file),
        QByteArray(before)
            .replace("panel = True", "panel = False")
            .replace("stays second\r\n", "stays second\r\nDescrip=True\r\n"));

    // A new section at the end gives the last line its line end first.
    ASSERT_TRUE(writeIniValue("New", "k", "v", file));
    EXPECT_TRUE(read(file).endsWith("tail without end\r\n[New]\r\nk=v\r\n"));
}

TEST_F(IniFileTest, LineEndsOfEveryKindAreKept)
{
    const QByteArray before = "[A]\rk=1\r\r[B]\nk=2\r\nz=3\n";
    const QString file = write(before);
    EXPECT_EQ(readIniValue("A", "k", file), "1");
    EXPECT_EQ(readIniValue("B", "z", file), "3");
    ASSERT_TRUE(writeIniValue("B", "k", "two", file));
    ASSERT_TRUE(writeIniValue("A", "new", "n", file));
    // New lines take the first line end the file uses (CR here).
    EXPECT_EQ(read(file), "[A]\rk=1\rnew=n\r\r[B]\nk=two\r\nz=3\n");
}

TEST_F(IniFileTest, Windows1252LinesAreReadAndKept)
{
    // "café €" in code page 1252 next to a UTF-8 line.
    const QByteArray before = "[S]\n"
                              "Old=caf\xE9 \x80\n"
                              "New=caf\xC3\xA9\n"
                              "Undefined=\x81\x8D\n";
    const QString file = write(before);
    EXPECT_EQ(readIniValue("S", "Old", file), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
    EXPECT_EQ(readIniValue("S", "New", file), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(readIniValue("S", "Undefined", file), QString(QChar(0x81)) + QChar(0x8D));

    // Rewriting another key leaves the 1252 bytes alone.
    ASSERT_TRUE(writeIniValue("S", "New", "x", file));
    EXPECT_EQ(read(file), QByteArray(before).replace("New=caf\xC3\xA9", "New=x"));

    // Rewriting the 1252 line turns the whole line into UTF-8.
    IniDocument doc;
    doc.setContent("[S]\nK\xE9y=old\n");
    const QString key = QString::fromUtf8("K\xC3\xA9y");
    ASSERT_TRUE(doc.setValue("S", key, QString::fromUtf8("\xE2\x82\xAC")));
    EXPECT_EQ(doc.toBytes(), "[S]\nK\xC3\xA9y=\xE2\x82\xAC\n");
    EXPECT_EQ(doc.value("s", key), QString::fromUtf8("\xE2\x82\xAC"));
}

TEST_F(IniFileTest, ByteOrderMarkIsSkippedAndKept)
{
    const QString file = write("\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(readIniValue("S", "k", file), "v");
    ASSERT_TRUE(writeIniValue("S", "k", "w", file));
    EXPECT_EQ(read(file), "\xEF\xBB\xBF[S]\nk=w\n");

    // Past the file's start, U+FEFF is a character of a name or value.
    const QString bomKey = QString(QChar(0xFEFF)) + "k";
    ASSERT_TRUE(writeIniValue("S", bomKey, QString(QChar(0xFEFF)) + "v", file));
    EXPECT_EQ(readIniValue("S", bomKey, file), QString(QChar(0xFEFF)) + "v");
    EXPECT_EQ(IniDocument(file).value("S", bomKey), QString(QChar(0xFEFF)) + "v");
    ASSERT_TRUE(writeIniValue("S", bomKey, "x", file));
    EXPECT_EQ(read(file), "\xEF\xBB\xBF[S]\nk=w\n\xEF\xBB\xBFk=x\n");
}

TEST_F(IniFileTest, JunkNeverBreaksReadingOrWriting)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919 + 13) % 256); // every byte value, NUL and line ends included
    const QByteArray hugeLine(2 * 1024 * 1024, 'z');
    const QByteArray before = junk + "\n[Keep]\nk=" + QByteArray("a\0b", 3) + "\n" + hugeLine
        + "\n[Ok]\nkey=value\n" + junk;
    const QString file = write(before);
    EXPECT_EQ(readIniValue("Ok", "key", file), "value");
    EXPECT_EQ(readIniValue("Keep", "k", file), QString::fromLatin1("a\0b", 3));
    ASSERT_TRUE(writeIniValue("Ok", "key", "changed", file));
    ASSERT_TRUE(writeIniValue("Fresh", "key", "new", file));
    const QByteArray after = read(file);
    // Everything but the changed line stays; the new section follows the old end.
    EXPECT_TRUE(after.startsWith(QByteArray(before).replace("key=value", "key=changed")));
    EXPECT_EQ(readIniValue("Ok", "key", file), "changed");
    EXPECT_EQ(readIniValue("Fresh", "key", file), "new");
}

TEST_F(IniFileTest, DocumentReadsOnceAndSavesOnce)
{
    const QString file = write("; mine\n[A]\nx=1\n");
    IniDocument doc(file);
    EXPECT_TRUE(doc.contains("a", "X"));
    EXPECT_FALSE(doc.contains("a", "y"));
    ASSERT_TRUE(doc.setValue("A", "x", "1"));
    EXPECT_FALSE(doc.isModified()) << "same value is no change";
    ASSERT_TRUE(doc.setValue("A", "y", "2"));
    ASSERT_TRUE(doc.setValue("B", "z", "3"));
    EXPECT_EQ(read(file), "; mine\n[A]\nx=1\n") << "nothing written before save()";
    ASSERT_TRUE(doc.save());
    EXPECT_EQ(read(file), "; mine\n[A]\nx=1\ny=2\n[B]\nz=3\n");
    EXPECT_FALSE(doc.isModified());
}

TEST_F(IniFileTest, RewritingAValueWithLeadingBlanksKeepsTheLine)
{
    IniDocument doc;
    doc.setContent("[S]\nk = old\n");
    ASSERT_TRUE(doc.setValue("S", "k", "  v"));
    const QByteArray once = doc.toBytes();
    EXPECT_EQ(once, "[S]\nk =  v\n");
    ASSERT_TRUE(doc.setValue("S", "k", "  v"));
    EXPECT_EQ(doc.toBytes(), once);
    EXPECT_EQ(doc.value("S", "k"), "v");
}

TEST_F(IniFileTest, AddedKeyNeverJoinsTheBlankLineAfterIt)
{
    // The first line end is a lone "\r"; "\r" + "\n" of the blank line would
    // read as one line end.
    IniDocument doc;
    doc.setContent("; x\r[S]\nk=1\n\n[T]\n");
    ASSERT_TRUE(doc.setValue("S", "new", "2"));
    EXPECT_EQ(doc.toBytes(), "; x\r[S]\nk=1\nnew=2\n\n[T]\n");
}

TEST_F(IniFileTest, LineBreaksCannotSplitALine)
{
    IniDocument doc;
    EXPECT_FALSE(doc.setValue("a]b", "k", "v"));
    EXPECT_FALSE(doc.setValue("S", "a=b", "v"));
    EXPECT_FALSE(doc.setValue("S", "k\n[X]", "v"));
    ASSERT_TRUE(doc.setValue("S", "k", "one\r\n[X]"));
    EXPECT_EQ(doc.toBytes(), "[S]\nk=one  [X]\n");
}

TEST_F(IniFileTest, FailedWritesLeaveTheOldFile)
{
    // No folder: nothing is created.
    EXPECT_FALSE(writeIniValue("S", "k", "v", path("missing/test.ini")));
    EXPECT_FALSE(QFile::exists(path("missing/test.ini")));

    // A file that cannot be read is never replaced by what little was seen.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("adir.ini"));
    EXPECT_FALSE(writeIniValue("S", "k", "v", path("adir.ini")));
    EXPECT_TRUE(QFileInfo(path("adir.ini")).isDir());

    // Disk full: the write of the temporary file fails half way (the file-size
    // limit stops root too).
    const QByteArray before = "[S]\nk=old\n";
    const QString file = write(before);
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto *oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeIniValue("S", "k", QString(1000, u'n'), file);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList {"test.ini"})
        << "temporary file left behind";
}

TEST_F(IniFileTest, ReadOnlyFolderLeavesTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: permission bits do not stop writes "
                        "(the disk-full case above covers the failure path)";
    const QByteArray before = "[S]\nk=old\n";
    const QString file = write(before);
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool written = writeIniValue("S", "k", "new", file);
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(read(file), before);
}

TEST(TextDecoding, Utf8OrWindows1252)
{
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("\xC3\xA9"));
    EXPECT_FALSE(isValidUtf8("\xC3")); // cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_EQ(decodeUtf8OrWindows1252("\x93quoted\x94 \xFF"),
        QString::fromUtf8("\xE2\x80\x9Cquoted\xE2\x80\x9D \xC3\xBF"));
}
