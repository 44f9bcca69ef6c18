// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixtures.h"
#include "core/common/AppHome.h"
#include "core/store/Database.h"
#include "core/store/HeadingRows.h"
#include "core/store/PendingChanges.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"
#include "core/store/TrustedDocuments.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quillet::store;
using quillet::test::fileBytes;
using quillet::test::writeFileBytes;

namespace {

QString homeFile(const QString &name)
{
    return quillet::common::homePath(name);
}

QString newDocument(const QString &name = QStringLiteral("doc.rdb"))
{
    const QString path = homeFile(name);
    createEmptyDatabase(path);
    return path;
}

int errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EngineError &e) {
        return e.number();
    }
    return 0;
}

void addItem(
    Recordset &rs, const QString &tKey, const QString &lKey, const QString &name, int delFlag = 0)
{
    rs.addNew();
    rs.setValue(QStringLiteral("tKey"), tKey);
    rs.setValue(QStringLiteral("lKey"), lKey);
    rs.setValue(QStringLiteral("urlName"), name);
    rs.setValue(QStringLiteral("urlLink"), QStringLiteral("http://example.org/") + name);
    rs.setValue(QStringLiteral("delFlag"), delFlag);
    rs.update();
}

QStringList names(Database &db, const QString &sql)
{
    QStringList result;
    auto rs = db.openRecordset(sql);
    while (!rs->eof()) {
        result << rs->text(rs->fieldNames().contains(QStringLiteral("urlName"))
                ? QStringLiteral("urlName")
                : rs->fieldNames().first());
        rs->moveNext();
    }
    return result;
}

} // namespace

TEST(DocumentFile, FreshDocumentHasTheThreeTablesEmptyAndOpensOnlyWithThePassword)
{
    const QString path = newDocument();
    auto db = openDocumentDatabase(path);
    for (auto which : {DocumentTable::Tips, DocumentTable::Nodes, DocumentTable::Items}) {
        const TableDef expected = tableDefinition(which);
        const QList<FieldDef> actual = db->fields(expected.name);
        ASSERT_EQ(actual.size(), expected.fields.size()) << expected.name.toStdString();
        for (int i = 0; i < actual.size(); ++i) {
            EXPECT_EQ(actual[i].name, expected.fields[i].name);
            EXPECT_EQ(actual[i].kind, expected.fields[i].kind) << actual[i].name.toStdString();
            EXPECT_EQ(actual[i].size, expected.fields[i].size) << actual[i].name.toStdString();
            EXPECT_EQ(actual[i].allowZeroLength, expected.fields[i].allowZeroLength);
            EXPECT_EQ(actual[i].autoIncrement, expected.fields[i].autoIncrement);
        }
        EXPECT_TRUE(db->openRecordset(expected.name)->isEmpty());
    }
    db.reset();
    EXPECT_EQ(errorOf([&] { Database::open(path, QStringLiteral(";pwd=wrong")); }),
        EngineErrorCode::NotAValidDocument);
    EXPECT_EQ(
        errorOf([&] { Database::open(path, QString()); }), EngineErrorCode::NotAValidDocument);
    EXPECT_TRUE(canOpenDatabase(path));
}

TEST(DocumentFile, CreatingOverAnExistingFileFails)
{
    const QString path = newDocument();
    const QByteArray before = fileBytes(path);
    EXPECT_EQ(errorOf([&] { createEmptyDatabase(path); }), EngineErrorCode::DatabaseExists);
    EXPECT_EQ(fileBytes(path), before);
}

TEST(DocumentFile, ClosedDocumentIsOneCompleteFile)
{
    const QString path = newDocument();
    {
        auto db = openDocumentDatabase(path);
        Transaction t(*db);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        for (int i = 0; i < 200; ++i)
            addItem(
                *rs, QStringLiteral("kRoot"), QStringLiteral("K%1").arg(i + 1), QString::number(i));
        t.commit();
    }
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
    const QString copy = homeFile(QStringLiteral("copy.rdb"));
    ASSERT_TRUE(QFile::copy(path, copy));
    auto db = openDocumentDatabase(copy);
    EXPECT_EQ(db->openRecordset(QStringLiteral("tbItems"))->recordCount(), 200);
}

