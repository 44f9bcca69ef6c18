// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"
#include "core/pages/HelpFileBuilder.h"
#include "core/pages/HelpProject.h"
#include "core/settings/Registry.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace quillet;
using platform::MessageAnswer;

namespace {

const QString kMissing
    = QStringLiteral("\"chmcmd\" not found. Do you want to set the location of the Help Compiler?");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray entry(const char *title, const char *page)
{
    return QByteArray("<LI><OBJECT type=\"text/sitemap\">\r\n<param name=\"Name\" value=\"") + title
        + "\">\r\n<param name=\"Local\" value=\"" + page
        + "\">\r\n<param name=\"ImageNumber\" value=\"1\"></OBJECT>\r\n";
}

class HelpFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The desktop lives inside the test's home, never on the machine's.
        const QString user = common::homePath(QStringLiteral("user"));
        desktop = user + QStringLiteral("/Desktop");
        QDir().mkpath(desktop);
        m_user.emplace(user);
        ws = std::make_unique<outline::Workspace>(outline::Workspace::Services {
            &messages, &dialogs, &desktopServices, nullptr, &status, &progress});
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        life->newDocument(false);
        table = std::make_unique<store::BookmarkTable>(*ws->document().database());
    }

    void TearDown() override
    {
        table.reset();
        life.reset();
        ws.reset();
        m_user.reset();
    }

    outline::HeadingNode *heading(const QString &title, const QString &key)
    {
        return ws->tree().appendHeading(ws->tree().root(), title, key, 3, 4);
    }

    void add(const QString &headingKey, const QString &name, const QByteArray &thumbnail = {},
        const QString &description = {})
    {
        store::BookmarkRow row;
        row.headingKey = headingKey;
        row.key = QStringLiteral("L") + name;
        row.name = name;
        row.link = QStringLiteral("www.example.org/") + QString::number(++links);
        row.description = description;
        row.thumbnail = thumbnail;
        table->addPending(row);
    }

    // Points the registry's compiler folder somewhere without a compiler.
    void hideCompiler()
    {
        settings::Registry registry;
        registry.sectionKey = QStringLiteral("Software\\Microsoft\\HTML Help Workshop");
        registry.valueKey = QStringLiteral("InstallDir");
        ASSERT_TRUE(registry.setValue(common::homePath(QStringLiteral("nowhere"))));
    }

    // An executable shell script standing in for the compiler.
    QString scriptedCompiler(const QByteArray &body)
    {
        const QString path = common::homePath(QStringLiteral("fakehhc"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body + "\n");
        file.close();
        file.setPermissions(
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }

    QString chm() const { return pages::chmWorkFolder(); }

    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingDesktop desktopServices;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
    std::unique_ptr<store::BookmarkTable> table;
    QString desktop;
    std::optional<test::ScopedUserHome> m_user;
    int links = 0;
};

} // namespace

