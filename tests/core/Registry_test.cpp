// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScopedEnvironment.h"
#include "core/common/AppHome.h"
#include "core/settings/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillet;
using settings::Registry;

namespace {

const QString kWorkshop = QStringLiteral("Software\\Microsoft\\HTML Help Workshop");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

Registry at(const QString &section, const QString &name, const QString &fallback = QString())
{
    Registry registry;
    registry.sectionKey = section;
    registry.valueKey = name;
    registry.defaultValue = fallback;
    return registry;
}

} // namespace

TEST(Registry, ReadsValueNamesExactlyAndWholeElseTheDefault)
{
    const QString longValue = QString(300, QLatin1Char('x'));
    writeFile(common::homePath(QStringLiteral("registry.ini")),
        "[software\\microsoft\\html help workshop]\r\n"
        "installdir=/wrong/case\r\n"
        "Long="
            + longValue.toLatin1()
            + "\r\n"
              "InstallDir = /opt/hhw \r\n");

    // Key paths ignore case, value names do not; a long value comes whole,
    // and does not hide the values after it.
    EXPECT_EQ(at(kWorkshop, QStringLiteral("InstallDir"), QStringLiteral("d")).value(),
        QStringLiteral("/opt/hhw"));
    EXPECT_EQ(at(kWorkshop, QStringLiteral("Long")).value(), longValue);
    EXPECT_EQ(at(kWorkshop, QStringLiteral("INSTALLDIR"), QStringLiteral("d")).value(),
        QStringLiteral("d"));
    EXPECT_EQ(
        at(QStringLiteral("Software\\Missing"), QStringLiteral("InstallDir"), QStringLiteral("d"))
            .value(),
        QStringLiteral("d"));
    // Another root is another place.
    Registry machine = at(kWorkshop, QStringLiteral("InstallDir"), QStringLiteral("d"));
    machine.classKey = settings::kHkeyLocalMachine;
    EXPECT_EQ(machine.value(), QStringLiteral("d"));
}

TEST(Registry, WritesCreatesAndEnumerates)
{
    const QString file = common::homePath(QStringLiteral("registry.ini"));
    writeFile(file, "; kept\n[Software\\A]\nOne=1\n");

    Registry registry = at(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("Name"));
    EXPECT_FALSE(registry.keyExists());
    EXPECT_TRUE(registry.createKey());
    EXPECT_TRUE(registry.keyExists());
    EXPECT_TRUE(registry.setValue(QStringLiteral("Ünïcode 中文")));
    EXPECT_EQ(registry.value(), QStringLiteral("Ünïcode 中文"));

    Registry parent = at(QStringLiteral("Software\\A"), QStringLiteral("Two"));
    EXPECT_TRUE(parent.setValue(QStringLiteral("2")));
    EXPECT_EQ(parent.enumerateValues(),
        (QList<QPair<QString, QString>> {{QStringLiteral("One"), QStringLiteral("1")},
            {QStringLiteral("Two"), QStringLiteral("2")}}));
    // "B" exists because "B\C" does; each sub-key is named once.
    EXPECT_EQ(parent.enumerateSections(), QStringList {QStringLiteral("B")});
    EXPECT_TRUE(at(QStringLiteral("Software\\A\\B"), QString()).keyExists());

    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_TRUE(in.readAll().startsWith("; kept\n[Software\\A]\nOne=1\nTwo=2\n"));

    // A registry file that cannot be written is a failed write, said in
    // the class's words.
    Registry broken(common::homePath(QStringLiteral("no/such/folder/registry.ini")));
    broken.sectionKey = QStringLiteral("S");
    broken.valueKey = QStringLiteral("V");
    EXPECT_FALSE(broken.setValue(QStringLiteral("x")));
    EXPECT_EQ(broken.failureText(),
        QStringLiteral("Failed to set registry value Key: '2147483649',Section: 'S',Key: 'V' to "
                       "value: 'x'"));
}

TEST(Registry, HelpCompilerFolderFallsBackToThePath)
{
    const QString file = common::homePath(QStringLiteral("registry.ini"));
    const QString bin = common::homePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    writeFile(bin + QStringLiteral("/chmcmd"), "#!/bin/sh\n");
    QFile::setPermissions(bin + QStringLiteral("/chmcmd"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const test::ScopedEnvironment path("PATH", bin);
    EXPECT_EQ(settings::helpCompilerFolder(file), bin);
    Registry stored = at(kWorkshop, QStringLiteral("InstallDir"));
    ASSERT_TRUE(stored.setValue(QStringLiteral("/opt/hhw")));
    EXPECT_EQ(settings::helpCompilerFolder(file), QStringLiteral("/opt/hhw"));
    const test::ScopedEnvironment noPath("PATH", QString());
    QFile::remove(file);
    EXPECT_EQ(settings::helpCompilerFolder(file), QString());
}