// What a later run knows of a document this one checked and closed comes
// from the home; anything that may have changed the file since is checked.
TEST(DocumentFile, ACheckedDocumentIsTrustedInLaterRunsUntilItChanges)
{
    const QString path = newDocument();
    openDocumentDatabase(path).reset();
    forgetTrustedDocuments();
    EXPECT_TRUE(isTrustedDocumentFile(path));

    // A log left by a crash holds changes the stamp does not cover.
    writeFileBytes(path + QStringLiteral("-wal"), QByteArray(32, 'x'));
    forgetTrustedDocuments();
    EXPECT_FALSE(isTrustedDocumentFile(path));
    QFile::remove(path + QStringLiteral("-wal"));
    openDocumentDatabase(path).reset();

    // Written by something else.
    writeFileBytes(path, fileBytes(path) + QByteArray(1, '\0'));
    forgetTrustedDocuments();
    EXPECT_FALSE(isTrustedDocumentFile(path));

    // A garbled list trusts nothing.
    const QString other = newDocument(QStringLiteral("other.rdb"));
    openDocumentDatabase(other).reset();
    const QString list = homeFile(QStringLiteral("checked-documents"));
    writeFileBytes(list, fileBytes(list).replace(' ', '\t') + "1 2 x\n\n \xff\n");
    forgetTrustedDocuments();
    EXPECT_FALSE(isTrustedDocumentFile(other));
}

// Only a document closed with nothing pending spares the next start the look
// for unsaved work; a row changed since, even one rolled back, needs it again.
TEST(DocumentFile, OnlyADocumentClosedWithNothingPendingIsKnownSettled)
{
    const QString path = newDocument();
    auto save = [](Database &db) {
        std::vector<HeadingRow> headings;
        readHeadingRows(db, [&headings](const HeadingRow &row) { headings.push_back(row); });
        resolvePendingChanges(db, Resolution::Save, headings, nullptr);
    };
    {
        auto db = openDocumentDatabase(path);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("A"), 1);
        EXPECT_FALSE(db->isSettled());
    }
    forgetTrustedDocuments();
    EXPECT_TRUE(isTrustedDocumentFile(path));
    EXPECT_FALSE(isSettledDocumentFile(path));

    save(*openDocumentDatabase(path));
    forgetTrustedDocuments();
    {
        auto db = openDocumentDatabase(path);
        EXPECT_TRUE(db->isSettled());
        Transaction t(*db);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K2"), QStringLiteral("B"), 1);
    }
    forgetTrustedDocuments();
    EXPECT_TRUE(isTrustedDocumentFile(path));
    EXPECT_FALSE(isSettledDocumentFile(path));
}

// Documents saved before the heading index existed open as they are and have
// it after their next Save; one under our name that is not ours is refused.
TEST(DocumentFile, AnOlderDocumentGainsTheLaterIndexesAtSave)
{
    const QString path = newDocument();
    {
        auto db = openDocumentDatabase(path);
        ASSERT_EQ(
            sqlite3_exec(db->handle(), "DROP INDEX ixItemsHeading", nullptr, nullptr, nullptr),
            SQLITE_OK);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("A"), 1);
    }
    QFile::remove(homeFile(QStringLiteral("checked-documents")));
    forgetTrustedDocuments();
    auto db = openDocumentDatabase(path);
    EXPECT_FALSE(db->indexExists(QStringLiteral("ixItemsHeading")));
    std::vector<HeadingRow> headings;
    readHeadingRows(*db, [&headings](const HeadingRow &row) { headings.push_back(row); });
    resolvePendingChanges(*db, Resolution::Save, headings, nullptr);
    EXPECT_TRUE(db->indexExists(QStringLiteral("ixItemsHeading")));
    EXPECT_EQ(names(*db, QStringLiteral("SELECT urlName FROM tbItems WHERE tKey = 'kRoot'")),
        QStringList {QStringLiteral("A")});

    ASSERT_EQ(sqlite3_exec(db->handle(),
                  "DROP INDEX ixItemsHeading; CREATE INDEX ixItemsHeading ON tbItems (urlName)",
                  nullptr, nullptr, nullptr),
        SQLITE_OK);
    db.reset();
    // As a file from elsewhere.
    QFile::remove(homeFile(QStringLiteral("checked-documents")));
    forgetTrustedDocuments();
    EXPECT_EQ(
        errorOf([&] { openDocumentDatabase(path); }), int(EngineErrorCode::NotAValidDocument));
}

