// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/editors/BookmarkEditor.h"
#include "core/outline/BookmarkNames.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QAbstractItemModelTester>
#include <QDate>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;
using Mode = editors::BookmarkEditor::Mode;

namespace {

const QString kNews = QStringLiteral("K10");
const QString kRecipes = QStringLiteral("K20");

ItemRow item(const QString &heading, const QString &key, const QString &name, int delFlag = 0)
{
    return {heading, key, name, QStringLiteral("http://example.org/") + key, delFlag};
}

// A document with the root, "News" (with a child) and "Recipes", opened in a
// workspace with "News" selected and listed.
class EditorFixture : public ::testing::Test
{
protected:
    void open(const QList<ItemRow> &items)
    {
        path = common::homePath(QStringLiteral("editor.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), kNews, 3, 4},
                {kNews, QStringLiteral("Local"), QStringLiteral("K11"), 5, 6},
                {QStringLiteral("kRoot"), QStringLiteral("Recipes"), kRecipes}},
            items);
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        outline::loadHeadingTree(*db(), ws.tree(), nullptr);
        ws.selectHeading(ws.tree().findByKey(kNews));
        description.shownNames.clear();
        status.history.clear();
    }
    store::Database *db() { return ws.document().database(); }
    // Rows of a heading as BookmarkRows, deleted ones included, storage order.
    std::vector<store::BookmarkRow> rows(const QString &heading)
    {
        return store::BookmarkTable(*db()).allRows(heading, store::Thumbnail::Read);
    }
    void selectListed(const QString &key)
    {
        ws.list().selectRow(ws.list().model().rowOfKey(key), false);
    }
    // Counts statements that would change the file.
    void countWrites()
    {
        db()->setWriteHook([this](const QString &) { ++writes; });
    }

    ScriptedMessageBoxes messages;
    RecordingDescription description;
    RecordingStatus status;
    outline::Workspace ws {{&messages, nullptr, nullptr, &description, &status, nullptr}};
    QAbstractItemModelTester tester {
        &ws.list().model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    QString path;
    int writes = 0;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
};

} // namespace

TEST_F(EditorFixture, NameExistsIgnoresCaseHandlesQuotesAndSkipsDeletedRows)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Bob's Page")),
        item(kNews, QStringLiteral("K2"), QStringLiteral("Café")),
        item(kNews, QStringLiteral("K3"), QStringLiteral("Gone"), -1),
        item(kRecipes, QStringLiteral("K1"), QStringLiteral("Soup"))});
    EXPECT_TRUE(outline::bookmarkNameExists(*db(), QStringLiteral("BOB'S page"), kNews));
    EXPECT_TRUE(outline::bookmarkNameExists(*db(), QStringLiteral("CAFÉ"), kNews));
    EXPECT_FALSE(outline::bookmarkNameExists(*db(), QStringLiteral("Cafe"), kNews));
    EXPECT_FALSE(outline::bookmarkNameExists(*db(), QStringLiteral("Gone"), kNews));
    EXPECT_FALSE(outline::bookmarkNameExists(*db(), QStringLiteral("Soup"), kNews));
    EXPECT_FALSE(outline::bookmarkNameExists(*db(), QStringLiteral("Bob"), kNews));

    // The name set read once answers exactly as the query does.
    const auto names = outline::BookmarkNameSet::read(*db(), kNews);
    EXPECT_EQ(names.size(), 2);
    for (const char *name : {"bob's page", "café", "Cafe", "Gone", "Soup", "Bob's Page "})
        EXPECT_EQ(names.contains(QString::fromUtf8(name)),
            outline::bookmarkNameExists(*db(), QString::fromUtf8(name), kNews))
            << name;
}

