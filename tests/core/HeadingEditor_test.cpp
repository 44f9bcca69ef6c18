// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPlatform.h"
#include "core/editors/HeadingEditor.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/Workspace.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;
using editors::HeadingEditor;

namespace {

class HeadingEditorFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = ws.tree().addRootHeading();
        work = ws.tree().appendHeading(root, QStringLiteral("Work"), QStringLiteral("K1"), 5, 6);
        ws.tree().appendHeading(root, QStringLiteral("Home"), QStringLiteral("K2"), 1, 2);
        ws.list().setListedHeading(QStringLiteral("kRoot"));
    }
    QStringList childTitles(const outline::HeadingNode *node)
    {
        QStringList titles;
        for (const auto &child : node->children)
            titles << child->title;
        return titles;
    }

    ScriptedMessageBoxes messages;
    RecordingStatus status;
    outline::Workspace ws {{&messages, nullptr, nullptr, nullptr, &status, nullptr}};
    QAbstractItemModelTester tester {
        &ws.tree(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    outline::HeadingNode *root = nullptr;
    outline::HeadingNode *work = nullptr;
};

} // namespace

TEST_F(HeadingEditorFixture, IconListHasOneEntryPerPairAndOddIndicesOnly)
{
    HeadingEditor editor(ws, true, 16);
    ws.tree().setCurrent(work);
    ASSERT_TRUE(editor.setUp());
    const auto entries = editor.iconEntries();
    ASSERT_EQ(entries.size(), 8);
    EXPECT_EQ(entries[0].key, QStringLiteral("a1"));
    EXPECT_EQ(entries[0].text, QStringLiteral("Display Icon 1"));
    EXPECT_EQ(entries[7].key, QStringLiteral("a15"));
    EXPECT_EQ(entries[7].text, QStringLiteral("Display Icon 8"));
    EXPECT_EQ(entries[7].picture, 15);
    EXPECT_EQ(editor.chosenIcon(), 5);
    EXPECT_EQ(editor.chosenEntry(), 2);
    EXPECT_EQ(editor.initialTitle(), QStringLiteral("Work"));
    editor.chooseEntry(3);
    EXPECT_EQ(editor.chosenIcon(), 7);
}

TEST_F(HeadingEditorFixture, EnablingFollowsTheTrimmedTitleAndTheTopLevelGetsNoSiblings)
{
    HeadingEditor add(ws, false, 16);
    ASSERT_TRUE(add.setUp());
    EXPECT_EQ(add.chosenIcon(), 1);
    auto state = add.enabling(QStringLiteral("   "));
    EXPECT_FALSE(state.heading);
    EXPECT_FALSE(state.subHeading);
    EXPECT_TRUE(state.focusTitle);
    state = add.enabling(QStringLiteral("News")); // the root is current
    EXPECT_FALSE(state.heading);
    EXPECT_TRUE(state.subHeading);
    ws.tree().setCurrent(work);
    EXPECT_TRUE(add.enabling(QStringLiteral("News")).heading);

    HeadingEditor edit(ws, true, 16);
    ASSERT_TRUE(edit.setUp());
    EXPECT_FALSE(edit.enabling(QStringLiteral(" ")).ok);
    EXPECT_TRUE(edit.enabling(QStringLiteral("x")).ok);
    ws.tree().setCurrent(nullptr);
    EXPECT_FALSE(HeadingEditor(ws, true, 16).setUp());
}

