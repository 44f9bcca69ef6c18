// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"

#include "TestHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillet;

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    test::TestHome m_home;
};

} // namespace

TEST_F(SettingsTest, NoFilesGiveTheDefaults)
{
    ASSERT_EQ(configIniPath(), m_home.file("config.ini"));
    ASSERT_EQ(optionIniPath(), m_home.file("option.ini"));

    const WindowSettings w = loadWindowSettings();
    EXPECT_EQ(w.top, 870);
    EXPECT_EQ(w.left, 2235);
    EXPECT_EQ(w.width, 6000);
    EXPECT_EQ(w.height, 4500);
    EXPECT_EQ(w.cmdShow, 2);
    EXPECT_TRUE(w.showPanel && w.showToolbox && w.showDescrip && w.viewMode);
    EXPECT_EQ(w.hPosition, 5000);
    EXPECT_EQ(w.vPosition, 3000);
    EXPECT_TRUE(w.backupDir.isEmpty() && w.defaultDir.isEmpty());
    EXPECT_TRUE(w.mru[0].isEmpty() && w.mru[1].isEmpty() && w.mru[2].isEmpty());

    const OptionSettings o = loadOptionSettings();
    EXPECT_EQ(o.groupOption, 0);
    EXPECT_EQ(o.loadMethods, 0);
    EXPECT_TRUE(o.fontName.isEmpty() && o.fontSize.isEmpty());
    EXPECT_TRUE(o.initDir.isEmpty() && o.startupFile.isEmpty() && o.hhcPath.isEmpty());
    EXPECT_EQ(o.imageFolder, m_home.file("images"));
    EXPECT_TRUE(QFileInfo(o.imageFolder).isDir());

    // Loading writes nothing.
    EXPECT_FALSE(QFile::exists(configIniPath()));
    EXPECT_FALSE(QFile::exists(optionIniPath()));
}

TEST_F(SettingsTest, SaveWritesEveryKeyInOrderAndReadsBack)
{
    WindowSettings w;
    w.cmdShow = 0;
    w.top = 100;
    w.left = 100;
    w.width = 8000;
    w.height = 6000;
    w.showDescrip = false;
    w.viewMode = false;
    w.hPosition = 4321;
    w.backupDir = "/b";
    w.defaultDir = QString::fromUtf8("/d/caf\xC3\xA9");
    w.mru = {"/one.rdb", "/two.rdb", ""};
    ASSERT_TRUE(saveWindowSettings(w));
    EXPECT_EQ(read(configIniPath()),
        QByteArray("[Position]\nTop=100\nLeft=100\nWidth=8000\n"
                   "Height=6000\n[WindowState]\niCmdShow=0\n"
                   "[View]\nPanel=True\nToolbox=True\n"
                   "Descrip=False\nViewMode=False\n"
                   "[Splitter]\nhPosition=4321\nvPosition=3000\n"
                   "[InitDirs]\nBackup=/b\nDefault=/d/caf\xC3\xA9\n"
                   "[MRU List]\nMRU1=/one.rdb\nMRU2=/two.rdb\nMRU3=\n"));
    const WindowSettings r = loadWindowSettings();
    EXPECT_EQ(r.cmdShow, 0);
    EXPECT_EQ(r.top, 100);
    EXPECT_FALSE(r.showDescrip);
    EXPECT_EQ(r.defaultDir, w.defaultDir);
    EXPECT_EQ(r.mru, w.mru);

    OptionSettings o;
    o.groupOption = 2;
    o.fontName = "DejaVu Sans";
    o.fontSize = "9.75";
    o.loadMethods = 1;
    o.initDir = "/i";
    o.startupFile = "/s.rdb";
    o.imageFolder = m_home.path();
    ASSERT_TRUE(saveOptionSettings(o));
    EXPECT_EQ(read(optionIniPath()),
        QByteArray("[Group]\nOption=2\n[Font]\nFontName=DejaVu Sans\nFontSize=9.75\n"
                   "[Startup]\nLoadMethods=1\nInitDir=/i\nFile=/s.rdb\n"
                   "[Location]\nImageFolder=")
            + m_home.path().toUtf8() + "\n");
    const OptionSettings ro = loadOptionSettings();
    EXPECT_EQ(ro.groupOption, 2);
    EXPECT_EQ(ro.loadMethods, 1);
    EXPECT_EQ(ro.imageFolder, m_home.path());
}

