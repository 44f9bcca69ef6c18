// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/JetDialect.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <vector>

using namespace quillet;

namespace {

// An in-memory connection with the dialect and a table shaped like tbItems.
class JetDialectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        ASSERT_EQ(jet::registerDialect(m_db), SQLITE_OK);
        exec("CREATE TABLE tbItems (id INTEGER PRIMARY KEY AUTOINCREMENT,"
             " tKey TEXT(20) COLLATE JETTEXT, urlName TEXT(255) COLLATE JETTEXT,"
             " urlLink TEXT COLLATE JETTEXT, urlDescrip TEXT COLLATE JETTEXT, delFlag SMALLINT)");
    }
    void TearDown() override { sqlite3_close(m_db); }

    void exec(const char *sql)
    {
        char *error = nullptr;
        ASSERT_EQ(sqlite3_exec(m_db, sql, nullptr, nullptr, &error), SQLITE_OK) << error;
    }

    // Rows given as name, link, description; a null pointer stores Null.
    void insert(std::initializer_list<std::vector<const char *>> rows, int delFlag = 0)
    {
        sqlite3_stmt *stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(m_db,
                      "INSERT INTO tbItems (tKey, urlName, urlLink, urlDescrip,"
                      " delFlag) VALUES ('K1', ?1, ?2, ?3, ?4)",
                      -1, &stmt, nullptr),
            SQLITE_OK);
        for (const auto &row : rows) {
            for (int i = 0; i < 3; ++i) {
                const char *v = i < int(row.size()) ? row[i] : nullptr;
                if (v)
                    sqlite3_bind_text(stmt, i + 1, v, -1, SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(stmt, i + 1);
            }
            sqlite3_bind_int(stmt, 4, delFlag);
            ASSERT_EQ(sqlite3_step(stmt), SQLITE_DONE);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
    }

    // Runs a Jet text and returns one "a|b|..." line per row ("<null>" for
    // Null); sets m_rc to the engine's result.
    QStringList query(const QString &jetSql)
    {
        QStringList out;
        sqlite3_stmt *stmt = nullptr;
        m_rc = sqlite3_prepare_v2(
            m_db, jet::translateSql(jetSql).toUtf8().constData(), -1, &stmt, nullptr);
        if (m_rc != SQLITE_OK)
            return out;
        while ((m_rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList columns;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto *text = sqlite3_column_text(stmt, c);
                columns << (text ? QString::fromUtf8(reinterpret_cast<const char *>(text))
                                 : QStringLiteral("<null>"));
            }
            out << columns.join(QLatin1Char('|'));
        }
        sqlite3_finalize(stmt);
        if (m_rc == SQLITE_DONE)
            m_rc = SQLITE_OK;
        return out;
    }

    // The find window's "All" query for a search text.
    QStringList find(const QString &text)
    {
        return query(QStringLiteral("SELECT urlName FROM tbItems WHERE (urlName & urlLink & "
                                    "urlDescrip) Like '*")
            + text + QStringLiteral("*' and delFlag<>-1"));
    }

    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_OK;
};

int sign(int v)
{
    return (v > 0) - (v < 0);
}

} // namespace

TEST_F(JetDialectTest, EqualityIgnoresCaseAndAccentCaseButNotAccents)
{
    insert({{"Café"}, {"CAFÉ"}, {"cafe"}, {"Straße"}, {"STRASSE"}});
    // Rows come back in insertion order without ORDER BY.
    EXPECT_EQ(query("select urlName from tbItems where urlName ='café' and delFlag <> -1"),
        QStringList({"Café", "CAFÉ"}));
    EXPECT_EQ(query("select urlName from tbItems where urlName <>'CAFÉ'"),
        QStringList({"cafe", "Straße", "STRASSE"}));
    EXPECT_EQ(query("select urlName from tbItems where tKey ='k1' and urlName ='CAFE'"),
        QStringList({"cafe"}));
}