TEST_F(HelpFileTest, ProjectFilesAreWrittenExactly)
{
    // Tech is moved up past News & Sport: re-created by the move, it counts
    // as added last and its page is named 3 though it now comes second.
    heading(QStringLiteral("News & Sport"), QStringLiteral("K2"));
    outline::HeadingNode *tech = heading(QStringLiteral("Tech <b>"), QStringLiteral("K3"));
    ASSERT_TRUE(outline::moveHeadingInTree(ws->tree(), tech, outline::HeadingMove::Up));
    add(QStringLiteral("kRoot"), QStringLiteral("Home"));
    add(QStringLiteral("K3"), QStringLiteral("A"));
    add(QStringLiteral("K3"), QStringLiteral("B"), QByteArray("\xFF\xD8 thumb"));
    add(QStringLiteral("K3"), QStringLiteral("C"));

    pages::HelpProjectWriter writer(ws->tree(), *table, chm(), &progress, &status);
    ASSERT_TRUE(writer.build(QStringLiteral("Favorites.chm")));

    EXPECT_EQ(readAll(chm() + QStringLiteral("/favorites.hhc")),
        "<HTML>\r\n<!--Sitemap 1.0-->\r\n<OBJECT type=\"text/site properties\">\r\n"
        "<param name=\"ImageType\" value=\"Folder\">\r\n</object>\r\n<UL>\r\n"
            + entry("my Favroites", "1.htm") + "<UL>\r\n" + entry("Tech <b>", "3.htm")
            + entry("News &amp; Sport", "blank.htm") + "</UL>\r\n</UL>\r\n</HTML>\r\n\r\n");
    EXPECT_EQ(readAll(chm() + QStringLiteral("/favorites.hhp")),
        "[OPTIONS]\r\nCompiled File=Favorites.chm\r\nTitle=\r\nContents File=favorites.hhc\r\n"
        "Index File=\r\nDefault topic=1.htm\r\nDefault Window=NewWindow\r\nError log file=\r\n"
        "Display compile progress=No\r\nDisplay compile notes=No\r\nFull-text search=Yes\r\n"
        "Binary Index=No\r\nAuto Index=No\r\nEnhanced decompilation=No\r\nBinary TOC=No\r\n"
        "Flat=No\r\nTitle =IE\r\n\r\n[WINDOWS]\r\n"
        "NewWindow=\"\",\"favorites.hhc\",\"\",\"\",\"\",,,,,0x420,0,0x200e,[0,0,800,550],0x0,"
        "0x0,,0,0,0\r\n\r\n[FILES]\r\nblank.htm\r\ntmp.htm\r\n1.htm\r\n3.htm\r\n\r\n"
        "[ALIAS]\r\n\r\n[MAP]\r\n\r\n[TEXT POPUPS]\r\n\r\n");
    EXPECT_EQ(readAll(chm() + QStringLiteral("/tmp.htm")),
        "<html><img src=\"shim.gif\"><img src=\"single_dot_h.gif\"></html>\r\n");
    EXPECT_EQ(readAll(chm() + QStringLiteral("/blank.htm")), "<html></html>\r\n");

    // Counter: 1 at the start, the root's row 2, its page 3, its entry 4;
    // Tech's rows 5 to 7, so B's thumbnail is "6.jpg".
    EXPECT_EQ(readAll(chm() + QStringLiteral("/6.jpg")), "\xFF\xD8 thumb");
    const QString page = QString::fromUtf8(readAll(chm() + QStringLiteral("/3.htm")));
    EXPECT_TRUE(page.endsWith(QStringLiteral("</html>\r\n")));
    EXPECT_EQ(page.count(QStringLiteral("id=\"details_header\"")), 2);
    EXPECT_EQ(page.count(QStringLiteral("id=\"details_end\"")), 1);
    EXPECT_LT(page.indexOf(QStringLiteral("<a>B</a>")), page.indexOf(QStringLiteral("<a>C</a>")));
    // Assets are named relative to the page, so the compiler takes them in.
    EXPECT_TRUE(page.contains(QStringLiteral("href=\"styles.css\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("src=\"6.jpg\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("src=\"noimagel.gif\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("href=\"http://www.example.org/3\"")));
    EXPECT_FALSE(page.contains(QStringLiteral("&imgPath&")));
    EXPECT_EQ(progress.value, progress.maximum);
    EXPECT_EQ(progress.maximum, 4 + 2 * 3 + 4);
    EXPECT_EQ(status.text, QStringLiteral("Status: Compiling chm file ..."));
}