TEST_F(SettingsTest, NumbersBooleansAndChoices)
{
    EXPECT_EQ(iniInteger("12", 1), 12);
    EXPECT_EQ(iniInteger(" 12 ", 1), 12);
    EXPECT_EQ(iniInteger("-5", 1), -5);
    EXPECT_EQ(iniInteger("+7", 1), 7);
    EXPECT_EQ(iniInteger("12.5", 1), 12); // half to even
    EXPECT_EQ(iniInteger("13.5", 1), 14);
    EXPECT_EQ(iniInteger("1e3", 1), 1000);
    EXPECT_EQ(iniInteger("2147483647", 1), 2147483647);
    for (const char *bad : {"", " ", "12abc", "abc", "1 2", "0x10", "inf", "nan", "-", ".", "1e",
             "2147483648", "99999999999999999999", "1e400"})
        EXPECT_EQ(iniInteger(QString::fromLatin1(bad), 77), 77) << bad;

    for (const char *yes : {"True", "true", "TRUE", "1", "-1", "2.5", " 1 "})
        EXPECT_TRUE(iniBoolean(QString::fromLatin1(yes), false)) << yes;
    for (const char *no : {"False", "false", "0", "0.0", "-0"})
        EXPECT_FALSE(iniBoolean(QString::fromLatin1(no), true)) << no;
    for (const char *other : {"", "yes", "on", "Truex"})
        EXPECT_TRUE(iniBoolean(QString::fromLatin1(other))) << other;

    EXPECT_EQ(iniChoice("2"), 2);
    EXPECT_EQ(iniChoice("2.0"), 2);
    EXPECT_EQ(iniChoice(" 1 "), 1);
    for (const char *zero : {"0", "7", "-1", "abc", "", "1.5", "2x"})
        EXPECT_EQ(iniChoice(QString::fromLatin1(zero)), 0) << zero;
}

TEST_F(SettingsTest, StoredValuesAreConverted)
{
    writeFile(configIniPath(),
        "[Position]\nTop=12abc\nLeft= -5 \n"
        "[view]\nPANEL=False\nToolbox=0\nDescrip=maybe\n"
        "[WindowState]\niCmdShow=3\n");
    const WindowSettings w = loadWindowSettings();
    EXPECT_EQ(w.top, 870);
    EXPECT_EQ(w.left, -5);
    EXPECT_FALSE(w.showPanel);
    EXPECT_FALSE(w.showToolbox);
    EXPECT_TRUE(w.showDescrip);
    EXPECT_EQ(w.cmdShow, 3);

    writeFile(optionIniPath(),
        "[Group]\nOption=2\n[Startup]\nLoadMethods=7\n"
        "File=  /x y.rdb  \nInitDir=\t/dir\n[Location]\nImageFolder=x\n"
        "[HtmlHelp]\nhhc.exe=/gone/hhc\n");
    OptionSettings o = loadOptionSettings();
    EXPECT_EQ(o.groupOption, 2);
    EXPECT_EQ(o.loadMethods, 0);
    EXPECT_EQ(o.startupFile, "/x y.rdb");
    EXPECT_EQ(o.initDir, "/dir");
    EXPECT_EQ(o.hhcPath, "/gone/hhc");
    EXPECT_EQ(o.imageFolder, m_home.file("images"));
    EXPECT_TRUE(QFileInfo(o.imageFolder).isDir());

    writeFile(
        optionIniPath(), "[Startup]\nLoadMethods=abc\n[Location]\nImageFolder=/no/such/dir\n");
    o = loadOptionSettings();
    EXPECT_EQ(o.loadMethods, 0);
    EXPECT_EQ(o.imageFolder, m_home.file("images"));
}

TEST_F(SettingsTest, HelpCompilerIsWrittenOnlyWhenItExists)
{
    const QString hhc = m_home.file("chmcmd");
    writeFile(hhc, "#!/bin/sh\n");
    writeFile(optionIniPath(), "[HtmlHelp]\nhhc.exe=/old/hhc\n");

    OptionSettings o = loadOptionSettings();
    o.hhcPath = m_home.file("missing-compiler");
    ASSERT_TRUE(saveOptionSettings(o));
    EXPECT_EQ(loadOptionSettings().hhcPath, "/old/hhc");
    o.hhcPath.clear();
    ASSERT_TRUE(saveOptionSettings(o));
    EXPECT_EQ(loadOptionSettings().hhcPath, "/old/hhc");
    o.hhcPath = m_home.path(); // a folder is not the compiler
    ASSERT_TRUE(saveOptionSettings(o));
    EXPECT_EQ(loadOptionSettings().hhcPath, "/old/hhc");

    o.hhcPath = hhc;
    ASSERT_TRUE(saveOptionSettings(o));
    EXPECT_EQ(loadOptionSettings().hhcPath, hhc);
    EXPECT_TRUE(read(optionIniPath()).startsWith("[HtmlHelp]\nhhc.exe=" + hhc.toUtf8() + "\n"));
}

