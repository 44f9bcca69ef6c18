// SPDX-License-Identifier: GPL-3.0-or-later
// The Jet `&` rewriting. Arbitrary texts must come through (a text without
// `&` unchanged); and generated expressions over Null and non-Null columns,
// run through translateSql() on SQLite, must give what Jet gives: `&` joins
// text with Null taken as empty, arithmetic binds tighter and passes Null on.
#include "JetConnection.h"
#include "core/store/JetDialect.h"

#include <QString>
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using Value = std::optional<std::string>; // nullopt: Null; ints as decimal text

sqlite3 *connection()
{
    return jetConnection("CREATE TABLE t (a TEXT COLLATE JETTEXT, b TEXT COLLATE JETTEXT,"
                         " [c d] TEXT COLLATE JETTEXT, n INTEGER, m INTEGER);"
                         "INSERT INTO t VALUES ('x&Y', NULL, 'q', 3, NULL);");
}

// Builds a Jet expression and, alongside, the value Jet gives it.
class Generator
{
public:
    explicit Generator(FuzzedDataProvider &fdp)
        : m_fdp(fdp)
    {
    }

    std::string sql;

    Value text(int depth)
    {
        const int choice = m_fdp.ConsumeIntegralInRange(0, depth > 0 ? 8 : 3);
        switch (choice) {
        case 0: {
            std::string lit = pick({"", "a&b", "it''s", "Z", "&"});
            put("'" + lit + "'");
            std::string v;
            for (size_t i = 0; i < lit.size(); ++i) {
                v += lit[i];
                if (lit[i] == '\'')
                    ++i;
            }
            return v;
        }
        case 1:
            return column();
        case 2:
            put("[c d]");
            return "q";
        case 3:
            put(m_fdp.ConsumeBool() ? "t.b" : "NULL");
            return std::nullopt;
        case 4:
        case 5:
        case 6: {
            // A chain; each operand is text or arithmetic.
            const int operands = m_fdp.ConsumeIntegralInRange(2, 4);
            std::string joined;
            for (int k = 0; k < operands; ++k) {
                if (k > 0)
                    put("&");
                const Value v = m_fdp.ConsumeBool() ? text(depth - 1) : number(depth - 1);
                joined += v.value_or("");
            }
            return joined;
        }
        case 7: {
            put(m_fdp.ConsumeBool() ? "upper" : "UPPER");
            const Value v = group([&] { return text(depth - 1); });
            if (!v)
                return v;
            std::string up = *v;
            for (char &c : up)
                c = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
            return up;
        }
        default:
            return m_fdp.ConsumeBool() ? group([&] { return text(depth - 1); })
                                       : caseOf([&] { return text(depth - 1); });
        }
    }

    Value number(int depth)
    {
        const int choice = m_fdp.ConsumeIntegralInRange(0, depth > 0 ? 6 : 2);
        switch (choice) {
        case 0: {
            const int n = m_fdp.ConsumeIntegralInRange(0, 99);
            put(std::to_string(n));
            return std::to_string(n);
        }
        case 1:
            put(m_fdp.ConsumeBool() ? "n" : "t.n");
            return "3";
        case 2:
            put("m");
            return std::nullopt;
        case 3:
        case 4: {
            const Value left = number(depth - 1);
            const bool plus = m_fdp.ConsumeBool();
            put(plus ? "+" : "-");
            // A space keeps "- -1" from reading as a comment. Left to right:
            // a right operand that is itself a sum goes in parentheses.
            sql += ' ';
            const Value right
                = m_fdp.ConsumeBool() ? number(0) : group([&] { return number(depth - 1); });
            if (!left || !right)
                return std::nullopt;
            const long long l = std::stoll(*left);
            const long long r = std::stoll(*right);
            return std::to_string(plus ? l + r : l - r);
        }
        case 5: {
            put("length");
            const Value v = group([&] { return text(depth - 1); });
            return v ? Value(std::to_string(v->size())) : std::nullopt;
        }
        default:
            return m_fdp.ConsumeBool() ? group([&] { return number(depth - 1); })
                                       : caseOf([&] { return number(depth - 1); });
        }
    }

private:
    Value column()
    {
        if (m_fdp.ConsumeBool()) {
            put(m_fdp.ConsumeBool() ? "a" : "[a]");
            return "x&Y";
        }
        put(m_fdp.ConsumeBool() ? "b" : "\"b\"");
        return std::nullopt;
    }

    template<class F> Value group(F inner)
    {
        put("(");
        const Value v = inner();
        put(")");
        return v;
    }

    template<class F> Value caseOf(F inner)
    {
        put("CASE WHEN 1 THEN");
        const Value v = inner();
        put("ELSE");
        inner();
        put("END");
        return v;
    }

    std::string pick(std::initializer_list<const char *> options)
    {
        const size_t i = m_fdp.ConsumeIntegralInRange<size_t>(0, options.size() - 1);
        return *(options.begin() + i);
    }

    // A token with some kind of blank (maybe none) before it.
    void put(const std::string &token)
    {
        const std::string blank = pick({"", " ", " ", "\n", "\t", "/* & */", "-- &\n"});
        const bool needsSpace = !sql.empty()
            && (std::isalnum((unsigned char)sql.back()) || sql.back() == '_')
            && (std::isalnum((unsigned char)token[0]) || token[0] == '_');
        sql += (blank.empty() && needsSpace) ? std::string(" ") : blank;
        sql += token;
    }

    FuzzedDataProvider &m_fdp;
};

[[noreturn]] void fail(const char *what, const std::string &jet, const QString &sqlite,
    const std::string &got, const Value &expected)
{
    std::fprintf(stderr,
        "Jet translation fault: %s\n  jet:    %s\n  sqlite: %s\n  got: %s\n  expected: %s\n", what,
        jet.c_str(), sqlite.toStdString().c_str(), got.c_str(),
        expected ? expected->c_str() : "<null>");
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 0 && data[0] == '!') {
        // Any text: no crash, and nothing to do leaves it as it is.
        const QString text
            = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
        const QString out = quillet::jet::translateSql(text);
        if (!text.contains(u'&') && out != text)
            fail("a text without & changed", text.toStdString(), out, "", std::nullopt);
        return 0;
    }

    FuzzedDataProvider fdp(data, size);
    Generator gen(fdp);
    const Value expected = fdp.ConsumeBool() ? gen.text(4) : gen.number(4);
    const std::string jet = "SELECT " + gen.sql + " FROM t";
    const QString sqlite = quillet::jet::translateSql(QString::fromStdString(jet));

    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(connection(), sqlite.toUtf8().constData(), -1, &stmt, nullptr)
        != SQLITE_OK)
        fail(sqlite3_errmsg(connection()), jet, sqlite, "", expected);
    if (sqlite3_step(stmt) != SQLITE_ROW) {
        sqlite3_finalize(stmt);
        fail("no row", jet, sqlite, "", expected);
    }
    const unsigned char *text = sqlite3_column_text(stmt, 0);
    const Value got = text ? Value(reinterpret_cast<const char *>(text)) : std::nullopt;
    sqlite3_finalize(stmt);
    if (got != expected)
        fail("wrong value", jet, sqlite, got.value_or("<null>"), expected);
    return 0;
}
