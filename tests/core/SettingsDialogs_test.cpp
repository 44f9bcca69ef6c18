// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "TestHome.h"
#include "core/settings/OptionsEditor.h"
#include "core/settings/Settings.h"
#include "core/settings/UpdateCheck.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quillet;
using settings::compareVersions;
using settings::OptionsEditor;
using settings::UpdateVerdict;

TEST(UpdateCheck, ComparesVersionsAsNumbers)
{
    EXPECT_LT(*compareVersions(QStringLiteral("3.0"), QStringLiteral("3.1")), 0);
    EXPECT_LT(*compareVersions(QStringLiteral("3.1"), QStringLiteral("10.0")), 0);
    EXPECT_GT(*compareVersions(QStringLiteral("3.10"), QStringLiteral("3.9")), 0);
    EXPECT_EQ(*compareVersions(QStringLiteral(" 3 "), QStringLiteral("3.0.0")), 0);
    for (const char *bad : {"", "abc", "3.x", "3..0", "3.", "-1", "b3", "٣.٠"})
        EXPECT_FALSE(compareVersions(QString::fromUtf8(bad), QStringLiteral("3.0"))) << bad;
    // A published suffix counts by the numbers before it.
    EXPECT_EQ(*compareVersions(QStringLiteral("3.0b"), QStringLiteral("3.0")), 0);
    EXPECT_GT(*compareVersions(QStringLiteral("3.1-beta 2"), QStringLiteral("3.0")), 0);

    const QString running = QStringLiteral("3.0");
    EXPECT_EQ(settings::judgeVersion(QStringLiteral("10.0"), running), UpdateVerdict::NewVersion);
    EXPECT_EQ(settings::judgeVersion(QStringLiteral("3.0"), running), UpdateVerdict::Latest);
    EXPECT_EQ(settings::judgeVersion(QString(), running), UpdateVerdict::Wait);
}

TEST(UpdateCheck, SiteFromEnvironmentThenOptionThenHomePage)
{
    {
        const test::ScopedEnvironment noSite("QUILLET_UPDATE_SITE", std::nullopt);
        EXPECT_EQ(settings::updateSite(QString()), QStringLiteral("https://quillet.example.org"));
        EXPECT_EQ(settings::updateSite(QStringLiteral("http://a/")), QStringLiteral("http://a"));
    }
    const test::ScopedEnvironment site("QUILLET_UPDATE_SITE", QStringLiteral("http://127.0.0.1:9"));
    EXPECT_EQ(settings::versionPageUrl(settings::updateSite(QStringLiteral("http://a"))),
        QStringLiteral("http://127.0.0.1:9/update/Quillet/version.htm"));
}

TEST(OptionsEditor, ApplyStoresTheCopyAndRoundTripsThroughOptionIni)
{
    test::TestHome home;
    OptionSettings options = loadOptionSettings();
    options.fontName = QStringLiteral("Sans");
    options.fontSize = QStringLiteral("9");
    test::ScriptedFileDialogs dialogs;
    OptionsEditor editor(options, &dialogs);

    // The last tab and the dialog's folder are kept without Apply.
    editor.showTab(OptionsEditor::StartupTab);
    const QString docs = home.file(QStringLiteral("docs"));
    QDir().mkpath(docs);
    dialogs.choose(docs + QStringLiteral("/start.rdb"));
    ASSERT_TRUE(editor.chooseDefaultFile());
    EXPECT_EQ(options.initDir, docs);
    EXPECT_TRUE(options.startupFile.isEmpty());

    editor.copy.loadMethods = 2;
    editor.copy.fontSize = QStringLiteral("9.5");
    const OptionsEditor::FontChange change = editor.apply();
    EXPECT_FALSE(change.name);
    EXPECT_TRUE(change.size);
    options.updateSite = QStringLiteral("http://mirror.example");
    ASSERT_TRUE(saveOptionSettings(options));

    const OptionSettings read = loadOptionSettings();
    EXPECT_EQ(read.groupOption, 1);
    EXPECT_EQ(read.fontName, QStringLiteral("Sans"));
    EXPECT_EQ(read.fontSize, QStringLiteral("9.5"));
    EXPECT_EQ(read.loadMethods, 2);
    EXPECT_EQ(read.startupFile, docs + QStringLiteral("/start.rdb"));
    EXPECT_EQ(read.initDir, docs);
    EXPECT_EQ(read.updateSite, QStringLiteral("http://mirror.example"));
    EXPECT_EQ(OptionsEditor(options, nullptr).firstTab(), OptionsEditor::StartupTab);
}