TEST_F(HelpFileTest, HelpFileHoldsPagesPicturesAndNonLatinText)
{
    // The root holds no bookmark: topic and entry are blank.htm.
    heading(QStringLiteral("Закладки & 中文 😀"), QStringLiteral("K2"));
    add(QStringLiteral("K2"), QStringLiteral("Привет мир"), QByteArray("\xFF\xD8 first"),
        QStringLiteral("描述 😀"));
    add(QStringLiteral("K2"), QStringLiteral("second"), QByteArray("\xFF\xD8 second"));
    add(QStringLiteral("K2"), QStringLiteral("third"));

    pages::HelpFileBuilder(*ws).makeChmFile();

    ASSERT_EQ(messages.texts(), QStringList());
    const QString help = desktop + QStringLiteral("/Favorites.chm");
    ASSERT_TRUE(QFileInfo(help).size() > 0);
    EXPECT_EQ(desktopServices.files, QStringList {desktop});
    EXPECT_TRUE(QDir(chm()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle"));

    QTemporaryDir out;
    QProcess extract;
    extract.start(QStringLiteral("extract_chmLib"), {help, out.path()});
    ASSERT_TRUE(extract.waitForFinished());
    ASSERT_EQ(extract.exitCode(), 0);
    QStringList inside;
    for (QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        inside << it.next().mid(out.path().size() + 1);
    for (const char *name : {"2.htm", "blank.htm", "tmp.htm", "favorites.hhc", "styles.css",
             "noimagel.gif", "shim.gif", "single_dot_h.gif", "4.jpg", "5.jpg"})
        EXPECT_TRUE(inside.contains(QLatin1String(name))) << name;
    EXPECT_EQ(readAll(out.filePath(QStringLiteral("5.jpg"))), "\xFF\xD8 second");

    const QString page = QString::fromUtf8(readAll(out.filePath(QStringLiteral("2.htm"))));
    EXPECT_TRUE(page.contains(QStringLiteral("charset=UTF-8")));
    EXPECT_TRUE(page.contains(QStringLiteral("<a>Привет мир</a>")));
    EXPECT_TRUE(page.contains(QStringLiteral("描述 😀")));
    const QByteArray contents = readAll(out.filePath(QStringLiteral("favorites.hhc")));
    EXPECT_TRUE(contents.contains(entry("my Favroites", "blank.htm")));
    EXPECT_TRUE(
        contents.contains("value=\"&#1047;&#1072;&#1082;&#1083;&#1072;&#1076;&#1082;&#1080; &amp; "
                          "&#20013;&#25991; &#128512;\""));
}

TEST_F(HelpFileTest, MissingCompilerIsAskedForAndItsFailuresAreSaid)
{
    hideCompiler();
    add(QStringLiteral("kRoot"), QStringLiteral("Home"));

    // Cancel: nothing is built.
    messages.answer(MessageAnswer::Cancel);
    pages::HelpFileBuilder(*ws).makeChmFile();
    EXPECT_EQ(messages.texts(), QStringList {kMissing});
    EXPECT_FALSE(QFileInfo::exists(chm()));
    EXPECT_EQ(dialogs.opened, 0);

    // A chosen file that does not exist ends the command silently.
    dialogs.choose(common::homePath(QStringLiteral("nothing")));
    pages::HelpFileBuilder(*ws).makeChmFile();
    EXPECT_EQ(messages.texts().size(), 2);
    EXPECT_EQ(dialogs.opened, 1);
    EXPECT_TRUE(ws->optionSettings().hhcPath.isEmpty());

    // A compiler that leaves a help file but says "Error:" failed; it is
    // remembered and asked for no more. The project stays for a look.
    const QString failing = scriptedCompiler("echo x > Favorites.chm; echo 'Error: no luck'");
    dialogs.choose(failing);
    pages::HelpFileBuilder(*ws).makeChmFile();
    EXPECT_EQ(ws->optionSettings().hhcPath, failing);
    EXPECT_EQ(messages.texts().mid(2),
        (QStringList {kMissing, QStringLiteral("Can not create chm file.")}));
    EXPECT_TRUE(QFileInfo::exists(chm() + QStringLiteral("/favorites.hhp")));
    EXPECT_FALSE(QFileInfo::exists(desktop + QStringLiteral("/Favorites.chm")));

    // One that never ends is stopped.
    ws->optionSettings().hhcPath = scriptedCompiler("exec sleep 60");
    pages::HelpFileBuilder builder(*ws);
    builder.compileTimeoutMs = 300;
    builder.makeChmFile();
    EXPECT_TRUE(messages.texts().last().startsWith(QStringLiteral("Can not create chm file.\n")));
    EXPECT_TRUE(desktopServices.files.isEmpty());
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle"));
}
