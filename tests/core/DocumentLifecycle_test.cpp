// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/FileReplacement.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace quillet;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

const QString kPrompt
    = QStringLiteral("The current file has been modified, would you like to save it?");
const QString kRdbFilter = QStringLiteral("rdb files(*.rdb)|*.rdb");

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// The saved state every document here starts from: the root with one
// sub-heading, and two committed bookmarks.
const QList<test::NodeRow> kSavedNodes = {
    {QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
    {QStringLiteral("kRoot"), QStringLiteral("Work"), QStringLiteral("k1"), 3, 4},
};
const QStringList kSavedNodeRows
    = {QStringLiteral("0>kRoot:my Favroites"), QStringLiteral("kRoot>k1:Work")};
const QStringList kSavedItemRows = {QStringLiteral("A:0"), QStringLiteral("B:0")};

test::ItemRow item(const QString &name)
{
    return test::ItemRow(QStringLiteral("kRoot"), name + QStringLiteral("key"), name,
        QStringLiteral("http://x/") + name);
}

class DocumentLifecycleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home = common::appHome();
        // The desktop lives inside the test's home, never on the machine's.
        const QString user = home + QStringLiteral("/user");
        desktop = user + QStringLiteral("/Desktop");
        docs = home + QStringLiteral("/docs");
        QDir().mkpath(desktop);
        QDir().mkpath(docs);
        m_user.emplace(user);
        ws = std::make_unique<outline::Workspace>(outline::Workspace::Services {
            &messages, &dialogs, &desktopServices, &description, &status, &progress});
        QDir().mkpath(ws->optionSettings().imageFolder);
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        life->newDocument(false);
    }

    void TearDown() override
    {
        life.reset();
        ws.reset();
        m_user.reset();
    }

    store::Document &doc() { return ws->document(); }
    store::Database &db() { return *ws->document().database(); }

    QString savedDocument(const QString &name, const QString &folder = QString())
    {
        const QString path = (folder.isEmpty() ? docs : folder) + QLatin1Char('/') + name;
        test::writeDocument(
            path, kSavedNodes, {item(QStringLiteral("A")), item(QStringLiteral("B"))});
        return path;
    }

    void open(const QString &path)
    {
        dialogs.choose(path);
        life->fileOpen();
        ASSERT_EQ(doc().path(), path);
    }

    // Edits as the other parts make them: bookmark rows written at once and
    // marked, headings changed in memory only.
    void addBookmark(const QString &name)
    {
        db().execute(
            QStringLiteral("insert into tbItems (tKey, lKey, urlName, urlLink, urlDate, delFlag) "
                           "values ('kRoot', '%1key', '%1', 'http://x/%1', '2024-05-06', 1)")
                .arg(name));
        edited();
    }
    void hideBookmark(const QString &name)
    {
        db().execute(
            QStringLiteral("update tbItems set delFlag = -1 where urlName = '%1'").arg(name));
        edited();
    }
    void edited()
    {
        ws->list().refill(QStringLiteral("kRoot"), &db());
        doc().setModified(true);
    }
    void addHeading(const QString &title, const QString &key)
    {
        ws->tree().appendHeading(ws->tree().root(), title, key, 3, 4);
        doc().setModified(true);
    }
    QString writePicture(const QString &name)
    {
        const QString path = ws->optionSettings().imageFolder + QLatin1Char('/') + name;
        test::writeFileBytes(path, "picture");
        return path;
    }

    // tbItems of the open document, as itemRows() gives them for a closed one.
    QStringList openItemRows()
    {
        QStringList rows;
        for (auto rs = db().openRecordset(QStringLiteral("tbItems")); !rs->eof(); rs->moveNext())
            rows << rs->text(QStringLiteral("urlName")) + QLatin1Char(':')
                    + QString::number(rs->integer(QStringLiteral("delFlag")));
        return rows;
    }
    QStringList openNodeRows()
    {
        QStringList rows;
        for (auto rs = db().openRecordset(QStringLiteral("tbNodes")); !rs->eof(); rs->moveNext())
            rows << rs->text(QStringLiteral("Parent")) + QLatin1Char('>')
                    + rs->text(QStringLiteral("Key")) + QLatin1Char(':')
                    + rs->text(QStringLiteral("Title"));
        return rows;
    }
    QStringList treeRows()
    {
        QStringList rows;
        std::function<void(const outline::HeadingNode *)> walk
            = [&](const outline::HeadingNode *n) {
                  rows << (n->parent ? n->parent->key : QStringLiteral("0")) + QLatin1Char('>')
                          + n->key + QLatin1Char(':') + n->title;
                  for (const auto &child : n->children)
                      walk(child.get());
              };
        if (ws->tree().root())
            walk(ws->tree().root());
        return rows;
    }
    QStringList tmpDatabases()
    {
        return QDir(store::tempFolder()).entryList({QStringLiteral("*.rdb")}, QDir::Files);
    }
    void failWritesTo(const QString &needle)
    {
        db().setWriteHook([needle](const QString &sql) {
            if (sql.contains(needle, Qt::CaseInsensitive))
                throw store::EngineError(
                    store::EngineErrorCode::InjectedFailure, QStringLiteral("Disk full."));
        });
    }

    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingDesktop desktopServices;
    test::RecordingDescription description;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
    QString home, desktop, docs;

private:
    std::optional<test::ScopedUserHome> m_user;
};