TEST_F(HeadingEditorFixture, AddingBesideAndBelowTheCurrentHeading)
{
    ws.tree().setCurrent(work);
    HeadingEditor editor(ws, false, 16);
    ASSERT_TRUE(editor.setUp());
    editor.chooseEntry(2); // pictures 5 and 6
    ASSERT_TRUE(editor.addHeading(QStringLiteral("  Projects "), false));
    EXPECT_EQ(childTitles(root),
        (QStringList {QStringLiteral("Work"), QStringLiteral("Projects"), QStringLiteral("Home")}));
    outline::HeadingNode *projects = ws.tree().current();
    EXPECT_EQ(projects->title, QStringLiteral("Projects"));
    EXPECT_EQ(projects->image, 5);
    EXPECT_EQ(projects->expandedImage, 6);
    EXPECT_TRUE(projects->key.startsWith(QLatin1Char('K')));
    EXPECT_EQ(ws.list().listedHeading(), projects->key);
    EXPECT_TRUE(ws.document().isModified());
    EXPECT_EQ(status.text, QStringLiteral("Status: Idle - 0 bookmarks found."));

    // Three sub-headings in a row make a chain.
    for (const char *title : {"a", "b", "c"})
        ASSERT_TRUE(editor.addHeading(QLatin1String(title), true));
    const outline::HeadingNode *a = projects->firstChild();
    ASSERT_TRUE(a && a->firstChild() && a->firstChild()->firstChild());
    EXPECT_EQ(a->firstChild()->firstChild()->title, QStringLiteral("c"));
    EXPECT_EQ(a->firstChild()->firstChild()->expandedImage, 6);
    EXPECT_TRUE(projects->expanded); // the new headings were brought into view
    EXPECT_EQ(ws.tree().headingCount(), 7);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(HeadingEditorFixture, SiblingClashesAndInvalidNamesAreRefusedWithTheirMessages)
{
    ws.tree().setCurrent(work);
    HeadingEditor editor(ws, false, 16);
    ASSERT_TRUE(editor.setUp());
    EXPECT_FALSE(editor.addHeading(QStringLiteral("  hOME "), false));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
        QStringLiteral("\"hOME\" already exists. Please choose another name. "));
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(messages.shown[0].title.isEmpty()); // the program's title

    // The same title under another parent is fine.
    EXPECT_TRUE(editor.addHeading(QStringLiteral("Home"), true));

    EXPECT_FALSE(editor.addHeading(QStringLiteral("a/b"), true));
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text,
        QStringLiteral("The heading is invalid or cannot contain any of the following "
                       "characters:\r\n \\ / : * ? \" < > | "));
    EXPECT_EQ(ws.tree().headingCount(), 4);
}

TEST_F(HeadingEditorFixture, EditAppliesTitleAndIconOnlyWhenSomethingChanged)
{
    ws.tree().setCurrent(work);
    {
        HeadingEditor editor(ws, true, 16);
        ASSERT_TRUE(editor.setUp());
        EXPECT_TRUE(editor.confirmEdit(QStringLiteral(" WORK ")));
        EXPECT_EQ(work->title, QStringLiteral("Work"));
        EXPECT_FALSE(ws.document().isModified());
        EXPECT_FALSE(editor.confirmEdit(QStringLiteral("home")));
        EXPECT_EQ(messages.texts(),
            QStringList {QStringLiteral("\"home\" already exists. Please choose another name. ")});
        EXPECT_EQ(work->title, QStringLiteral("Work"));
    }
    {
        // Only the case differs, but another icon is chosen: both apply.
        HeadingEditor editor(ws, true, 16);
        ASSERT_TRUE(editor.setUp());
        editor.chooseEntry(0);
        EXPECT_TRUE(editor.confirmEdit(QStringLiteral("WORK")));
        EXPECT_EQ(work->title, QStringLiteral("WORK"));
        EXPECT_EQ(work->image, 1);
        EXPECT_EQ(work->expandedImage, 2);
        EXPECT_EQ(work->key, QStringLiteral("K1"));
        EXPECT_TRUE(ws.document().isModified());
    }
    // The root has no siblings to clash with.
    ws.tree().setCurrent(root);
    HeadingEditor editor(ws, true, 16);
    ASSERT_TRUE(editor.setUp());
    EXPECT_TRUE(editor.confirmEdit(QStringLiteral("Work")));
    EXPECT_EQ(root->title, QStringLiteral("Work"));
}
