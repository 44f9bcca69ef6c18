// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/DragAndDrop.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;
using outline::DragKind;

namespace {

// Root > A (K1) > B (K2) > C (K3);  Root > X (K4) > B (K5)
class HeadingDropFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = common::homePath(QStringLiteral("drop.rdb"));
        writeDocument(path,
            {NodeRow(QStringLiteral("0"), QStringLiteral("Root"), QStringLiteral("kRoot")),
                NodeRow(QStringLiteral("kRoot"), QStringLiteral("A"), QStringLiteral("K1")),
                NodeRow(QStringLiteral("K1"), QStringLiteral("B"), QStringLiteral("K2")),
                NodeRow(QStringLiteral("K2"), QStringLiteral("C"), QStringLiteral("K3")),
                NodeRow(QStringLiteral("kRoot"), QStringLiteral("X"), QStringLiteral("K4")),
                NodeRow(QStringLiteral("K4"), QStringLiteral("b"), QStringLiteral("K5"))},
            {ItemRow(QStringLiteral("K2"), QStringLiteral("K1"), QStringLiteral("in B"),
                QStringLiteral("http://b"))});
        ASSERT_TRUE(life.loadDocument(path, nullptr));
    }
    QString shape(const outline::HeadingNode *node) const
    {
        QString text = node->title + QLatin1Char('(') + node->key;
        for (const auto &child : node->children)
            text += QLatin1Char(' ') + shape(child.get());
        return text + QLatin1Char(')');
    }
    QString shape() { return shape(ws.tree().root()); }
    bool drop(DragKind kind, const char *source, const char *target)
    {
        return outline::dropOnHeading(ws, {kind, QLatin1String(source)}, QLatin1String(target));
    }

    ScriptedMessageBoxes messages;
    RecordingDescription description;
    outline::Workspace ws {{&messages, nullptr, nullptr, &description, nullptr, nullptr}};
    shell::DocumentLifecycle life {ws};
    QAbstractItemModelTester tester {
        &ws.tree(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(HeadingDropFixture, DropsThatWouldChangeNothingAreRefused)
{
    const QString before = shape();
    EXPECT_FALSE(drop(DragKind::Heading, "K2", "K1")); // onto its parent
    EXPECT_FALSE(drop(DragKind::Heading, "K1", "K3")); // into its own subtree
    EXPECT_FALSE(drop(DragKind::Heading, "K2", "K2")); // onto itself
    EXPECT_FALSE(drop(DragKind::Heading, "K2", "")); // empty tree space
    EXPECT_EQ(shape(), before);
    EXPECT_FALSE(ws.document().isModified());
}

TEST_F(HeadingDropFixture, HeadingArrivesAsFirstChildRenamedOnATitleClashWithItsSubtree)
{
    EXPECT_TRUE(drop(DragKind::Heading, "K2", "K4"));
    EXPECT_EQ(shape(), QStringLiteral("Root(kRoot A(K1) X(K4 B #1(K2 C(K3)) b(K5)))"));
    EXPECT_TRUE(ws.document().isModified());
    // Its bookmarks follow by key.
    ws.selectHeading(ws.tree().findByKey(QStringLiteral("K2")));
    ASSERT_EQ(ws.list().model().count(), 1);
    EXPECT_EQ(ws.list().model().entry(0).name, QStringLiteral("in B"));
}