TEST_F(JetDialectTest, GroupByJoinsCaseVariantsOfALink)
{
    insert({{"a", "HTTP://A"}, {"b", "http://b"}, {"c", "http://a"}, {"d", "http://É"},
        {"e", "http://e"}, {"f", "http://é"}, {"g", "http://b/"}});
    insert({{"x", "http://b"}}, -1); // deleted rows do not count
    const QStringList groups = query(
        "Select urlLink from tbItems Where delFlag <>-1 Group By urlLink Having count(urlLink) >1");
    ASSERT_EQ(groups.size(), 2) << groups.join(' ').toStdString();
    EXPECT_EQ(groups[0].toLower(), "http://a");
    EXPECT_EQ(groups[1].toLower(), "http://é");
}

TEST(JetDialect, CollationIsATotalOrderAcrossTheAsciiShortcut)
{
    // Mixed ASCII and non-ASCII at the point where texts differ, prefixes and
    // invalid UTF-8 exercise the switch from the byte loop to the Unicode fold.
    const std::vector<QByteArray> texts
        = {"", "a", "A", "ab", "aB", "b", "[", "_", "é", "É", "e", "éa", "Éb", "K",
            "\xE2\x84\xAA", // Kelvin sign folds to k
            "\xC3", "\xC3\x41", "\xFF", "z\xF0\x9F\x98\x80", "z\xEF\xBF\xBD"};
    for (const QByteArray &a : texts) {
        EXPECT_EQ(jet::compareText(a, a), 0);
        for (const QByteArray &b : texts) {
            const int ab = sign(jet::compareText(a, b));
            EXPECT_EQ(ab, -sign(jet::compareText(b, a)))
                << a.toHex().data() << " " << b.toHex().data();
            for (const QByteArray &c : texts) {
                if (ab <= 0 && sign(jet::compareText(b, c)) <= 0) {
                    EXPECT_LE(jet::compareText(a, c), 0)
                        << a.toHex().data() << " " << b.toHex().data() << " " << c.toHex().data();
                }
            }
        }
    }
    EXPECT_EQ(jet::compareText("É", "é"), 0);
    EXPECT_EQ(jet::compareText("K", "\xE2\x84\xAA"), 0);
    EXPECT_LT(jet::compareText("e", "é"), 0);
    EXPECT_LT(jet::compareText("Z", "a") * jet::compareText("a", "Z"), 0);
    EXPECT_LT(jet::compareText("a", "B"), 0);
    EXPECT_LT(jet::compareText("ab", "aBc"), 0);
}

