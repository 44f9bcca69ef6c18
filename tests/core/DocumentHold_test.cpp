// SPDX-License-Identifier: GPL-3.0-or-later
// The open document stays held whatever the process does with its file.
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "FileLocks.h"
#include "core/browsers/BookmarkFormats.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/common/AppHome.h"
#include "core/snapshots/ImageFiles.h"
#include "core/store/Database.h"
#include "core/store/FileMaintenance.h"
#include "core/store/Schema.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::store;
using test::locksOn;

namespace {

const QString kCli = QStringLiteral(QUILLET_CLI);
constexpr int kRefused = 3;

QString newDocument(const QString &name = QStringLiteral("doc.rdb"))
{
    const QString path = common::homePath(name);
    test::writeDocument(
        path, {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}}, {});
    return path;
}

int secondProcess(const QString &path)
{
    return test::secondProcessLists(kCli, path);
}

} // namespace

TEST(DocumentHold, SurvivesTheProcessReadingAndClosingTheFile)
{
    const QString path = newDocument();
    auto db = openDocumentDatabase(path);
    ASSERT_EQ(locksOn(path).holds, 1);
    ASSERT_GT(locksOn(path).engineLocksHere, 0);

    // What a file dialog guessing the type, a copy or a check does: the
    // kernel drops every fcntl lock of the process on the file here.
    EXPECT_FALSE(test::fileBytes(path).isEmpty());
    EXPECT_EQ(locksOn(path).engineLocksHere, 0);
    EXPECT_EQ(locksOn(path).holds, 1);
    EXPECT_EQ(secondProcess(path), kRefused);

    // The holder goes on working, and its file is its own once it closes.
    db->execute(QStringLiteral("INSERT INTO tbTips (Version) VALUES ('3.0')"));
    db.reset();
    EXPECT_EQ(locksOn(path).holds, 0);
    EXPECT_EQ(secondProcess(path), 0);
}

TEST(DocumentHold, ASecondConnectionHereIsRefusedAndLeavesTheLocksAlone)
{
    const QString path = newDocument();
    auto db = openDocumentDatabase(path);
    const int engineLocks = locksOn(path).engineLocksHere;
    ASSERT_GT(engineLocks, 0);
    EXPECT_FALSE(canOpenDatabase(path));
    EXPECT_TRUE(isHeldOpen(path));
    EXPECT_THROW(openDocumentDatabase(path), EngineError);
    EXPECT_TRUE(DocumentHold::isHeldHere(path));
    // The refused connections closed their descriptors without dropping the
    // first one's locks.
    EXPECT_EQ(locksOn(path).engineLocksHere, engineLocks);
    EXPECT_EQ(locksOn(path).holds, 1);
    EXPECT_EQ(secondProcess(path), kRefused);
}

TEST(DocumentHold, TheProgramsOwnReadersLeaveTheOpenDocumentAlone)
{
    // The document chosen by mistake as a file to import or a picture.
    const QString path = newDocument();
    auto db = openDocumentDatabase(path);
    const int engineLocks = locksOn(path).engineLocksHere;
    EXPECT_FALSE(browsers::readBookmarkHtmlFile(path).error.isEmpty());
    browsers::guessBookmarkFormat(path);
    EXPECT_FALSE(snapshots::makeThumbnail(path).has_value());
    EXPECT_EQ(locksOn(path).engineLocksHere, engineLocks);
}

TEST(DocumentHold, OutlivesTheConnectionForWhoeverKeepsIt)
{
    // A new document is held from the moment its file exists.
    const QString created = common::homePath(QStringLiteral("new.rdb"));
    {
        auto db = Database::create(created, openConnectString());
        EXPECT_EQ(secondProcess(created), kRefused);
    }
    const QString path = newDocument();
    auto db = openDocumentDatabase(path);
    std::shared_ptr<DocumentHold> keep = db->hold();
    db.reset();
    EXPECT_EQ(locksOn(path).holds, 1);
    EXPECT_EQ(secondProcess(path), kRefused);
    // Opened again here under the same hold.
    db = openDocumentDatabase(path);
    keep.reset();
    EXPECT_EQ(secondProcess(path), kRefused);
    db.reset();
    EXPECT_FALSE(DocumentHold::isHeldHere(path));
    EXPECT_EQ(secondProcess(path), 0);
}

TEST(DocumentHold, AnotherProcessHoldingTheFileIsHonoured)
{
    const QString path = newDocument();
    QProcess holder;
    holder.start(QStringLiteral(QUILLET_HELPER_hold_document), {path});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("ready"));
    EXPECT_EQ(locksOn(path).holds, 1);
    try {
        DocumentHold::take(path);
        ADD_FAILURE() << "the hold of another process was taken";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.number(), EngineErrorCode::FileInUse);
    }
    holder.kill();
    holder.waitForFinished();
    EXPECT_NO_THROW(DocumentHold::take(path));
}