using DocumentLifecycleNew = DocumentLifecycleTest;
using DocumentLifecycleOpen = DocumentLifecycleTest;
using DocumentLifecycleRecent = DocumentLifecycleTest;
using DocumentLifecycleSaveAs = DocumentLifecycleTest;
using DocumentLifecycleFailures = DocumentLifecycleTest;
using DocumentLifecycleExit = DocumentLifecycleTest;

} // namespace

// --- New -------------------------------------------------------------------

TEST_F(DocumentLifecycleNew, OnCleanUntitledDoesNothing)
{
    const QStringList before = tmpDatabases();
    const QString path = doc().path();
    life->fileNew();
    EXPECT_EQ(tmpDatabases(), before);
    EXPECT_EQ(doc().path(), path);
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DocumentLifecycleNew, ModifiedUntitledAnsweredNoReplacesTheTempFile)
{
    const QString old = doc().path();
    addBookmark(QStringLiteral("A"));
    messages.answer(MessageAnswer::No);
    life->fileNew();

    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, kPrompt);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_EQ(tmpDatabases(), QStringList {doc().fileName()});
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet- New"));
    EXPECT_TRUE(doc().isUntitled());
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(treeRows(), QStringList {QStringLiteral("0>kRoot:my Favroites")});
    EXPECT_TRUE(openItemRows().isEmpty());
}

TEST_F(DocumentLifecycleNew, YesOnUntitledThenCancelInSaveAsKeepsTheDocument)
{
    const QString path = doc().path();
    addBookmark(QStringLiteral("A"));
    messages.answer(MessageAnswer::Yes);
    dialogs.choose(QString());
    life->fileNew();
    EXPECT_EQ(doc().path(), path);
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(openItemRows(), QStringList {QStringLiteral("A:1")});
}

