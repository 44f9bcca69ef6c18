// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "core/shell/DatabaseMaintenance.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/shell/RestoreSession.h"
#include "core/store/FileMaintenance.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace quillet;
using Step = shell::DatabaseMaintenance::Step;

namespace {

const QString kBackedUp = QStringLiteral("Your bookmarks have now been successfully backed up.");
const QString kCompacted = QStringLiteral("Your bookmarks have now been successfully compacted.");
const QString kInUse = QStringLiteral("The database your trying to restore may be in use");

class MaintenanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        docs = common::appHome() + QStringLiteral("/docs");
        QDir().mkpath(docs);
        ws = std::make_unique<outline::Workspace>(
            outline::Workspace::Services {&messages, &dialogs, nullptr, nullptr, &status, nullptr});
        ws->windowSettings().backupDir = docs;
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        maintenance = std::make_unique<shell::DatabaseMaintenance>(*ws);
        life->newDocument(false);
    }

    // A saved document with A and B, opened, then edited: C added, A removed,
    // a heading added in memory.
    // `name` may be a link made beforehand to such a document.
    QString openEdited(const QString &name = QStringLiteral("doc.rdb"))
    {
        const QString path = docs + QLatin1Char('/') + name;
        if (!QFileInfo(path).isSymLink())
            writeSaved(path);
        dialogs.choose(path);
        life->fileOpen();
        EXPECT_EQ(ws->document().path(), path);
        db().execute(QStringLiteral("insert into tbItems (tKey, lKey, urlName, urlLink, delFlag) "
                                    "values ('kRoot', 'Ckey', 'C', 'http://x/C', 1)"));
        db().execute(QStringLiteral("update tbItems set delFlag = -1 where urlName = 'A'"));
        ws->tree().appendHeading(
            ws->tree().root(), QStringLiteral("Work"), QStringLiteral("k1"), 3, 4);
        ws->document().setModified(true);
        return path;
    }

    static void writeSaved(const QString &path)
    {
        test::writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {item(QStringLiteral("A")), item(QStringLiteral("B"))});
    }

    static test::ItemRow item(const QString &name)
    {
        return test::ItemRow(QStringLiteral("kRoot"), name + QStringLiteral("key"), name,
            QStringLiteral("http://x/") + name);
    }

    store::Database &db() { return *ws->document().database(); }

    QStringList openItemRows()
    {
        QStringList rows;
        for (auto rs = db().openRecordset(QStringLiteral("tbItems")); !rs->eof(); rs->moveNext())
            rows << rs->text(QStringLiteral("urlName")) + QLatin1Char(':')
                    + QString::number(rs->integer(QStringLiteral("delFlag")));
        return rows;
    }

    // What the user must still have after any maintenance command.
    void expectDocumentIntact(const QString &path)
    {
        ASSERT_NE(ws->document().database(), nullptr);
        EXPECT_EQ(ws->document().path(), path);
        EXPECT_TRUE(ws->document().isModified());
        EXPECT_EQ(openItemRows(),
            QStringList({QStringLiteral("A:-1"), QStringLiteral("B:0"), QStringLiteral("C:1")}));
        EXPECT_EQ(ws->tree().root()->children.size(), 1u);
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".temp")));
        EXPECT_TRUE(status.text.startsWith(QStringLiteral("Status: Idle")));
    }

    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingStatus status;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
    std::unique_ptr<shell::DatabaseMaintenance> maintenance;
    QString docs;
};

} // namespace

TEST(BackupTarget, AppendsDbkUnlessPresent)
{
    EXPECT_EQ(shell::DatabaseMaintenance::backupTarget(QStringLiteral("/d/b")),
        QStringLiteral("/d/b.dbk"));
    EXPECT_EQ(shell::DatabaseMaintenance::backupTarget(QStringLiteral("/d/b.txt")),
        QStringLiteral("/d/b.txt.dbk"));
    EXPECT_EQ(shell::DatabaseMaintenance::backupTarget(QStringLiteral("/d/b.DBK")),
        QStringLiteral("/d/b.DBK"));
}