TEST_F(EditorFixture, UniqueNameAlwaysAddsTheFirstFreeNumber)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Tools")),
        item(kNews, QStringLiteral("K2"), QStringLiteral("tools #1")),
        item(kNews, QStringLiteral("K3"), QStringLiteral("Tools #2"), -1),
        item(kNews, QStringLiteral("K4"), QStringLiteral("It's #1"))});
    EXPECT_EQ(outline::uniqueBookmarkName(*db(), QStringLiteral("Tools"), kNews),
        QStringLiteral("Tools #2"));
    EXPECT_EQ(outline::uniqueBookmarkName(*db(), QStringLiteral("Tools #1"), kNews),
        QStringLiteral("Tools #1 #1"));
    EXPECT_EQ(outline::uniqueBookmarkName(*db(), QStringLiteral("IT'S"), kNews),
        QStringLiteral("IT'S #2"));
    EXPECT_EQ(outline::uniqueBookmarkName(*db(), QStringLiteral("Tools"), kRecipes),
        QStringLiteral("Tools #1"));
    auto names = outline::BookmarkNameSet::read(*db(), kNews);
    names.insert(QStringLiteral("TOOLS #2"));
    EXPECT_EQ(names.uniqueName(QStringLiteral("Tools")), QStringLiteral("Tools #3"));
}

TEST_F(EditorFixture, SetUpCopiesTheTreeForAddAndReadsTheSelectedRowForEdit)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Daily"))});
    editors::BookmarkEditor add(ws, Mode::Add);
    QStringList copy;
    for (const auto &c : add.categories())
        copy << QStringLiteral("%1<%2").arg(c.key).arg(c.parent);
    EXPECT_EQ(copy,
        (QStringList {QStringLiteral("kRoot<-1"), QStringLiteral("K10<0"), QStringLiteral("K11<1"),
            QStringLiteral("K20<0")}));
    EXPECT_EQ(add.headingCategory(), 1);
    EXPECT_EQ(add.heading().image, 3);

    // A Null description reads as empty.
    db()->execute(QStringLiteral("update tbItems set urlDescrip = Null"));
    selectListed(QStringLiteral("K1"));
    editors::BookmarkEditor edit(ws, Mode::Edit);
    ASSERT_TRUE(edit.hasRow());
    EXPECT_EQ(edit.initialName(), QStringLiteral("Daily"));
    EXPECT_TRUE(edit.initialDescription().isEmpty());
}

// Into the listed heading the bookmark joins the list with a fresh key;
// elsewhere its lKey is the empty text (not Null) and the list stays.
TEST_F(EditorFixture, AddWritesAPendingRowIntoTheListedOrAnotherHeading)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Daily"))});
    editors::BookmarkEditor editor(ws, Mode::Add);
    ASSERT_TRUE(editor.confirmAdd(QStringLiteral("  Bob's feed "),
        QStringLiteral(" http://bob.example.org "), QStringLiteral("  two blanks  "), kNews));
    const auto written = rows(kNews);
    ASSERT_EQ(written.size(), 2u);
    const store::BookmarkRow &row = written[1];
    EXPECT_EQ(row.name, QStringLiteral("Bob's feed"));
    EXPECT_EQ(row.link, QStringLiteral("http://bob.example.org"));
    EXPECT_EQ(row.description, QStringLiteral("  two blanks  "));
    EXPECT_EQ(row.state, store::RowState::Added);
    EXPECT_EQ(row.date, today);
    EXPECT_EQ(row.key, editor.addedKey());
    EXPECT_NE(row.key, QStringLiteral("K1"));
    EXPECT_EQ(ws.list().selectedKey(), row.key);
    EXPECT_EQ(ws.list().currentBookmark(), row.key);
    EXPECT_EQ(description.shownNames, QStringList {QStringLiteral("Bob's feed")});
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 2 bookmarks found."));

    ws.document().setModified(false);
    ASSERT_TRUE(editor.confirmAdd(
        QStringLiteral("Soup"), QStringLiteral("http://soup"), QString(), kRecipes));
    EXPECT_TRUE(editor.addedKey().isEmpty());
    EXPECT_EQ(db()->openRecordset(QStringLiteral("select * from tbItems where tKey = 'K20' and "
                                                 "lKey = '' and urlDescrip = ''"))
                  ->recordCount(),
        1);
    EXPECT_EQ(ws.list().model().count(), 2);
    EXPECT_EQ(description.shownNames.size(), 1);
    EXPECT_TRUE(ws.document().isModified());
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 2 bookmarks found."));
}

