// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixtures.h"
#include "core/common/AppHome.h"
#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace quillet;
using store::FileReplacement;
using Step = FileReplacement::Step;

namespace {

QString folderIn(const QString &name)
{
    const QString folder = common::appHome() + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    return folder;
}

// Everything in the folder but the files named: a work file left behind
// shows here.
QStringList othersIn(const QString &folder, const QStringList &expected)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : expected)
        names.removeAll(name);
    return names;
}

void replaceWith(const QString &target, const QByteArray &bytes)
{
    FileReplacement replacement(target);
    replacement.write(bytes);
    replacement.commit();
}

// A folder nobody may write in, root included; false when that cannot be
// had here.
bool makeReadOnly(const QString &folder, bool readOnly)
{
    if (::geteuid() != 0)
        return QFile::setPermissions(folder,
            readOnly ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return QProcess::execute(QStringLiteral("chattr"),
               {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), folder})
        == 0;
}

struct StepHookGuard
{
    explicit StepHookGuard(FileReplacement::StepHook hook)
    {
        FileReplacement::setStepHook(std::move(hook));
    }
    ~StepHookGuard() { FileReplacement::setStepHook({}); }
};

} // namespace

TEST(FileReplacement, ReplacesTheFileALinkNamesAndTheLinkStaysALink)
{
    const QString synced = folderIn(QStringLiteral("synced"));
    const QString here = folderIn(QStringLiteral("here"));
    const QString real = synced + QStringLiteral("/bookmarks.dbk");
    test::writeFileBytes(real, "old");
    QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // A relative link, through a second link.
    ASSERT_TRUE(QFile::link(QStringLiteral("../synced/bookmarks.dbk"), here + "/first.dbk"));
    ASSERT_TRUE(QFile::link(here + "/first.dbk", here + "/second.dbk"));

    replaceWith(here + "/second.dbk", "new");
    EXPECT_TRUE(QFileInfo(here + "/second.dbk").isSymLink());
    EXPECT_TRUE(QFileInfo(here + "/first.dbk").isSymLink());
    EXPECT_EQ(test::fileBytes(real), QByteArray("new"));
    // A private file stays private.
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(othersIn(synced, {"bookmarks.dbk"}), QStringList());
    EXPECT_EQ(othersIn(here, {"first.dbk", "second.dbk"}), QStringList());

    // A link to a file not made yet makes that file.
    ASSERT_TRUE(QFile::link(synced + "/later.html", here + "/later.html"));
    replaceWith(here + "/later.html", "made");
    EXPECT_TRUE(QFileInfo(here + "/later.html").isSymLink());
    EXPECT_EQ(test::fileBytes(synced + "/later.html"), QByteArray("made"));

    ASSERT_TRUE(QFile::link(here + "/loop", here + "/loop"));
    EXPECT_THROW(FileReplacement {here + "/loop"}, store::EngineError);
    EXPECT_THROW(FileReplacement {synced}, store::EngineError); // a folder
}

TEST(FileReplacement, AFailureAtAnyStepLeavesTheOldFileAndNoWorkFile)
{
    const QString folder = folderIn(QStringLiteral("steps"));
    const QString target = folder + QStringLiteral("/export.html");
    for (const Step failing : {Step::Create, Step::Write, Step::Sync, Step::Rename}) {
        SCOPED_TRACE(static_cast<int>(failing));
        test::writeFileBytes(target, "old");
        StepHookGuard guard([failing](Step step, const QString &) {
            if (step == failing)
                throw store::EngineError(
                    store::EngineErrorCode::InjectedFailure, QStringLiteral("Disk full."));
        });
        // Both ways of filling the work file.
        EXPECT_THROW(replaceWith(target, "new"), store::EngineError);
        EXPECT_THROW(
            {
                FileReplacement replacement(target);
                replacement.device().write("new");
                replacement.commit();
            },
            store::EngineError);
        EXPECT_EQ(test::fileBytes(target), QByteArray("old"));
        EXPECT_EQ(othersIn(folder, {"export.html"}), QStringList());
    }
    // A folder that cannot be synced is said too, though the file is new.
    StepHookGuard guard([](Step step, const QString &) {
        if (step == Step::SyncFolder)
            throw store::EngineError(
                store::EngineErrorCode::InjectedFailure, QStringLiteral("I/O error."));
    });
    EXPECT_THROW(replaceWith(target, "new"), store::EngineError);
    EXPECT_EQ(test::fileBytes(target), QByteArray("new"));
    EXPECT_EQ(othersIn(folder, {"export.html"}), QStringList());
}

// Work files of killed runs go when the same file is next replaced. A young
// one, one that a running replacement holds, and names that only look alike
// stay.
TEST(FileReplacement, WorkFilesOfKilledRunsGoAtTheNextReplacement)
{
    const QString folder = folderIn(QStringLiteral("leftovers"));
    const QString target = folder + QStringLiteral("/doc.rdb");
    auto makeAged = [&folder](const QString &name, int seconds) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!QFileInfo::exists(path))
            test::writeFileBytes(path, "partial");
        const time_t then = ::time(nullptr) - seconds;
        const struct timeval times[2] = {{then, 0}, {then, 0}};
        ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
    };
    test::writeFileBytes(target, "old");
    makeAged(QStringLiteral("doc.rdb.123456.temp"), 7200);
    QStringList kept {QStringLiteral("doc.rdb.654321.temp"), QStringLiteral("doc.rdb.12345.temp"),
        QStringLiteral("doc.rdb.12345x.temp"), QStringLiteral("other.rdb.123456.temp")};
    makeAged(kept[0], 60);
    for (const QString &name : kept.mid(1))
        makeAged(name, 7200);
    FileReplacement running(target);
    makeAged(QFileInfo(running.workPath()).fileName(), 7200);
    kept << QFileInfo(running.workPath()).fileName();

    replaceWith(target, "new");
    EXPECT_EQ(test::fileBytes(target), QByteArray("new"));
    QStringList left = othersIn(folder, {QStringLiteral("doc.rdb")});
    left.sort();
    kept.sort();
    EXPECT_EQ(left, kept);
}

TEST(FileReplacement, AReadOnlyFolderOrAMissingSourceSaysWhatFailed)
{
    const QString folder = folderIn(QStringLiteral("locked"));
    const QString target = folder + QStringLiteral("/bookmarks.dbk");
    test::writeFileBytes(target, "old");
    if (!makeReadOnly(folder, true))
        GTEST_SKIP() << "no way to make a read-only folder here";
    try {
        replaceWith(target, "new");
        ADD_FAILURE() << "replaced in a read-only folder";
    } catch (const store::EngineError &e) {
        EXPECT_TRUE(e.description().contains(target)) << e.description().toStdString();
        EXPECT_EQ(e.number(), store::EngineErrorCode::ReadOnly);
    }
    makeReadOnly(folder, false);
    EXPECT_EQ(test::fileBytes(target), QByteArray("old"));
    EXPECT_EQ(othersIn(folder, {"bookmarks.dbk"}), QStringList());

    FileReplacement copy(target);
    EXPECT_THROW(copy.copyFrom(folder + QStringLiteral("/missing")), store::EngineError);
}