TEST_F(MaintenanceTest, BackupHoldsTheScreenStateSavedWhileTheDocumentStaysPending)
{
    const QString path = openEdited();
    dialogs.choose(docs + QStringLiteral("/saved"));
    maintenance->backup();

    EXPECT_EQ(messages.texts(), QStringList({kBackedUp}));
    EXPECT_EQ(messages.shown.last().title, QStringLiteral("Backup database"));
    expectDocumentIntact(path);
    const QString backup = docs + QStringLiteral("/saved.dbk");
    // A backup is a document under another name: it opens with the password.
    EXPECT_EQ(test::itemRows(backup), QStringList({QStringLiteral("B:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(test::nodeRows(backup),
        QStringList({QStringLiteral("0>kRoot:my Favroites"), QStringLiteral("kRoot>k1:Work")}));
    EXPECT_TRUE(QDir(store::tempFolder()).entryList({QStringLiteral("*.rdb")}).isEmpty());
}

TEST_F(MaintenanceTest, BackupAndRestoreDialogsStartWhereTheLastOneEnded)
{
    openEdited();
    const QString elsewhere = docs + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    dialogs.choose(elsewhere + QStringLiteral("/saved"));
    maintenance->backup();
    EXPECT_EQ(ws->windowSettings().backupDir, elsewhere);
    EXPECT_EQ(shell::DatabaseMaintenance::backupFolder(*ws), elsewhere);
}

TEST_F(MaintenanceTest, BackupFailingAtAnyStepKeepsDocumentAndOldBackup)
{
    const QString path = openEdited();
    const QString old = docs + QStringLiteral("/saved.dbk");
    for (const Step failing : {Step::Copy, Step::Settle, Step::Compact, Step::Replace}) {
        SCOPED_TRACE(static_cast<int>(failing));
        test::writeFileBytes(old, "old backup");
        messages.shown.clear();
        maintenance->beforeStep = [failing](Step s) {
            if (s == failing)
                throw store::EngineError(
                    store::EngineErrorCode::InjectedFailure, QStringLiteral("Disk full."));
        };
        dialogs.choose(old);
        maintenance->backup();
        expectDocumentIntact(path);
        EXPECT_EQ(test::fileBytes(old), QByteArray("old backup"));
        EXPECT_FALSE(QFileInfo::exists(old + QStringLiteral(".temp")));
        ASSERT_EQ(messages.shown.size(), 2);
        EXPECT_EQ(messages.shown[0].text,
            QLatin1Char('"') + old
                + QStringLiteral("\" already exists, do you want to replace it?"));
        EXPECT_TRUE(messages.shown[1].text.endsWith(QStringLiteral("Disk full.")));
        EXPECT_EQ(messages.shown[1].icon, platform::MessageIcon::Critical);
    }
    // No work copy is left behind, and the document still saves.
    EXPECT_TRUE(QDir(store::tempFolder()).entryList({QStringLiteral("*.rdb")}).isEmpty());
    EXPECT_TRUE(QDir(docs).entryList({QStringLiteral("*.temp")}, QDir::Files).isEmpty());
    EXPECT_TRUE(life->save());
    EXPECT_EQ(openItemRows(), QStringList({QStringLiteral("B:0"), QStringLiteral("C:0")}));
}

TEST_F(MaintenanceTest, CompactKeepsEveryRowFlagAndTreeInPlace)
{
    const QString path = openEdited();
    // Compacted in place: a file beside it is no obstacle, and stays.
    test::writeFileBytes(path + QStringLiteral(".temp"), "stale");
    maintenance->compact();
    EXPECT_EQ(messages.texts(), QStringList({kCompacted}));
    EXPECT_EQ(test::fileBytes(path + QStringLiteral(".temp")), QByteArray("stale"));
    QFile::remove(path + QStringLiteral(".temp"));
    expectDocumentIntact(path);
}

TEST_F(MaintenanceTest, CompactFailingAtAnyStepLeavesTheDocumentOpenAsItWas)
{
    const QString path = openEdited();
    for (const Step failing : {Step::Compact, Step::Replace}) {
        messages.shown.clear();
        maintenance->beforeStep = [failing](Step s) {
            if (s == failing)
                throw store::EngineError(
                    store::EngineErrorCode::InjectedFailure, QStringLiteral("Disk full."));
        };
        maintenance->compact();
        expectDocumentIntact(path);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Compact database"));
    }
    // A work file that cannot be removed stops the compaction the same way.
    maintenance->beforeStep = nullptr;
    QDir().mkpath(path + QStringLiteral(".temp/x"));
    maintenance->compact();
    ASSERT_NE(ws->document().database(), nullptr);
    EXPECT_EQ(openItemRows().size(), 3);
    QDir(path + QStringLiteral(".temp")).removeRecursively();
    EXPECT_TRUE(life->save());
    EXPECT_EQ(openItemRows(), QStringList({QStringLiteral("B:0"), QStringLiteral("C:0")}));
}

TEST_F(MaintenanceTest, BackupAndCompactKeepLinksLinksAndTheDocumentItsOwnFile)
{
    // The document is opened through a link; the backup goes onto a link
    // into a synced folder.
    const QString real = docs + QStringLiteral("/real.rdb");
    writeSaved(real);
    ASSERT_TRUE(QFile::link(real, docs + QStringLiteral("/link.rdb")));
    const QString path = openEdited(QStringLiteral("link.rdb"));
    const QString synced = docs + QStringLiteral("/synced");
    QDir().mkpath(synced);
    test::writeFileBytes(synced + QStringLiteral("/saved.dbk"), "old backup");
    const QString backupLink = docs + QStringLiteral("/saved.dbk");
    ASSERT_TRUE(QFile::link(synced + QStringLiteral("/saved.dbk"), backupLink));

    dialogs.choose(backupLink);
    maintenance->backup();
    maintenance->compact();
    EXPECT_EQ(messages.texts().mid(1), QStringList({kBackedUp, kCompacted}));
    EXPECT_TRUE(QFileInfo(backupLink).isSymLink());
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(test::itemRows(synced + QStringLiteral("/saved.dbk")),
        QStringList({QStringLiteral("B:0"), QStringLiteral("C:0")}));
    expectDocumentIntact(path);
    // The open document is still the file the link names: a Save reaches it.
    EXPECT_TRUE(life->save());
    ws->document().closeDatabase();
    EXPECT_EQ(test::itemRows(real), QStringList({QStringLiteral("B:0"), QStringLiteral("C:0")}));
}

TEST_F(MaintenanceTest, ADocumentNamedWithATrailingBlankIsTheOneBackedUpAndCompacted)
{
    test::writeFileBytes(docs + QStringLiteral("/doc.rdb"), "another file");
    const QString path = openEdited(QStringLiteral("doc.rdb "));
    dialogs.choose(docs + QStringLiteral("/blank.dbk"));
    maintenance->backup();
    maintenance->compact();
    EXPECT_EQ(messages.texts(), QStringList({kBackedUp, kCompacted}));
    expectDocumentIntact(path);
    EXPECT_EQ(test::fileBytes(docs + QStringLiteral("/doc.rdb")), QByteArray("another file"));
    EXPECT_EQ(test::itemRows(docs + QStringLiteral("/blank.dbk")),
        QStringList({QStringLiteral("B:0"), QStringLiteral("C:0")}));
}

TEST_F(MaintenanceTest, CompactsAnUntitledDocumentInItsTmpFile)
{
    const QString path = ws->document().path();
    db().execute(QStringLiteral("insert into tbItems (tKey, lKey, urlName, urlLink, delFlag) "
                                "values ('kRoot', 'Ckey', 'C', 'http://x/C', 1)"));
    maintenance->compact();
    EXPECT_TRUE(ws->document().isUntitled());
    EXPECT_EQ(ws->document().path(), path);
    EXPECT_EQ(openItemRows(), QStringList({QStringLiteral("C:1")}));
}

TEST_F(MaintenanceTest, RestoreProposesRdbInTheChosenFolderAndOpensIt)
{
    const QString backup = docs + QStringLiteral("/ bookmarks .dbk");
    test::writeDocument(backup,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
        {item(QStringLiteral("Z"))});
    const QString target = docs + QStringLiteral("/out");
    QDir().mkpath(target);
    shell::RestoreSession restore(*ws, *life);
    EXPECT_FALSE(restore.folderButtonEnabled());
    dialogs.choose(docs + QStringLiteral("/notes.txt"));
    EXPECT_FALSE(restore.chooseSource());
    EXPECT_EQ(messages.texts(),
        QStringList({QStringLiteral("This is not a valid bookmarks backup file.")}));
    dialogs.choose(backup);
    ASSERT_TRUE(restore.chooseSource());
    EXPECT_TRUE(restore.folderButtonEnabled());
    EXPECT_FALSE(restore.startEnabled());
    dialogs.choose(target);
    ASSERT_TRUE(restore.chooseFolder());
    EXPECT_EQ(restore.destination(), target + QStringLiteral("/bookmarks.rdb"));
    EXPECT_TRUE(restore.startEnabled());
    restore.runAfterRestore = true;
    ASSERT_TRUE(restore.restore());
    EXPECT_EQ(messages.texts().last(),
        QStringLiteral("Your Database has now been successfully restored."));
    EXPECT_EQ(ws->document().path(), target + QStringLiteral("/bookmarks.rdb"));
    EXPECT_EQ(openItemRows(), QStringList({QStringLiteral("Z:0")}));
}

TEST_F(MaintenanceTest, RestoreOntoTheOpenDocumentFailsAndLeavesItUntouched)
{
    const QString path = openEdited();
    const QString backup = docs + QStringLiteral("/b.dbk");
    test::writeDocument(backup,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}}, {});
    const QByteArray before = test::fileBytes(path);
    shell::RestoreSession restore(*ws, *life);
    restore.setSource(backup);
    restore.setDestination(path);
    EXPECT_FALSE(restore.restore());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text, kInUse);
    EXPECT_EQ(messages.shown[1].title, QStringLiteral("Error_3045"));
    EXPECT_EQ(test::fileBytes(path), before);
    expectDocumentIntact(path);
}

