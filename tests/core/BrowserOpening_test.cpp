// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/common/Vendor.h"
#include "core/pages/BrowserOpening.h"
#include "core/platform/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;

namespace {

// A shell that answers from a script and remembers what the probe file
// looked like when it was asked.
class ScriptedShell : public platform::BrowserShell
{
public:
    QString programFor(const QString &file) override
    {
        QFile probe(file);
        probeSeen = probe.open(QIODevice::ReadOnly) ? probe.readAll() : QByteArray("(missing)");
        return program;
    }
    bool start(const QString &p, const QString &argument) override
    {
        started << p + QLatin1Char('|') + argument;
        return starts;
    }
    QString program;
    bool starts = true;
    QByteArray probeSeen;
    QStringList started;
};

QString probePath()
{
    return common::homePath(QStringLiteral("tTestMe.htm"));
}

} // namespace

TEST(OpenInBrowser, StartsTheHtmlProgramWithTheUrlAsItIs)
{
    ScriptedShell shell;
    shell.program = QStringLiteral("  firefox-esr.desktop \n");
    ScriptedMessageBoxes messages;
    EXPECT_TRUE(pages::openInBrowser(QStringLiteral("http://a.example/x y?q=1"), shell, messages));
    EXPECT_EQ(shell.probeSeen, QByteArray("<HTML> <\\HTML>\r\n"));
    EXPECT_EQ(shell.started, QStringList {"firefox-esr.desktop|http://a.example/x y?q=1"});
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(probePath()));
}

TEST(OpenInBrowser, TellsWhyItFailedAndRemovesTheProbe)
{
    ScriptedMessageBoxes messages;
    ScriptedShell none; // no program for .htm files
    EXPECT_FALSE(pages::openInBrowser(QStringLiteral("http://a.example"), none, messages));
    EXPECT_TRUE(none.started.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(probePath()));

    ScriptedShell broken;
    broken.program = QStringLiteral("gone.desktop");
    broken.starts = false;
    EXPECT_FALSE(pages::openInBrowser(QStringLiteral("http://a.example"), broken, messages));
    EXPECT_FALSE(QFileInfo::exists(probePath()));

    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Can not open your browser!"));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Browser Not Found..."));
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("Web page failed to be opened."));
    EXPECT_EQ(messages.shown[1].title, QStringLiteral("Website URL Failed..."));
    EXPECT_EQ(messages.shown[1].icon, platform::MessageIcon::Exclamation);
}

TEST(DesktopEntry, ExecLineBecomesACommand)
{
    const QString url = QStringLiteral("http://a.example/");
    EXPECT_EQ(platform::desktopEntryCommand(
                  "[Desktop Entry]\nName=Web\nExec=firefox-esr %u\n", "/x.desktop", url),
        (QStringList {"firefox-esr", url}));
    // Quoted program, escaped quotes, %% and dropped deprecated codes;
    // the actions' Exec lines are not the entry's.
    EXPECT_EQ(platform::desktopEntryCommand("[Desktop Entry]\nIcon=web\nName=Web\n"
                                            "Exec=\"/opt/My Web/web\" --title=\"a \\\\\"b\\\\\"\""
                                            " %i -p 100%% %d %U\n"
                                            "[Desktop Action new]\nExec=other %u\n",
                  "/x.desktop", url),
        (QStringList {"/opt/My Web/web", "--title=a \"b\"", "--icon", "web", "-p", "100%", url}));
    // No place named for the address: it goes last.
    EXPECT_EQ(platform::desktopEntryCommand("[Desktop Entry]\nExec=web --new\n", "/x", url),
        (QStringList {"web", "--new", url}));
    EXPECT_TRUE(platform::desktopEntryCommand("[Desktop Entry]\nName=Web\n", "/x", url).isEmpty());
    EXPECT_TRUE(
        platform::desktopEntryCommand("[Desktop Entry]\nExec=\"web %u\n", "/x", url).isEmpty());
}

TEST(HelpMenu, OpensHelpFileHomePageAndMail)
{
    FullDesktop desktop;
    pages::openHelpContent(desktop);
    pages::openVendorHomePage(desktop);
    pages::sendMailToVendor(desktop);
    EXPECT_EQ(desktop.files, QStringList {common::homePath(QStringLiteral("Quillet.chm"))});
    EXPECT_EQ(desktop.links, QStringList {QString::fromLatin1(strings::kVendorHomePage)});
    EXPECT_EQ(desktop.urls,
        QStringList {QStringLiteral("Mailto:%1?Subject=about Quillet 3.0")
                         .arg(QString::fromLatin1(strings::kVendorSupportMail))});
}