// Every kind of file that is not an open-able document fails with an error
// and stays exactly as it was; nothing is created beside it.
TEST(DocumentFile, BadFilesFailCleanlyAndStayUnchanged)
{
    const QString good = newDocument(QStringLiteral("good.rdb"));
    {
        auto db = openDocumentDatabase(good);
        Transaction t(*db);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        for (int i = 0; i < 3000; ++i)
            addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K%1").arg(i + 1),
                QStringLiteral("bookmark number %1 with a longer name").arg(i));
        t.commit();
    }
    const QByteArray goodBytes = fileBytes(good);
    ASSERT_GT(goodBytes.size(), 3 * 4096);

    struct Case
    {
        const char *name;
        QByteArray bytes;
        int error;
    };
    QByteArray random(20000, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = static_cast<char>((i * 7919 + 13) % 251);

    QList<Case> cases {
        {"empty.rdb", QByteArray(), EngineErrorCode::NotAValidDocument},
        {"random.rdb", random, EngineErrorCode::NotAValidDocument},
        {"truncated.rdb", goodBytes.left(goodBytes.size() / 2), EngineErrorCode::NotAValidDocument},
        {"truncated-odd.rdb", goodBytes.left(goodBytes.size() / 2 + 100),
            EngineErrorCode::NotAValidDocument},
        {"text.rdb", QByteArray("just some text\n"), EngineErrorCode::NotAValidDocument},
    };
    // A plain SQLite file, as another program would make it.
    {
        const QString plain = homeFile(QStringLiteral("plain.rdb"));
        sqlite3 *handle = nullptr;
        sqlite3_open(QFile::encodeName(plain).constData(), &handle);
        sqlite3_exec(handle, "CREATE TABLE tbNodes(x); INSERT INTO tbNodes VALUES (1);", nullptr,
            nullptr, nullptr);
        sqlite3_close(handle);
        cases.append({"plain.rdb", fileBytes(plain), EngineErrorCode::NotAValidDocument});
    }

    for (const Case &c : cases) {
        const QString path = homeFile(QString::fromLatin1(c.name));
        writeFileBytes(path, c.bytes);
        EXPECT_EQ(errorOf([&] { openDocumentDatabase(path); }), c.error) << c.name;
        EXPECT_FALSE(canOpenDatabase(path)) << c.name;
        EXPECT_EQ(fileBytes(path), c.bytes) << c.name;
        EXPECT_EQ(QFileInfo(path).size(), c.bytes.size()) << c.name;
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal"))) << c.name;
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal"))) << c.name;
    }

    // Wrong password on a real document.
    EXPECT_EQ(errorOf([&] { Database::open(good, QStringLiteral(";pwd=tavo@lurk")); }),
        EngineErrorCode::NotAValidDocument);
    EXPECT_EQ(fileBytes(good), goodBytes);
    // Missing file, and a folder.
    EXPECT_EQ(errorOf([&] { openDocumentDatabase(homeFile(QStringLiteral("missing.rdb"))); }),
        EngineErrorCode::FileNotFound);
    EXPECT_FALSE(QFileInfo::exists(homeFile(QStringLiteral("missing.rdb"))));
    QDir().mkpath(homeFile(QStringLiteral("folder.rdb")));
    EXPECT_EQ(errorOf([&] { openDocumentDatabase(homeFile(QStringLiteral("folder.rdb"))); }),
        EngineErrorCode::NotAPath);
}