TEST_F(DocumentLifecycleNew, ModifiedTitledAnsweredNoRevertsToTheLastSave)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    // Pictures of a bookmark that is then saved belong to the file.
    addBookmark(QStringLiteral("C"));
    const QString kept = writePicture(QStringLiteral("kept.jpg"));
    doc().registerPendingImageFile(QStringLiteral("kept.jpg"));
    life->fileSave();
    ASSERT_FALSE(doc().isModified());

    addBookmark(QStringLiteral("D"));
    hideBookmark(QStringLiteral("B"));
    addHeading(QStringLiteral("Fresh"), QStringLiteral("k9"));
    const QString gone = writePicture(QStringLiteral("gone.jpg"));
    const QString thumb = writePicture(QStringLiteral("gone_thumb.jpg"));
    doc().registerPendingImageFile(QStringLiteral("gone.jpg"));
    doc().registerPendingImageFile(QStringLiteral("gone_thumb.jpg"));
    messages.answer(MessageAnswer::No);
    life->fileNew();

    EXPECT_EQ(messages.texts(), QStringList {kPrompt});
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_FALSE(QFileInfo::exists(thumb));
    EXPECT_TRUE(doc().isUntitled());
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet- New"));
    EXPECT_EQ(test::itemRows(path),
        (QStringList {QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(test::nodeRows(path), kSavedNodeRows);
}

TEST_F(DocumentLifecycleNew, ModifiedTitledAnsweredYesSavesAndCancelChangesNothing)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    addHeading(QStringLiteral("Fresh"), QStringLiteral("k9"));

    messages.answer(MessageAnswer::Cancel);
    life->fileNew();
    EXPECT_EQ(doc().path(), path);
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet- doc.rdb"));
    EXPECT_EQ(openItemRows(),
        (QStringList {QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:1")}));

    messages.answer(MessageAnswer::Yes);
    life->fileNew();
    EXPECT_TRUE(doc().isUntitled());
    EXPECT_EQ(test::itemRows(path),
        (QStringList {QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(
        test::nodeRows(path), kSavedNodeRows + QStringList {QStringLiteral("kRoot>k9:Fresh")});
}

// --- Open ------------------------------------------------------------------

TEST_F(DocumentLifecycleOpen, LoadsTreeListAndNames)
{
    const QString untitled = doc().path();
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    EXPECT_EQ(dialogs.filters, QStringList {kRdbFilter});
    // The dialog started on the desktop; the next one starts where the file was.
    EXPECT_EQ(dialogs.folders, QStringList {desktop});
    EXPECT_EQ(ws->windowSettings().defaultDir, docs);
    EXPECT_FALSE(QFileInfo::exists(untitled));
    EXPECT_FALSE(doc().isUntitled());
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet- doc.rdb"));
    EXPECT_EQ(treeRows(), kSavedNodeRows);
    EXPECT_EQ(ws->list().model().rowCount(), 2);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 2 bookmarks found."));
    EXPECT_EQ(ws->windowSettings().mru[0], path);
}

TEST_F(DocumentLifecycleOpen, CancelInTheDialogAfterYesKeepsTheSavedDocument)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    messages.answer(MessageAnswer::Yes);
    dialogs.choose(QString());
    life->fileOpen();
    EXPECT_EQ(doc().path(), path);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(openItemRows(),
        (QStringList {QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(ws->list().model().rowCount(), 3);
}

TEST_F(DocumentLifecycleOpen, OwnFileOrBadFileCanNotBeOpened)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    const QString junk = docs + QStringLiteral("/junk.rdb");
    const QString empty = docs + QStringLiteral("/empty.rdb");
    test::writeFileBytes(junk, QByteArray(4096, 'x'));
    test::writeFileBytes(empty, QByteArray());

    for (const QString &chosen : {path, junk, empty}) {
        SCOPED_TRACE(chosen.toStdString());
        const QByteArray bytes = test::fileBytes(chosen);
        messages.shown.clear();
        messages.answer(MessageAnswer::No);
        dialogs.choose(chosen);
        life->fileOpen();
        ASSERT_EQ(messages.shown.size(), 2);
        // With its reason in the user's words.
        EXPECT_EQ(messages.shown[1].text,
            QStringLiteral("Can not open file: ") + quoted(chosen) + QStringLiteral(". ")
                + (chosen == path
                        ? QStringLiteral("It is open in another program (another Quillet or "
                                         "quillet-cli).")
                        : QStringLiteral(
                            "It is not a Quillet document, or its password is wrong.")));
        EXPECT_EQ(messages.shown[1].icon, MessageIcon::Critical);
        // The old document stays open with its changes still pending.
        EXPECT_EQ(doc().path(), path);
        EXPECT_TRUE(doc().isModified());
        EXPECT_EQ(openItemRows().last(), QStringLiteral("C:1"));
        if (chosen != path) {
            EXPECT_EQ(test::fileBytes(chosen), bytes);
        }
    }
}

TEST_F(DocumentLifecycleOpen, UnloadableTreeEndsInAnEmptyUntitledDocument)
{
    const QList<QList<test::NodeRow>> badTrees = {
        {},
        {{QStringLiteral("kX"), QStringLiteral("Top"), QStringLiteral("kRoot")}},
        {kSavedNodes[0], {QStringLiteral("kGone"), QStringLiteral("Lost"), QStringLiteral("k2")}},
    };
    for (int i = 0; i < badTrees.size(); ++i) {
        SCOPED_TRACE(i);
        const QString path = docs + QStringLiteral("/bad%1.rdb").arg(i);
        test::writeDocument(path, badTrees[i], {item(QStringLiteral("A"))});
        const QByteArray bytes = test::fileBytes(path);
        const QString untitled = doc().path();
        messages.shown.clear();
        dialogs.choose(path);
        life->fileOpen();

        ASSERT_EQ(messages.shown.size(), 2);
        EXPECT_TRUE(messages.shown[0].text.startsWith(
            QLatin1Char('\'') + path + QStringLiteral("' could not be loaded. ")));
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(messages.shown[1].text,
            QStringLiteral("Can not load file: ") + quoted(path) + QStringLiteral(". "));
        EXPECT_EQ(messages.shown[1].icon, MessageIcon::Critical);
        EXPECT_TRUE(doc().isUntitled());
        EXPECT_FALSE(doc().isModified());
        EXPECT_EQ(doc().caption(), QStringLiteral("Quillet"));
        EXPECT_FALSE(QFileInfo::exists(untitled));
        EXPECT_TRUE(QFileInfo::exists(doc().path()));
        EXPECT_EQ(treeRows(), QStringList {QStringLiteral("0>kRoot:my Favroites")});
        EXPECT_EQ(ws->list().model().rowCount(), 0);
        EXPECT_EQ(status.text, QStringLiteral("Status: Idle"));
        EXPECT_EQ(test::fileBytes(path), bytes);
        EXPECT_TRUE(ws->windowSettings().mru[0].isEmpty());
    }
}

// --- Recent files ----------------------------------------------------------

TEST_F(DocumentLifecycleRecent, OrderOfTheThreeEntries)
{
    const QString a = savedDocument(QStringLiteral("a.rdb"));
    const QString b = savedDocument(QStringLiteral("b.rdb"));
    const QString c = savedDocument(QStringLiteral("c.rdb"));
    auto &mru = ws->windowSettings().mru;
    using Mru = std::array<QString, 3>;
    for (const QString &path : {a, b, c})
        life->openDocumentFile(path);
    EXPECT_EQ(mru, (Mru {c, b, a}));

    life->openDocumentFile(a); // MRU3 moves to the top
    EXPECT_EQ(mru, (Mru {a, c, b}));
    life->fileNew();
    life->openDocumentFile(a); // MRU1 again: no change
    EXPECT_EQ(doc().path(), a);
    EXPECT_EQ(mru, (Mru {a, c, b}));
    life->addRecentFile(a.toUpper()); // compared without case
    EXPECT_EQ(mru, (Mru {a, c, b}));
    life->openDocumentFile(c); // MRU2 moves up without a duplicate
    EXPECT_EQ(mru, (Mru {c, a, b}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DocumentLifecycleRecent, DesktopFileIsStoredByNameAndFoundAgain)
{
    const QString path = savedDocument(QStringLiteral("desk.rdb"), desktop);
    open(path);
    EXPECT_EQ(ws->windowSettings().mru[0], QStringLiteral("desk.rdb"));
    life->fileNew();
    ASSERT_TRUE(doc().isUntitled());
    life->openDocumentFile(ws->windowSettings().mru[0]);
    EXPECT_EQ(doc().path(), path);
    EXPECT_FALSE(doc().isUntitled());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DocumentLifecycleRecent, MissingFileIsReportedBeforeAnyPrompt)
{
    addBookmark(QStringLiteral("A"));
    const QString untitled = doc().path();
    const QString missing = docs + QStringLiteral("/gone.rdb");
    ws->windowSettings().mru = {missing, QStringLiteral("away.rdb"), QString()};

    life->openDocumentFile(missing);
    life->openDocumentFile(QStringLiteral("away.rdb"));
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text,
        QStringLiteral("File not found: ") + quoted(missing) + QStringLiteral(". "));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[1].text,
        QStringLiteral("File not found: ") + quoted(desktop + QStringLiteral("/away.rdb"))
            + QStringLiteral(". "));
    EXPECT_EQ(ws->windowSettings().mru[0], missing);
    EXPECT_EQ(ws->windowSettings().mru[1], QStringLiteral("away.rdb"));
    EXPECT_EQ(doc().path(), untitled);
    EXPECT_TRUE(doc().isModified());
}

// --- Save As ---------------------------------------------------------------

TEST_F(DocumentLifecycleSaveAs, UntitledLeavesNoTempFileAndLoadsBack)
{
    addHeading(QStringLiteral("Work"), QStringLiteral("k1"));
    addBookmark(QStringLiteral("A"));
    addBookmark(QStringLiteral("B"));
    const QString target = docs + QStringLiteral("/new.rdb");
    dialogs.choose(target);
    life->fileSave();

    EXPECT_TRUE(tmpDatabases().isEmpty());
    EXPECT_EQ(dialogs.filters, QStringList {kRdbFilter});
    EXPECT_EQ(doc().path(), target);
    EXPECT_FALSE(doc().isUntitled());
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet- new.rdb"));
    EXPECT_EQ(ws->windowSettings().mru[0], target);
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 2 bookmarks found."));

    life->fileNew();
    EXPECT_EQ(test::nodeRows(target),
        (QStringList {QStringLiteral("0>kRoot:my Favroites"), QStringLiteral("kRoot>k1:Work")}));
    EXPECT_EQ(test::itemRows(target), kSavedItemRows);
    life->openDocumentFile(target);
    EXPECT_EQ(treeRows(), kSavedNodeRows.first(1) + QStringList {QStringLiteral("kRoot>k1:Work")});
    EXPECT_EQ(ws->list().model().rowCount(), 2);
}

TEST_F(DocumentLifecycleSaveAs, ANameWithoutExtensionGetsRdbAndTheFolderIsRemembered)
{
    const QString other = docs + QStringLiteral("/other");
    QDir().mkpath(other);
    dialogs.choose(other + QStringLiteral("/plain"));
    EXPECT_TRUE(life->fileSaveAs());
    EXPECT_EQ(doc().path(), other + QStringLiteral("/plain.rdb"));
    EXPECT_EQ(ws->windowSettings().defaultDir, other);

    // Another extension is kept as typed; the dialog starts in the last folder.
    dialogs.choose(docs + QStringLiteral("/notes.txt"));
    EXPECT_TRUE(life->fileSaveAs());
    EXPECT_EQ(doc().path(), docs + QStringLiteral("/notes.txt"));
    EXPECT_EQ(dialogs.folders.last(), other);
    EXPECT_EQ(ws->windowSettings().defaultDir, docs);
}

TEST_F(DocumentLifecycleSaveAs, ModifiedTitledKeepsTheOldFileAsLastSaved)
{
    const QString old = savedDocument(QStringLiteral("old.rdb"));
    open(old);
    addBookmark(QStringLiteral("C"));
    hideBookmark(QStringLiteral("B"));
    addHeading(QStringLiteral("Fresh"), QStringLiteral("k9"));
    const QString picture = writePicture(QStringLiteral("c.jpg"));
    doc().registerPendingImageFile(QStringLiteral("c.jpg"));

    const QString target = docs + QStringLiteral("/copy.rdb");
    dialogs.choose(target);
    EXPECT_TRUE(life->fileSaveAs());
    EXPECT_EQ(doc().path(), target);
    EXPECT_EQ(doc().caption(), QStringLiteral("Quillet- copy.rdb"));
    EXPECT_TRUE(doc().pendingImageFiles().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(picture));
    EXPECT_EQ(test::itemRows(old), kSavedItemRows);
    EXPECT_EQ(test::nodeRows(old), kSavedNodeRows);
    EXPECT_EQ(openItemRows(), (QStringList {QStringLiteral("A:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(openNodeRows(), kSavedNodeRows + QStringList {QStringLiteral("kRoot>k9:Fresh")});
    EXPECT_EQ(ws->windowSettings().mru[0], target);
    EXPECT_EQ(ws->windowSettings().mru[1], old);
}

TEST_F(DocumentLifecycleSaveAs, ExistingTargetIsReplacedOnlyAfterYes)
{
    const QString existing = savedDocument(QStringLiteral("there.rdb"));
    const QByteArray bytes = test::fileBytes(existing);
    addBookmark(QStringLiteral("Z"));
    const QString replace
        = quoted(existing) + QStringLiteral(" already exists, Do you want to replace it?");

    // No asks for a name again; Cancel there gives up and keeps both.
    messages.answer(MessageAnswer::No);
    dialogs.choose(existing);
    dialogs.choose(QString());
    EXPECT_FALSE(life->fileSaveAs());
    EXPECT_EQ(dialogs.opened, 2);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, replace);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(test::fileBytes(existing), bytes);
    EXPECT_TRUE(doc().isUntitled());
    EXPECT_TRUE(doc().isModified());

    messages.answer(MessageAnswer::No);
    messages.answer(MessageAnswer::Yes);
    dialogs.choose(existing);
    dialogs.choose(existing);
    EXPECT_TRUE(life->fileSaveAs());
    EXPECT_EQ(messages.texts(), (QStringList {replace, replace, replace}));
    EXPECT_EQ(doc().path(), existing);
    EXPECT_EQ(openItemRows(), QStringList {QStringLiteral("Z:0")});
}

TEST_F(DocumentLifecycleSaveAs, TargetHeldByAnotherProgramIsNotReplaced)
{
    const QString other = savedDocument(QStringLiteral("other.rdb"));
    const QByteArray bytes = test::fileBytes(other);
    QProcess holder;
    holder.start(QStringLiteral(QUILLET_HELPER_hold_document), {other});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("ready"));
    addBookmark(QStringLiteral("Z"));

    messages.answer(MessageAnswer::Yes);
    dialogs.choose(other);
    dialogs.choose(QString());
    EXPECT_FALSE(life->fileSaveAs());
    EXPECT_EQ(dialogs.opened, 2);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text, quoted(other) + QStringLiteral(" already open."));
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::Critical);
    EXPECT_TRUE(doc().isUntitled());
    EXPECT_TRUE(doc().isModified());
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(test::fileBytes(other), bytes);
}

TEST_F(DocumentLifecycleSaveAs, OntoItsOwnFileSavesInPlace)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    messages.answer(MessageAnswer::Yes);
    dialogs.choose(path);
    life->fileSaveAs();
    EXPECT_EQ(doc().path(), path);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(openItemRows(),
        (QStringList {QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:0")}));

    // A link to the file is the same file: saved in place, never "already
    // open", and the document keeps its own name.
    const QString link = QFileInfo(path).dir().filePath(QStringLiteral("link.rdb"));
    ASSERT_TRUE(QFile::link(path, link));
    addBookmark(QStringLiteral("D"));
    dialogs.choose(link);
    life->fileSaveAs();
    EXPECT_EQ(doc().path(), path);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(openItemRows().last(), QStringLiteral("D:0"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    for (const auto &shown : messages.shown)
        EXPECT_FALSE(shown.text.contains(QStringLiteral("already open")))
            << shown.text.toStdString();
}

// --- Save failures ---------------------------------------------------------

TEST_F(DocumentLifecycleFailures, FailedSaveKeepsTheWorkAndTheFile)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    hideBookmark(QStringLiteral("B"));
    addHeading(QStringLiteral("Fresh"), QStringLiteral("k9"));
    doc().registerPendingImageFile(QStringLiteral("c.jpg"));
    const QStringList pending
        = {QStringLiteral("A:0"), QStringLiteral("B:-1"), QStringLiteral("C:1")};
    // The last step of a save: everything before it must be undone too.
    failWritesTo(QStringLiteral("update tbItems"));

    life->fileSave();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(
        messages.shown[0].text.startsWith(QStringLiteral("Can not save file: ") + quoted(path)))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(doc().pendingImageFiles(), QStringList {QStringLiteral("c.jpg")});
    EXPECT_EQ(openItemRows(), pending);
    EXPECT_EQ(openNodeRows(), kSavedNodeRows);
    EXPECT_EQ(db().openRecordset(QStringLiteral("tbTips"))->isEmpty(), true);

    // Once the engine works again, the same work saves.
    db().setWriteHook({});
    life->fileSave();
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(openItemRows(), (QStringList {QStringLiteral("A:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(openNodeRows(), kSavedNodeRows + QStringList {QStringLiteral("kRoot>k9:Fresh")});
}

TEST_F(DocumentLifecycleFailures, FailedSaveAsKeepsTheOldDocumentOpen)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    // The copy cannot be written: its folder does not exist.
    const QString blocked = docs + QStringLiteral("/nowhere/copy.rdb");
    dialogs.choose(blocked);
    EXPECT_FALSE(life->fileSaveAs());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(
        messages.shown[0].text.startsWith(QStringLiteral("Can not save file: ") + quoted(blocked)));
    EXPECT_FALSE(QFileInfo::exists(blocked));
    ASSERT_TRUE(doc().isOpen());
    EXPECT_EQ(doc().path(), path);
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(openItemRows().last(), QStringLiteral("C:1"));
}

TEST_F(DocumentLifecycleFailures, AfterSaveTheFileAloneHoldsTheSavedState)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    hideBookmark(QStringLiteral("A"));
    life->fileSave();
    ASSERT_FALSE(doc().isModified());
    // A copy taken while the document stays open, as a sync folder or a
    // backup tool takes it: the file without its log.
    const QString copy = docs + QStringLiteral("/copy.rdb");
    test::writeFileBytes(copy, test::fileBytes(path));
    EXPECT_EQ(test::itemRows(copy), (QStringList {QStringLiteral("B:0"), QStringLiteral("C:0")}));
    EXPECT_EQ(QFileInfo(path + QStringLiteral("-wal")).size(), 0);
}

TEST_F(DocumentLifecycleFailures, SaveAsOntoALinkReplacesItsTargetOnlyWhenComplete)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    const QString synced = docs + QStringLiteral("/synced");
    QDir().mkpath(synced);
    const QString real = synced + QStringLiteral("/there.rdb");
    test::writeFileBytes(real, "an older file");
    const QString link = docs + QStringLiteral("/there.rdb");
    ASSERT_TRUE(QFile::link(real, link));
    open(path);
    addBookmark(QStringLiteral("C"));

    // A failure at any step leaves the old target as it was.
    using Step = store::FileReplacement::Step;
    for (const Step failing : {Step::Create, Step::Write, Step::Sync, Step::Rename}) {
        store::FileReplacement::setStepHook([failing](Step step, const QString &) {
            if (step == failing)
                throw store::EngineError(
                    store::EngineErrorCode::InjectedFailure, QStringLiteral("Disk full."));
        });
        messages.shown.clear();
        messages.answer(MessageAnswer::Yes);
        dialogs.choose(link);
        EXPECT_FALSE(life->fileSaveAs());
        ASSERT_EQ(messages.shown.size(), 2);
        EXPECT_TRUE(messages.shown[1].text.endsWith(QStringLiteral("Disk full.")));
        EXPECT_EQ(test::fileBytes(real), QByteArray("an older file"));
        EXPECT_EQ(QDir(synced).entryList(QDir::Files), QStringList {QStringLiteral("there.rdb")});
        EXPECT_EQ(doc().path(), path);
        EXPECT_TRUE(doc().isModified());
    }
    store::FileReplacement::setStepHook({});

    messages.answer(MessageAnswer::Yes);
    dialogs.choose(link);
    EXPECT_TRUE(life->fileSaveAs());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(openItemRows(),
        (QStringList {QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:0")}));
    doc().closeDatabase();
    EXPECT_EQ(test::itemRows(real).size(), 3);
}

// With nowhere to make an untitled document (the _tmp folder cannot be made),
// New and a failed Open reopen the file they closed, and start-up says so
// instead of running without a document.
TEST_F(DocumentLifecycleFailures, NoUntitledDocumentReopensThePreviousFile)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    const QString tmp = home + QStringLiteral("/_tmp");
    ASSERT_TRUE(QDir(tmp).removeRecursively());
    test::writeFileBytes(tmp, "not a folder");
    // A document whose tree cannot be loaded: found only after closing.
    const QString bad = docs + QStringLiteral("/bad.rdb");
    test::writeDocument(bad, {}, {item(QStringLiteral("A"))});

    for (const bool viaOpen : {false, true}) {
        SCOPED_TRACE(viaOpen);
        messages.shown.clear();
        if (viaOpen) {
            dialogs.choose(bad);
            life->fileOpen();
        } else {
            life->fileNew();
        }
        ASSERT_FALSE(messages.shown.isEmpty());
        EXPECT_TRUE(messages.shown.last().text.startsWith(
            QStringLiteral("Can not create a new document: ")))
            << messages.shown.last().text.toStdString();
        ASSERT_TRUE(doc().isOpen());
        EXPECT_EQ(doc().path(), path);
        EXPECT_FALSE(doc().isModified());
        EXPECT_EQ(treeRows(), kSavedNodeRows);
        EXPECT_EQ(ws->list().model().rowCount(), 2);
    }

    life->closeDocumentForExit();
    ws->clearHeadingTree();
    messages.shown.clear();
    EXPECT_FALSE(life->loadStartupDocument({QStringLiteral("quillet")}, nullptr));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(doc().isOpen());
}

// --- Exit ------------------------------------------------------------------

TEST_F(DocumentLifecycleExit, SettingsThatCannotBeWrittenAreReported)
{
    EXPECT_TRUE(ws->saveSettings());
    EXPECT_TRUE(messages.shown.isEmpty());
    const QString config = home + QStringLiteral("/config.ini");
    QFile::remove(config);
    QDir().mkpath(config); // the file cannot be replaced by a folder's name
    EXPECT_FALSE(ws->saveSettings());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("Can not save the settings")));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(DocumentLifecycleExit, CleanUntitledIsDeletedWithoutAsking)
{
    const QString path = doc().path();
    EXPECT_TRUE(life->closeDocumentForExit());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(doc().isOpen());
}

TEST_F(DocumentLifecycleExit, CancelOrFailingSaveKeepsTheProgramRunning)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));

    messages.answer(MessageAnswer::Cancel);
    EXPECT_FALSE(life->closeDocumentForExit());
    EXPECT_TRUE(doc().isOpen());

    failWritesTo(QStringLiteral("tbTips"));
    messages.answer(MessageAnswer::Yes);
    EXPECT_FALSE(life->closeDocumentForExit());
    EXPECT_EQ(messages.shown.size(), 3);
    ASSERT_TRUE(doc().isOpen());
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(openItemRows().last(), QStringLiteral("C:1"));

    // No discards: the file is back at its last save.
    messages.answer(MessageAnswer::No);
    EXPECT_TRUE(life->closeDocumentForExit());
    EXPECT_FALSE(doc().isOpen());
    EXPECT_EQ(test::itemRows(path), kSavedItemRows);
}

// --- Work left unsaved by a session that stopped ----------------------------

namespace {

// The saved document after a session that stopped without Save or Discard:
// A deleted, B edited (its pending copy carries B's picture), C added with a
// picture of its own, D added under a heading that was never saved.
QString stoppedSession(const QString &path, const QString &imageFolder)
{
    test::ItemRow a = item(QStringLiteral("A"));
    a.delFlag = -1;
    test::ItemRow b = item(QStringLiteral("B"));
    b.delFlag = -1;
    b.pictureFile = QStringLiteral("b.png");
    test::ItemRow b2(QStringLiteral("kRoot"), QStringLiteral("Bkey"), QStringLiteral("B2"),
        QStringLiteral("http://x/B2"), 1);
    b2.pictureFile = QStringLiteral("b.png");
    test::ItemRow c = item(QStringLiteral("C"));
    c.delFlag = 1;
    c.pictureFile = QStringLiteral("c.png");
    test::ItemRow d(QStringLiteral("kNever"), QStringLiteral("Dkey"), QStringLiteral("D"),
        QStringLiteral("http://x/D"), 1);
    test::writeDocument(path, kSavedNodes, {a, b, b2, c, d});
    test::writeFileBytes(imageFolder + QStringLiteral("/b.png"), "saved picture");
    test::writeFileBytes(imageFolder + QStringLiteral("/c.png"), "pending picture");
    return path;
}

} // namespace

TEST_F(DocumentLifecycleOpen, UnsavedWorkOfAStoppedSessionIsOfferedBack)
{
    const QString images = ws->optionSettings().imageFolder;
    const QString path = stoppedSession(docs + QStringLiteral("/stopped.rdb"), images);

    // Discarded at once: the file is back at its last saved state, the
    // pending picture goes, the saved one stays; no orphan is left.
    messages.answer(MessageAnswer::No);
    open(path);
    ASSERT_EQ(messages.shown.size(), 1);
    const QString question = messages.shown.front().text;
    EXPECT_TRUE(question.startsWith(quoted(path)
        + QStringLiteral(" holds changes that were never saved: 2 bookmarks added, 1 changed "
                         "and 1 deleted, with 1 picture.")))
        << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("\"Recovered #1\"")));
    EXPECT_EQ(messages.shown.front().buttons, MessageButtons::YesNo);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(openItemRows(), kSavedItemRows);
    EXPECT_EQ(treeRows(), kSavedNodeRows);
    EXPECT_FALSE(QFileInfo::exists(images + QStringLiteral("/c.png")));
    EXPECT_TRUE(QFileInfo::exists(images + QStringLiteral("/b.png")));
    life->fileNew();

    // Kept: unsaved work as if the session had gone on; D shows under
    // "Recovered #1", and Save commits it all.
    stoppedSession(path, images);
    messages.answer(MessageAnswer::Yes);
    open(path);
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(doc().pendingImageFiles(), QStringList({QStringLiteral("c.png")}));
    ASSERT_EQ(ws->tree().root()->children.size(), 2u);
    const outline::HeadingNode *recovered = ws->tree().root()->children.back().get();
    EXPECT_EQ(recovered->title, QStringLiteral("Recovered #1"));
    EXPECT_EQ(ws->list().model().rowCount(), 2); // B2 and C
    life->fileSave();
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(openItemRows(),
        QStringList({QStringLiteral("B2:0"), QStringLiteral("C:0"), QStringLiteral("D:0")}));
    EXPECT_EQ(openNodeRows().size(), 3);
    EXPECT_EQ(ws->tree().findByKey(QStringLiteral("kNever")), nullptr);
    life->fileNew();

    // Kept, then discarded with No at the prompt: the saved state again.
    stoppedSession(path, images);
    messages.answer(MessageAnswer::Yes);
    open(path);
    messages.answer(MessageAnswer::No);
    life->fileNew();
    EXPECT_EQ(test::itemRows(path), kSavedItemRows);
    EXPECT_EQ(test::nodeRows(path), kSavedNodeRows);
    EXPECT_FALSE(QFileInfo::exists(images + QStringLiteral("/c.png")));
    EXPECT_TRUE(QFileInfo::exists(images + QStringLiteral("/b.png")));
}

// Untitled documents of stopped sessions: the newest is offered at start,
// empty ones go without a word, No deletes them all.
TEST_F(DocumentLifecycleOpen, UntitledLeftoversAreOfferedAtStart)
{
    life->closeDocumentForExit();
    ws->clearHeadingTree();
    const QString tmp = store::tempFolder();
    const QString empty = tmp + QStringLiteral("/_tmp11.rdb");
    const QString older = tmp + QStringLiteral("/_tmp12.rdb");
    const QString newest = tmp + QStringLiteral("/_tmp13.rdb");
    auto writeLeftovers = [&] {
        store::createEmptyDatabase(empty);
        test::ItemRow gone(QStringLiteral("kGone"), QStringLiteral("K7"), QStringLiteral("Deep"),
            QStringLiteral("http://x/deep"), 1);
        test::writeDocument(older, {},
            {test::ItemRow(QStringLiteral("kRoot"), QString(), QStringLiteral("Old"),
                QStringLiteral("http://x/o"), 1)});
        test::writeDocument(newest, {},
            {test::ItemRow(QStringLiteral("kRoot"), QString(), QStringLiteral("Top"),
                 QStringLiteral("http://x/t"), 1),
                gone});
    };
    writeLeftovers();

    messages.answer(MessageAnswer::Yes);
    ASSERT_TRUE(life->loadStartupDocument({QStringLiteral("quillet")}, nullptr));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("holds 2 bookmarks")))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(
        messages.shown[0].text.endsWith(QStringLiteral("No deletes it and the 1 older ones.")));
    EXPECT_EQ(doc().path(), newest);
    EXPECT_TRUE(doc().isUntitled());
    EXPECT_TRUE(doc().isModified());
    EXPECT_FALSE(QFileInfo::exists(empty));
    EXPECT_TRUE(QFileInfo::exists(older));
    EXPECT_EQ(treeRows(),
        QStringList({QStringLiteral("0>kRoot:my Favroites"),
            QStringLiteral("kRoot>") + ws->tree().root()->children.front()->key
                + QStringLiteral(":Recovered #1")}));
    EXPECT_EQ(ws->list().model().rowCount(), 1);

    // No at the next start: every leftover goes, a fresh document starts.
    messages.answer(MessageAnswer::No);
    EXPECT_TRUE(life->closeDocumentForExit());
    ws->clearHeadingTree();
    EXPECT_FALSE(QFileInfo::exists(newest)); // closed unsaved, as any untitled document
    writeLeftovers();
    messages.shown.clear();
    messages.answer(MessageAnswer::No);
    ASSERT_TRUE(life->loadStartupDocument({QStringLiteral("quillet")}, nullptr));
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(tmpDatabases(), QStringList({QFileInfo(doc().path()).fileName()}));
    EXPECT_FALSE(doc().isModified());
}

// A document deleted or replaced while open: Save and closing offer Save
// As, which writes everything from the connection that still holds it.
TEST_F(DocumentLifecycleSaveAs, VanishedDocumentIsSavedElsewhere)
{
    const QString path = savedDocument(QStringLiteral("doc.rdb"));
    open(path);
    addBookmark(QStringLiteral("C"));
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));

    messages.answer(MessageAnswer::No);
    life->fileSave();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        quoted(path) + QStringLiteral(" was deleted or replaced by another program.")));
    EXPECT_TRUE(doc().isModified());
    EXPECT_FALSE(QFileInfo::exists(path));

    const QString rescued = docs + QStringLiteral("/rescued.rdb");
    messages.answer(MessageAnswer::Yes);
    dialogs.choose(rescued);
    life->fileSave();
    EXPECT_EQ(doc().path(), rescued);
    EXPECT_FALSE(doc().isModified());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(openItemRows(),
        QStringList({QStringLiteral("A:0"), QStringLiteral("B:0"), QStringLiteral("C:0")}));

    // Replaced by another file, unmodified: exit still asks; Cancel stays.
    test::writeDocument(path, kSavedNodes, {});
    open(path);
    test::writeDocument(docs + QStringLiteral("/other.rdb"), kSavedNodes, {});
    ASSERT_TRUE(QFile::rename(path, docs + QStringLiteral("/moved.rdb")));
    ASSERT_TRUE(QFile::rename(docs + QStringLiteral("/other.rdb"), path));
    const QByteArray replacement = test::fileBytes(path);
    messages.shown.clear();
    messages.answer(MessageAnswer::Cancel);
    EXPECT_FALSE(life->closeDocumentForExit());
    messages.answer(MessageAnswer::No);
    EXPECT_TRUE(life->closeDocumentForExit());
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(test::fileBytes(path), replacement);
}

namespace {

// Makes a file or folder immutable (not even root writes it) while it lives.
class Immutable
{
public:
    explicit Immutable(QStringList paths)
        : m_paths(std::move(paths))
    {
        m_ok = QProcess::execute(
                   QStringLiteral("chattr"), QStringList {QStringLiteral("+i")} + m_paths)
            == 0;
    }
    ~Immutable()
    {
        QProcess::execute(QStringLiteral("chattr"), QStringList {QStringLiteral("-i")} + m_paths);
    }
    bool ok() const { return m_ok; }

private:
    QStringList m_paths;
    bool m_ok = false;
};

} // namespace

// A document in a folder that cannot be written opens for viewing: the
// reason is said, Save offers Save As, closing writes nothing there.
TEST_F(DocumentLifecycleOpen, ReadOnlyDocumentOpensForViewing)
{
    const QString folder = docs + QStringLiteral("/locked");
    QDir().mkpath(folder);
    const QString path
        = stoppedSession(folder + QStringLiteral("/doc.rdb"), ws->optionSettings().imageFolder);
    const QByteArray bytes = test::fileBytes(path);
    {
        Immutable locked({path, folder});
        if (!locked.ok())
            GTEST_SKIP() << "chattr +i is not available here";
        dialogs.choose(path);
        life->fileOpen();
        ASSERT_EQ(doc().path(), path);
        const QStringList texts = messages.texts();
        ASSERT_EQ(texts.size(), 2);
        EXPECT_TRUE(texts[0].endsWith(
            QStringLiteral("The file can not be written, so it shows as last saved.")));
        EXPECT_EQ(texts[1],
            quoted(path)
                + QStringLiteral(
                    " is open for viewing only. The file or its folder is read-only: "
                    "changes can not be saved to it, only to a new file with Save As."));
        // As last saved: A and B, not the stopped session's work.
        EXPECT_EQ(ws->list().model().rowCount(), 2);

        const QString copy = docs + QStringLiteral("/copy.rdb");
        addHeading(QStringLiteral("New"), QStringLiteral("k9"));
        messages.answer(MessageAnswer::Yes);
        dialogs.choose(copy);
        life->fileSave();
        EXPECT_EQ(doc().path(), copy);
        EXPECT_EQ(openNodeRows().size(), 3);
        EXPECT_EQ(openItemRows(), kSavedItemRows); // nothing of the stopped session
        EXPECT_TRUE(life->closeDocumentForExit());
    }
    EXPECT_EQ(test::fileBytes(path), bytes);
    EXPECT_EQ(test::nodeRows(path), kSavedNodeRows);
}
