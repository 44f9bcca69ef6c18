// SPDX-License-Identifier: GPL-3.0-or-later
// Documents with the right password and the wrong content, opened the way a
// user opens them: each is refused with the program's messages or loaded,
// listed and described; never a crash or a hang.
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"
#include "core/pages/DescriptionPage.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quillet;

namespace {

enum class Outcome
{
    Loads,
    RefusedAtOpen, // "Can not open file", the previous document stays
    RefusedAtLoad, // "could not be loaded", an empty untitled document follows
};

// The pane as the window runs it, down to the files it writes.
class WritingDescription : public test::RecordingDescription
{
public:
    void showBookmark(const store::BookmarkRow &row) override
    {
        test::RecordingDescription::showBookmark(row);
        pageWritten = writer.preparePage(row).has_value();
    }
    pages::DescriptionPageWriter writer;
    bool pageWritten = false;
};

void runSql(const QString &path, const QString &sql)
{
    auto db = store::Database::open(path, store::openConnectString());
    char *error = nullptr;
    const int rc = sqlite3_exec(db->handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throw std::runtime_error(message.toStdString());
}

void flipByteAt(const QString &path, qint64 offset)
{
    QByteArray bytes = test::fileBytes(path);
    bytes[offset] = static_cast<char>(bytes[offset] ^ 0x10);
    test::writeFileBytes(path, bytes);
}

// A million headings written by the engine itself, in one transaction.
QString millionHeadings(const char *parent)
{
    return QStringLiteral("BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                          "WHERE i < 1000000) INSERT INTO tbNodes (Parent, Title, Key, Image, "
                          "expImage) SELECT %1, 'h' || i, 'h' || i, 1, 2 FROM n; COMMIT;")
        .arg(QLatin1String(parent));
}

struct Hostile
{
    const char *name;
    Outcome outcome;
    std::function<void(const QString &path)> damage;
    int headings = 2; // in the loaded tree
};

const Hostile kHostile[] = {
    {"MissingTable", Outcome::RefusedAtOpen,
        [](const QString &p) { runSql(p, QStringLiteral("DROP TABLE tbTips")); }},
    {"ExtraTable", Outcome::Loads,
        [](const QString &p) {
            runSql(p, QStringLiteral("CREATE TABLE tbExtra (x); INSERT INTO tbExtra VALUES (1)"));
        }},
    {"Trigger", Outcome::RefusedAtOpen,
        [](const QString &p) {
            runSql(p,
                QStringLiteral("CREATE TRIGGER wipe AFTER UPDATE ON tbItems "
                               "BEGIN DELETE FROM tbItems; END"));
        }},
    {"ViewForTable", Outcome::RefusedAtOpen,
        [](const QString &p) {
            runSql(p,
                QStringLiteral("DROP TABLE tbTips; CREATE VIEW tbTips AS SELECT '3.0' AS Version"));
        }},
    {"ExtraColumn", Outcome::RefusedAtOpen,
        [](const QString &p) { runSql(p, QStringLiteral("ALTER TABLE tbItems ADD COLUMN x")); }},
    {"ColumnOfWrongType", Outcome::RefusedAtOpen,
        [](const QString &p) {
            QString create
                = store::Database::tableSql(store::tableDefinition(store::DocumentTable::Nodes));
            create.replace(QStringLiteral("\"Image\" SMALLINT"), QStringLiteral("\"Image\" BLOB"));
            runSql(p, QStringLiteral("DROP TABLE tbNodes; ") + create);
        }},
    {"ValuesOfWrongType", Outcome::Loads,
        [](const QString &p) {
            runSql(p,
                QStringLiteral("UPDATE tbNodes SET Image = 'x', expImage = NULL, "
                               "Title = X'FF00FE' WHERE Key = 'k1'; "
                               "UPDATE tbItems SET urlName = 42, urlDate = NULL, "
                               "urlDescrip = X'00FF', delFlag = 'x', urlThumb = 'text'"));
        }},
    {"ParentCycle", Outcome::RefusedAtLoad,
        [](const QString &p) {
            runSql(p,
                QStringLiteral("UPDATE tbNodes SET Parent = 'k2' WHERE Key = 'k1'; "
                               "INSERT INTO tbNodes (Parent, Title, Key, Image, expImage) "
                               "VALUES ('k1', 'Loop', 'k2', 1, 2)"));
        }},
    {"OwnParent", Outcome::RefusedAtLoad,
        [](const QString &p) {
            runSql(p, QStringLiteral("UPDATE tbNodes SET Parent = Key WHERE Key = 'k1'"));
        }},
    {"TenMegabyteTitles", Outcome::Loads,
        [](const QString &p) {
            runSql(p,
                QStringLiteral("UPDATE tbNodes SET Title = hex(zeroblob(5242880)) "
                               "WHERE Key = 'k1'; UPDATE tbItems SET urlName = "
                               "hex(zeroblob(5242880)) || urlName"));
        }},
    {"NulBytes", Outcome::Loads,
        [](const QString &p) {
            runSql(p,
                QStringLiteral("UPDATE tbNodes SET Title = 'a' || char(0) || 'b'; "
                               "UPDATE tbItems SET lKey = char(0), urlName = urlName || char(0), "
                               "urlLink = 'http://' || char(0), urlDescrip = char(0, 0)"));
        }},
    {"MillionHeadings", Outcome::Loads,
        [](const QString &p) { runSql(p, millionHeadings("'kRoot'")); }, 1000002},
    {"MillionHeadingChain", Outcome::Loads,
        [](const QString &p) {
            runSql(p, millionHeadings("CASE i WHEN 1 THEN 'kRoot' ELSE 'h' || (i - 1) END"));
        },
        1000002},
    {"FiftyMegabyteThumbnail", Outcome::Loads,
        [](const QString &p) {
            runSql(p,
                QStringLiteral(
                    "UPDATE tbItems SET urlThumb = randomblob(52428800) WHERE urlName = 'A'"));
        }},
    {"Truncated", Outcome::RefusedAtOpen,
        [](const QString &p) {
            const QByteArray bytes = test::fileBytes(p);
            test::writeFileBytes(p, bytes.left(bytes.size() / 2));
        }},
    {"BitFlippedFirstPage", Outcome::RefusedAtOpen, [](const QString &p) { flipByteAt(p, 100); }},
    {"BitFlippedLastPage", Outcome::RefusedAtOpen,
        [](const QString &p) { flipByteAt(p, QFile(p).size() - 100); }},
};

class HostileDocumentTest : public ::testing::TestWithParam<Hostile>
{
protected:
    void SetUp() override
    {
        ws = std::make_unique<outline::Workspace>(outline::Workspace::Services {
            &messages, &dialogs, &desktop, &description, &status, &progress});
        life = std::make_unique<shell::DocumentLifecycle>(*ws);
        ASSERT_TRUE(life->newDocument(false));
    }

    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingDesktop desktop;
    WritingDescription description;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    std::unique_ptr<outline::Workspace> ws;
    std::unique_ptr<shell::DocumentLifecycle> life;
};

TEST_P(HostileDocumentTest, IsRefusedWithAMessageOrLoaded)
{
    const Hostile &hostile = GetParam();
    const QString written = common::appHome() + QStringLiteral("/written.rdb");
    test::writeDocument(written,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
            {QStringLiteral("kRoot"), QStringLiteral("Work"), QStringLiteral("k1")}},
        {{QStringLiteral("kRoot"), QStringLiteral("ka"), QStringLiteral("A"),
             QStringLiteral("http://a/")},
            {QStringLiteral("kRoot"), QStringLiteral("kb"), QStringLiteral("B"),
                QStringLiteral("http://b/")}});
    hostile.damage(written);
    // A copy made behind the program's back: a file from elsewhere.
    const QString path = common::appHome() + QStringLiteral("/hostile.rdb");
    test::writeFileBytes(path, test::fileBytes(written));
    const QString untitled = ws->document().path();

    life->openDocumentFile(path);

    const QString quoted = QLatin1Char('"') + path + QLatin1Char('"');
    switch (hostile.outcome) {
    case Outcome::Loads: {
        // Rows that only Save or Discard would settle (a delFlag of 'x') are
        // first offered back as unsaved work; nothing else is said.
        QStringList said = messages.texts();
        said.removeIf([](const QString &text) {
            return text.contains(QStringLiteral(" holds changes that were never saved: "));
        });
        EXPECT_TRUE(said.isEmpty()) << said.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(ws->document().path(), path);
        EXPECT_EQ(ws->tree().headingCount(), hostile.headings);
        EXPECT_EQ(ws->list().model().count(), 2);
        EXPECT_TRUE(description.pageWritten);
        {
            // The last heading goes with everything below it (a million
            // nested ones in the chain).
            outline::HeadingNode *last = ws->tree().root()->children.back().get();
            const QString key = last->key;
            ws->tree().setCurrent(last);
            EXPECT_TRUE(outline::HeadingOperations(*ws).deleteHeading());
            EXPECT_EQ(ws->tree().findByKey(key), nullptr);
        }
        break;
    }
    case Outcome::RefusedAtOpen:
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].startsWith(
            QStringLiteral("Can not open file: ") + quoted + QStringLiteral(". ")));
        EXPECT_EQ(ws->document().path(), untitled);
        break;
    case Outcome::RefusedAtLoad:
        // The load names its reason after the fixed text.
        ASSERT_EQ(messages.texts().size(), 2);
        EXPECT_TRUE(messages.texts()[0].startsWith(
            QLatin1Char('\'') + path + QStringLiteral("' could not be loaded. ")));
        EXPECT_GT(messages.texts()[0].size(), path.size() + 25);
        EXPECT_EQ(messages.texts()[1],
            QStringLiteral("Can not load file: ") + quoted + QStringLiteral(". "));
        EXPECT_TRUE(ws->document().isUntitled());
        break;
    }
    // Whatever happened, a document is open and works.
    ASSERT_NE(ws->document().database(), nullptr);
    ws->clearHeadingTree();
}

// Only a file left as this process closed it skips the check.
TEST_F(HostileDocumentTest, OwnFileChangedElsewhereIsCheckedAgain)
{
    const QString path = common::appHome() + QStringLiteral("/own.rdb");
    test::writeDocument(
        path, {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}}, {});
    flipByteAt(path, QFile(path).size() - 100);
    const QString untitled = ws->document().path();

    life->openDocumentFile(path);

    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].startsWith(
        QStringLiteral("Can not open file: \"") + path + QStringLiteral("\". ")));
    EXPECT_EQ(ws->document().path(), untitled);
}

INSTANTIATE_TEST_SUITE_P(Documents, HostileDocumentTest, ::testing::ValuesIn(kHostile),
    [](const ::testing::TestParamInfo<Hostile> &info) { return std::string(info.param.name); });

} // namespace