TEST_F(EditorFixture, EditOfACommittedRowCopiesItAndKeepsPictureAndThumbnail)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Daily")),
        item(kNews, QStringLiteral("K2"), QStringLiteral("Weekly"))});
    const QByteArray thumb("\xff\xd8 a small jpeg \0 with a zero", 29);
    {
        auto rs = db()->openRecordset(QStringLiteral("select * from tbItems where lKey = 'K2'"));
        rs->edit();
        rs->setValue(QStringLiteral("imgFile"), QStringLiteral("20240102030405.png"));
        rs->setValue(QStringLiteral("urlThumb"), thumb);
        rs->update();
    }
    selectListed(QStringLiteral("K2"));
    ws.clipboard().take(outline::BookmarkClipboard::Mode::Cut, kNews, {QStringLiteral("K1")});
    editors::BookmarkEditor editor(ws, Mode::Edit);
    // A new name that sorts first: the entry moves and stays selected.
    ASSERT_TRUE(editor.confirmEdit(
        QStringLiteral(" Almanac "), QStringLiteral("http://almanac"), QStringLiteral(" notes")));

    const auto written = rows(kNews);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[1].state, store::RowState::Removed);
    EXPECT_EQ(written[1].name, QStringLiteral("Weekly"));
    const store::BookmarkRow &copy = written[2];
    EXPECT_EQ(copy.state, store::RowState::Added);
    EXPECT_EQ(copy.key, QStringLiteral("K2"));
    EXPECT_EQ(copy.headingKey, kNews);
    EXPECT_EQ(copy.name, QStringLiteral("Almanac"));
    EXPECT_EQ(copy.link, QStringLiteral("http://almanac"));
    EXPECT_EQ(copy.description, QStringLiteral(" notes"));
    EXPECT_EQ(copy.date, today);
    EXPECT_EQ(copy.pictureFile, QStringLiteral("20240102030405.png"));
    EXPECT_EQ(copy.thumbnail, thumb);
    EXPECT_TRUE(ws.document().isModified());

    outline::BookmarkList &list = ws.list();
    EXPECT_EQ(list.model().entry(0).name, QStringLiteral("Almanac"));
    EXPECT_EQ(list.model().entry(0).date, today);
    EXPECT_EQ(list.selectedKey(), QStringLiteral("K2"));
    EXPECT_EQ(list.selectedCount(), 1);
    EXPECT_EQ(description.current, QStringLiteral("Almanac"));
    EXPECT_TRUE(ws.clipboard().isEmpty());
}

// Trimmed texts equal to the stored ones are no change; a change of letter
// case alone is a rename that finds the bookmark itself.
TEST_F(EditorFixture, UnchangedEditWritesNothingAndACaseOnlyRenameIsADuplicate)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Daily"))});
    selectListed(QStringLiteral("K1"));
    countWrites();
    editors::BookmarkEditor editor(ws, Mode::Edit);
    EXPECT_TRUE(editor.confirmEdit(
        QStringLiteral(" Daily "), QStringLiteral("http://example.org/K1 "), QString()));
    EXPECT_FALSE(editor.confirmEdit(
        QStringLiteral("DAILY"), QStringLiteral("http://example.org/K1"), QString()));
    EXPECT_EQ(messages.texts(),
        QStringList {QStringLiteral("\"DAILY\" already exists. Please choose another name. ")});
    EXPECT_EQ(writes, 0);
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(EditorFixture, AFailingWriteLeavesRowsListAndFlagAsTheyWere)
{
    open({item(kNews, QStringLiteral("K1"), QStringLiteral("Daily"))});
    selectListed(QStringLiteral("K1"));
    editors::BookmarkEditor editor(ws, Mode::Edit);
    int writesSeen = 0;
    // The copy goes in, then marking the old row fails.
    db()->setWriteHook([&](const QString &) {
        if (++writesSeen == 2)
            throw store::EngineError(
                store::EngineErrorCode::DiskFull, QStringLiteral("Disk full."));
    });
    EXPECT_THROW(
        editor.confirmEdit(QStringLiteral("Renamed"), QStringLiteral("http://x"), QString()),
        store::EngineError);
    db()->setWriteHook({});
    const auto after = rows(kNews);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].name, QStringLiteral("Daily"));
    EXPECT_EQ(after[0].state, store::RowState::Committed);
    EXPECT_EQ(ws.list().model().entry(0).name, QStringLiteral("Daily"));
    EXPECT_FALSE(ws.document().isModified());
}