TEST_F(MaintenanceTest, RestoreOfAFileThatIsNoBackupSaysSoAndWritesNothing)
{
    const QString backup = docs + QStringLiteral("/junk.dbk");
    test::writeFileBytes(backup, QByteArray(8192, 'x'));
    shell::RestoreSession restore(*ws, *life);
    restore.setSource(backup);
    restore.setDestination(docs + QStringLiteral("/junk.rdb"));
    EXPECT_FALSE(restore.restore());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.endsWith(kInUse));
    EXPECT_FALSE(QFileInfo::exists(docs + QStringLiteral("/junk.rdb")));
    EXPECT_FALSE(QFileInfo::exists(docs + QStringLiteral("/junk.rdb.temp")));
}

TEST_F(MaintenanceTest, RestoreReadsABackupItMayNotWrite)
{
    const QString backup = docs + QStringLiteral("/readonly.dbk");
    test::writeDocument(backup,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
        {item(QStringLiteral("Z"))});
    const QByteArray before = test::fileBytes(backup);
    // As on read-only media: nobody may write it, root included.
    const bool locked = ::geteuid() == 0
        ? QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), backup}) == 0
        : QFile::setPermissions(backup, QFileDevice::ReadOwner);
    if (!locked)
        GTEST_SKIP() << "no way to make a read-only file here";
    shell::RestoreSession restore(*ws, *life);
    restore.setSource(backup);
    restore.setDestination(docs + QStringLiteral("/restored.rdb"));
    const bool restored = restore.restore();
    if (::geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), backup});
    EXPECT_TRUE(restored) << messages.texts().join(' ').toStdString();
    EXPECT_EQ(test::itemRows(docs + QStringLiteral("/restored.rdb")),
        QStringList({QStringLiteral("Z:0")}));
    EXPECT_EQ(test::fileBytes(backup), before);
}