TEST(DocumentFile, SecondOpenInTheSameProcessFailsAtOnce)
{
    const QString path = newDocument();
    auto first = openDocumentDatabase(path);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(errorOf([&] { openDocumentDatabase(path); }), EngineErrorCode::FileInUse);
    EXPECT_FALSE(canOpenDatabase(path));
    EXPECT_LT(timer.elapsed(), 1000);
    // The holder still works on its file.
    auto rs = first->openRecordset(QStringLiteral("tbItems"));
    addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("a"));
    first.reset();
    EXPECT_TRUE(canOpenDatabase(path));
}

TEST(DocumentFile, ExclusiveAcrossProcessesAndReleasedWhenTheHolderIsKilled)
{
    const QString path = newDocument();
    QProcess holder;
    holder.start(QStringLiteral(QUILLET_HELPER_hold_document), {path});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("ready"));
    const QByteArray before = fileBytes(path);

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(errorOf([&] { openDocumentDatabase(path); }), EngineErrorCode::FileInUse);
    EXPECT_FALSE(canOpenDatabase(path));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(fileBytes(path), before);

    holder.kill();
    holder.waitForFinished();
    EXPECT_TRUE(canOpenDatabase(path));
    auto db = openDocumentDatabase(path);
    EXPECT_TRUE(db->tableExists(QStringLiteral("tbItems")));
}

TEST(Recordset, WalksReadsAndWritesRowsLikeTheProgramExpects)
{
    auto db = openDocumentDatabase(newDocument());
    auto rs = db->openRecordset(QStringLiteral("tbItems"));
    EXPECT_TRUE(rs->bof());
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(rs->recordCount(), 0);

    addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("first"));
    addItem(*rs, QStringLiteral("kRoot"), QString(QLatin1String("")), QStringLiteral("second"), 1);
    rs->addNew();
    rs->setValue(QStringLiteral("tKey"), QStringLiteral("K9"));
    rs->setValue(QStringLiteral("urlName"), QStringLiteral("third"));
    const QString longLink = QStringLiteral("http://example.org/") + QString(600, QLatin1Char('x'));
    rs->setValue(QStringLiteral("urlLink"), longLink);
    QByteArray thumb(70000, '\0');
    for (int i = 0; i < thumb.size(); ++i)
        thumb[i] = static_cast<char>(i % 256);
    rs->setValue(QStringLiteral("urlThumb"), thumb);
    rs->setValue(QStringLiteral("delFlag"), 0);
    rs->update();
    rs->close();

    rs = db->openRecordset(QStringLiteral("select * from tbItems where delFlag <> -1"));
    rs->moveLast();
    EXPECT_EQ(rs->recordCount(), 3);
    rs->moveFirst();
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(rs->text(QStringLiteral("URLNAME")), QStringLiteral("first")); // names ignore case
    EXPECT_EQ(rs->integer(QStringLiteral("ID")), 1);
    EXPECT_TRUE(rs->isNull(QStringLiteral("urlDescrip")));
    EXPECT_TRUE(rs->isNull(QStringLiteral("urlThumb")));
    rs->moveNext();
    EXPECT_FALSE(rs->isNull(QStringLiteral("lKey"))); // empty is not Null
    EXPECT_EQ(rs->text(QStringLiteral("lKey")), QString());
    EXPECT_EQ(rs->integer(QStringLiteral("delFlag")), 1);
    rs->moveNext();
    EXPECT_EQ(rs->text(QStringLiteral("urlLink")), longLink); // stored whole
    EXPECT_EQ(rs->bytes(QStringLiteral("urlThumb")), thumb);
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_THROW(rs->value(QStringLiteral("urlName")), EngineError);
    rs->moveFirst();
    EXPECT_THROW(rs->value(QStringLiteral("noSuchField")), EngineError);

    // Edit and Delete change the file; the deleted row stays current until
    // the next move.
    rs->edit();
    rs->setValue(QStringLiteral("urlDescrip"), QString(QLatin1String("")));
    rs->setValue(QStringLiteral("urlThumb"), QByteArray(""));
    rs->update();
    rs->moveNext();
    rs->remove();
    EXPECT_THROW(rs->value(QStringLiteral("urlName")), EngineError);
    rs->moveNext();
    EXPECT_EQ(rs->text(QStringLiteral("urlName")), QStringLiteral("third"));
    EXPECT_EQ(rs->recordCount(), 2);

    rs = db->openRecordset(QStringLiteral("tbItems"));
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_FALSE(rs->isNull(QStringLiteral("urlDescrip")));
    EXPECT_EQ(rs->text(QStringLiteral("urlDescrip")), QString());
    EXPECT_FALSE(rs->isNull(QStringLiteral("urlThumb")));
    EXPECT_TRUE(rs->bytes(QStringLiteral("urlThumb")).isEmpty());

    // Update without Edit is an error, as is changing a grouped result.
    EXPECT_THROW(rs->setValue(QStringLiteral("urlName"), QStringLiteral("x")), EngineError);
    auto grouped
        = db->openRecordset(QStringLiteral("Select urlLink from tbItems Where delFlag <>-1 Group "
                                           "By urlLink Having count(urlLink) >1"));
    EXPECT_TRUE(grouped->isEmpty());
    EXPECT_THROW(grouped->addNew(), EngineError);
}