TEST(JetDialect, LikeWildcardsAndBrackets)
{
    struct Case
    {
        const char *value;
        const char *pattern;
        bool matches;
    };
    const Case cases[] = {
        // * any run, ? one character, # one digit
        {"", "*", true},
        {"abc", "a*c", true},
        {"ac", "a*c", true},
        {"abcbd", "a*b?", true},
        {"abcb", "a*b?", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"aéc", "a?c", true},
        {"a7c", "a#c", true},
        {"abc", "a#c", false},
        {"abc", "ab", false},
        {"abc", "*bc*", true},
        {"xyz", "*bc*", false},
        // retries after a '*', and long values read sixteen bytes at a time
        {"aXbaXc", "*a?c", true},
        {"a1aXa2", "*a#", true},
        {"a1aXa", "*a#", false},
        {"a long description mentioning the Linux KERNEL near its end", "*kernel n*", true},
        {"a long description mentioning the Linux kernel near its end", "*kernels*", false},
        {"Résumé: a long text about the KERNEL and more", "*kernel a*", true},
        {"a long text about the \xE2\x84\xAA"
         "ernel (Kelvin sign)",
            "*kernel*", true},
        // lists, ranges, negation
        {"b", "[abc]", true},
        {"d", "[abc]", false},
        {"Q", "[a-z]", true},
        {"q", "[A-Z]", true},
        {"5", "[a-z0-9]", true},
        {"é", "[a-z]", false},
        {"d", "[!abc]", true},
        {"B", "[!abc]", false},
        {"7", "[!a-z]", true},
        {"m", "[!a-z]", false},
        {"-", "[a-]", true},
        {"-", "[-a]", true},
        {"m", "[z-a]", false},
        {"ab", "a[]b", true},
        {"ax", "a[!]", true},
        // brackets quote the wildcard characters
        {"a*", "a[*]", true},
        {"ab", "a[*]", false},
        {"a?", "a[?]", true},
        {"ab", "a[?]", false},
        {"a#", "a[#]", true},
        {"a1", "a[#]", false},
        {"a[", "a[[]", true},
        // an unclosed '[' is a literal
        {"[x", "[x", true},
        {"x", "[x", false},
        {"see [1", "*[1*", true},
        // case ignored, accents kept
        {"CAFÉ au lait", "*café*", true},
        {"cafe", "*CAFÉ*", false},
        {"Ärger", "ä*", true},
        {"ÉCOLE", "[é]cole", true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(
            jet::likeMatches(QString::fromUtf8(c.value), QString::fromUtf8(c.pattern)), c.matches)
            << '"' << c.value << "\" Like \"" << c.pattern << '"';
    }
}

TEST_F(JetDialectTest, LikeOperatorNullsAndEscape)
{
    EXPECT_EQ(query("SELECT 'ABC' Like 'a*', 'abc' Like 'a%'"), QStringList({"1|0"}));
    EXPECT_EQ(query("SELECT Null Like '*'"), QStringList({"<null>"}));
    EXPECT_EQ(query("SELECT 'a' Like Null"), QStringList({"<null>"}));
    EXPECT_EQ(query("SELECT 'a*' Like 'a!*' ESCAPE '!', 'ab' Like 'a!*' ESCAPE '!'"),
        QStringList({"1|0"}));
    query("SELECT 'a' Like 'a' ESCAPE 'ab'");
    EXPECT_EQ(m_rc, SQLITE_ERROR);
    // A pattern that changes from row to row is compiled for each row.
    EXPECT_EQ(query("WITH t(v, p) AS (VALUES ('abc', 'A*'), ('abc', 'b*'), ('xyz', '?Y?'))"
                    " SELECT v Like p FROM t"),
        QStringList({"1", "0", "1"}));
    // A number is matched as its text.
    EXPECT_EQ(query("SELECT 1234 Like '1#3#', -1 Like '-#'"), QStringList({"1|1"}));
}

TEST_F(JetDialectTest, FindQueryJoinsFieldsAndTreatsNullAsEmpty)
{
    insert({{"Alpha", "http://one.example", nullptr}, {"Beta", nullptr, "second site"},
        {nullptr, "http://third.example", "Third"},
        {"Gamma", "http://a.example/x?id=7", "price 5 * 3"},
        {"O'Brien [draft]", "http://ob.example", "a & b"}});
    insert({{"Alpha deleted", "http://one.example"}}, -1);

    EXPECT_EQ(find("ONE"), QStringList({"Alpha"}));
    EXPECT_EQ(find("betaSECOND"), QStringList({"Beta"})); // across the joined fields
    EXPECT_EQ(find("exampleThird"), QStringList({"<null>"}));
    EXPECT_EQ(find("O''Brien"), QStringList({"O'Brien [draft]"}));
    // The search text is a pattern: its wildcards work as in Jet.
    EXPECT_EQ(find("id=#"), QStringList({"Gamma"}));
    EXPECT_EQ(find("x?id"), QStringList({"Gamma"}));
    EXPECT_EQ(find("5 * 3"), QStringList({"Gamma"}));
    EXPECT_EQ(find("[[]draft"), QStringList({"O'Brien [draft]"}));
    EXPECT_EQ(find("[d]raft]"), QStringList({"O'Brien [draft]"}));
    EXPECT_EQ(find("["), QStringList({"O'Brien [draft]"}));
    // A literal's content never changes the statement.
    EXPECT_EQ(find("a & b"), QStringList({"O'Brien [draft]"}));
    EXPECT_EQ(m_rc, SQLITE_OK);
    EXPECT_TRUE(find("no such").isEmpty());
    EXPECT_EQ(m_rc, SQLITE_OK);
    // An unquoted apostrophe ends the literal early; the engine rejects the text.
    find("O'Brien");
    EXPECT_NE(m_rc, SQLITE_OK);
}

TEST_F(JetDialectTest, ConcatenationOperands)
{
    insert({{"n", nullptr, "d"}});
    EXPECT_EQ(query("SELECT urlName & urlLink & urlDescrip FROM tbItems"), QStringList({"nd"}));
    EXPECT_EQ(
        query("SELECT 'a&b' & [urlName] & 1 + 2 & (urlLink) FROM tbItems"), QStringList({"a&bn3"}));
    EXPECT_EQ(query("SELECT upper(urlName) & -1 & tbItems.urlDescrip FROM tbItems"),
        QStringList({"N-1d"}));
    EXPECT_EQ(query("SELECT 1 FROM tbItems WHERE urlName & 'x' = 'NX' AND 'y' & urlLink = 'Y'"),
        QStringList({"1"}));
}

TEST(JetDialect, TranslateSqlRewritesOnlyTheOperator)
{
    const QString find = "SELECT * FROM tbItems WHERE (urlName & urlLink & urlDescrip) Like '*a&b*'"
                         " and delFlag<>-1";
    EXPECT_EQ(jet::translateSql(find),
        "SELECT * FROM tbItems WHERE ((ifnull(urlName,'') || ifnull(urlLink,'') || "
        "ifnull(urlDescrip,'')) COLLATE JETTEXT) Like '*a&b*' and delFlag<>-1");

    // Nothing to translate: the same text comes back.
    for (const QString &same : {
             QStringLiteral("select * from tbItems where tKey ='K&1' and delFlag <> -1"),
             QStringLiteral("select [a&b], \"c&d\" from t -- e & f"),
             QStringLiteral("select 'it''s & ok' from t /* & */"),
         }) {
        EXPECT_EQ(jet::translateSql(same), same);
    }

    struct Case
    {
        const char *jet;
        const char *sqlite;
    };
    const Case cases[] = {
        {"x = a&b", "x = (ifnull(a,'') || ifnull(b,'')) COLLATE JETTEXT"},
        {"'O''Brien' & [my name]", "('O''Brien' || ifnull([my name],'')) COLLATE JETTEXT"},
        // arithmetic binds tighter than &
        {"a + 1 & b * c", "(ifnull(a + 1,'') || ifnull(b * c,'')) COLLATE JETTEXT"},
        {"-a & - b", "(ifnull(-a,'') || ifnull(- b,'')) COLLATE JETTEXT"},
        {"t.a & f(x & y, 2)",
            "(ifnull(t.a,'') || ifnull(f((ifnull(x,'') || ifnull(y,'')) COLLATE JETTEXT, 2),''))"
            " COLLATE JETTEXT"},
        // clause words and comparisons end an operand
        {"WHERE (a) & b Like 'x'",
            "WHERE (ifnull((a),'') || ifnull(b,'')) COLLATE JETTEXT Like 'x'"},
        {"NOT a & b", "NOT (ifnull(a,'') || ifnull(b,'')) COLLATE JETTEXT"},
        {"CASE WHEN a THEN b END & c",
            "(ifnull(CASE WHEN a THEN b END,'') || ifnull(c,'')) COLLATE JETTEXT"},
        // a word right after the last operand stays a word of its own
        {"CASE WHEN 1 THEN a&''END", "CASE WHEN 1 THEN (ifnull(a,'') || '') COLLATE JETTEXT END"},
        {"a&''OR b", "(ifnull(a,'') || '') COLLATE JETTEXT OR b"},
        // a CASE holding a chain is itself an operand
        {"CASE WHEN 1 THEN a & b END & c",
            "(ifnull(CASE WHEN 1 THEN (ifnull(a,'') || ifnull(b,'')) COLLATE JETTEXT END,'') || "
            "ifnull(c,'')) COLLATE JETTEXT"},
        {"a & b, c & d",
            "(ifnull(a,'') || ifnull(b,'')) COLLATE JETTEXT, (ifnull(c,'') || ifnull(d,'')) "
            "COLLATE "
            "JETTEXT"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(jet::translateSql(c.jet).toStdString(), c.sqlite) << c.jet;
}