TEST_F(SettingsTest, UserCommentsAndUnknownKeysSurviveSave)
{
    const QByteArray before
        = "; my notes\r\n[Position]\r\nTop=5\r\nMine=keep\r\n\r\n[Extra]\r\na=b\r\n";
    writeFile(configIniPath(), before);
    WindowSettings w = loadWindowSettings();
    EXPECT_EQ(w.top, 5);
    w.top = 6;
    ASSERT_TRUE(saveWindowSettings(w));
    const QByteArray after = read(configIniPath());
    EXPECT_TRUE(
        after.startsWith("; my notes\r\n[Position]\r\nTop=6\r\nMine=keep\r\nLeft=2235\r\n"
                         "Width=6000\r\nHeight=4500\r\n\r\n[Extra]\r\na=b\r\n[WindowState]\r\n"))
        << after.constData();
}

TEST_F(SettingsTest, PlacesBeyondAnyScreenReadAsDefaults)
{
    writeFile(configIniPath(),
        "[Position]\nTop=-491506\nLeft=491505\nWidth=0\nHeight=999999999\n"
        "[Splitter]\nhPosition=-1\nvPosition=2147483647\n");
    const WindowSettings w = loadWindowSettings();
    EXPECT_EQ(w.top, 870);
    EXPECT_EQ(w.left, 491505);
    EXPECT_EQ(w.width, 6000);
    EXPECT_EQ(w.height, 4500);
    EXPECT_EQ(w.hPosition, 5000);
    EXPECT_EQ(w.vPosition, 3000);
}

TEST_F(SettingsTest, BadFilesReadAsDefaultsAndAreRewrittenCleanly)
{
    QByteArray junk;
    for (int i = 0; i < 2000; ++i)
        junk += char((i * 131 + 7) % 256);
    const QByteArray huge(2 * 1024 * 1024, 'Q');
    // Junk, NUL bytes, a header without "]" (its keys land in [Position]),
    // duplicate sections and keys, and a 2 MB value.
    writeFile(configIniPath(),
        junk + "\n[Position]\nTop=" + huge + "\nTop=300\n"
            + QByteArray("Left=1\0"
                         "2\n",
                9)
            + "[View\nWidth=abc\n[VIEW]\nPanel=\x01\x02\n[view]\nPanel=False\n" + junk);
    WindowSettings w = loadWindowSettings();
    EXPECT_EQ(w.top, 870);
    EXPECT_EQ(w.left, 2235);
    EXPECT_EQ(w.width, 6000);
    EXPECT_TRUE(w.showPanel);

    w.top = 11;
    w.left = 22;
    w.width = 33;
    w.showPanel = false;
    ASSERT_TRUE(saveWindowSettings(w));
    const WindowSettings r = loadWindowSettings();
    EXPECT_EQ(r.top, 11);
    EXPECT_EQ(r.left, 22);
    EXPECT_EQ(r.width, 33);
    EXPECT_FALSE(r.showPanel);
    EXPECT_EQ(r.hPosition, 5000);
    const IniDocument doc(configIniPath());
    EXPECT_EQ(doc.value("Position", "Top"), "11");
    EXPECT_EQ(doc.value("Splitter", "vPosition"), "3000");
    EXPECT_LT(read(configIniPath()).size(), 16 * 1024) << "the 2 MB value was replaced";

    // An option file of nothing but junk.
    writeFile(optionIniPath(), junk);
    OptionSettings o = loadOptionSettings();
    EXPECT_EQ(o.loadMethods, 0);
    EXPECT_EQ(o.imageFolder, m_home.file("images"));
    o.loadMethods = 2;
    ASSERT_TRUE(saveOptionSettings(o));
    EXPECT_EQ(loadOptionSettings().loadMethods, 2);
}

TEST_F(SettingsTest, UnreadableFileIsNotReplaced)
{
    ASSERT_TRUE(QDir().mkpath(configIniPath())); // a folder where the file should be
    EXPECT_FALSE(saveWindowSettings(WindowSettings {}));
    EXPECT_TRUE(QFileInfo(configIniPath()).isDir());
    EXPECT_EQ(loadWindowSettings().top, 870);
}