TEST(Recordset, AutoIncrementNumbersRowsInWritingOrderAndNeverReusesThem)
{
    auto db = openDocumentDatabase(newDocument());
    auto rs = db->openRecordset(QStringLiteral("tbNodes"));
    for (int i = 0; i < 3; ++i) {
        rs->addNew();
        rs->setValue(QStringLiteral("Key"), QStringLiteral("K%1").arg(i + 1));
        rs->update();
    }
    db->execute(QStringLiteral("delete from tbNodes where Key = 'K3'"));
    rs = db->openRecordset(QStringLiteral("tbNodes"));
    rs->addNew();
    rs->setValue(QStringLiteral("Key"), QStringLiteral("K4"));
    rs->update();
    rs = db->openRecordset(QStringLiteral("tbNodes"));
    QList<int> ids;
    for (; !rs->eof(); rs->moveNext())
        ids << rs->integer(QStringLiteral("ID"));
    EXPECT_EQ(ids, (QList<int> {1, 2, 4}));
}

// The SQL texts the program sends answer as the engine they were written for.
TEST(JetQueries, ProgramTextsAnswerWithTheExpectedRows)
{
    auto db = openDocumentDatabase(newDocument());
    auto rs = db->openRecordset(QStringLiteral("tbItems"));
    addItem(*rs, QStringLiteral("K1"), QStringLiteral("K5"), QStringLiteral("O'Brien"));
    addItem(*rs, QStringLiteral("K1"), QStringLiteral("K6"), QStringLiteral("Élan"));
    addItem(*rs, QStringLiteral("k1"), QStringLiteral("K7"), QStringLiteral("news"), -1);
    addItem(*rs, QStringLiteral("K2"), QStringLiteral("K8"), QStringLiteral("NEWS"));
    rs->addNew();
    rs->setValue(QStringLiteral("tKey"), QStringLiteral("K2"));
    rs->setValue(QStringLiteral("urlName"), QStringLiteral("dup"));
    rs->setValue(QStringLiteral("urlLink"), QStringLiteral("HTTP://EXAMPLE.ORG/O'BRIEN"));
    rs->setValue(QStringLiteral("delFlag"), 0);
    rs->update();

    EXPECT_EQ(
        names(*db, QStringLiteral("select * from tbItems where tKey ='k1' and delFlag <> -1")),
        (QStringList {QStringLiteral("O'Brien"), QStringLiteral("Élan")}));
    EXPECT_EQ(names(*db,
                  QStringLiteral("select * from tbItems where tKey ='K1' and urlName ='")
                      + QStringLiteral("o''brien") + QStringLiteral("' and delFlag <> -1")),
        QStringList {QStringLiteral("O'Brien")});
    EXPECT_EQ(names(*db,
                  QStringLiteral("select * from tbItems where tKey ='K1' and urlName ='élan' "
                                 "and delFlag <> -1")),
        QStringList {QStringLiteral("Élan")});
    EXPECT_EQ(names(*db,
                  QStringLiteral("SELECT * FROM tbItems WHERE (urlName & urlLink & urlDescrip) "
                                 "Like '*brien*' and delFlag<>-1")),
        (QStringList {QStringLiteral("O'Brien"), QStringLiteral("dup")}));
    EXPECT_EQ(names(*db,
                  QStringLiteral("Select urlLink from tbItems Where delFlag <>-1 Group By "
                                 "urlLink Having count(urlLink) >1"))
                  .size(),
        1);
    EXPECT_EQ(names(*db, QStringLiteral("select * from tbItems where delFlag <> 0")),
        QStringList {QStringLiteral("news")});
}

TEST(Transactions, AFailureInsideLeavesTheFileAsBefore)
{
    const QString path = newDocument();
    auto db = openDocumentDatabase(path);
    {
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("kept"));
    }
    int writes = 0;
    db->setWriteHook([&](const QString &) {
        if (++writes == 3)
            throw EngineError(EngineErrorCode::InjectedFailure, QStringLiteral("injected"));
    });
    try {
        Transaction outer(*db);
        db->execute(QStringLiteral("update tbItems set delFlag = 1"));
        {
            Transaction inner(*db);
            db->deleteTable(QStringLiteral("tbNodes"));
            inner.commit();
        }
        db->execute(QStringLiteral("delete from tbItems")); // fails
        outer.commit();
        FAIL() << "the injected failure did not propagate";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.number(), EngineErrorCode::InjectedFailure);
    }
    db->setWriteHook({});
    EXPECT_TRUE(db->tableExists(QStringLiteral("tbNodes")));
    auto rs = db->openRecordset(QStringLiteral("tbItems"));
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->integer(QStringLiteral("delFlag")), 0);
    EXPECT_EQ(db->transactionDepth(), 0);
}

TEST(Compaction, CopiesEveryRowWithThePasswordAndRefusesAnExistingTarget)
{
    const QString source = newDocument();
    {
        auto db = openDocumentDatabase(source);
        Transaction t(*db);
        auto rs = db->openRecordset(QStringLiteral("tbItems"));
        for (int i = 0; i < 500; ++i)
            addItem(
                *rs, QStringLiteral("kRoot"), QStringLiteral("K%1").arg(i + 1), QString::number(i));
        t.commit();
        db->execute(QStringLiteral("delete from tbItems where delFlag = 0 and ID > 10"));
    }
    const QString target = homeFile(QStringLiteral("compact.rdb"));
    Database::compact(source, target, openConnectString());
    EXPECT_LT(QFileInfo(target).size(), QFileInfo(source).size());
    auto db = openDocumentDatabase(target);
    EXPECT_EQ(db->openRecordset(QStringLiteral("tbItems"))->recordCount(), 10);
    // The numbering goes on after the highest number ever given.
    auto rs = db->openRecordset(QStringLiteral("tbItems"));
    addItem(*rs, QStringLiteral("kRoot"), QStringLiteral("K999"), QStringLiteral("new"));
    rs = db->openRecordset(QStringLiteral("select * from tbItems where lKey = 'K999'"));
    EXPECT_EQ(rs->integer(QStringLiteral("ID")), 501);
    db.reset();
    EXPECT_EQ(errorOf([&] { Database::open(target, QStringLiteral(";pwd=x")); }),
        EngineErrorCode::NotAValidDocument);

    const QByteArray before = fileBytes(target);
    EXPECT_EQ(errorOf([&] { Database::compact(source, target, openConnectString()); }),
        EngineErrorCode::DatabaseExists);
    EXPECT_EQ(fileBytes(target), before);
}
