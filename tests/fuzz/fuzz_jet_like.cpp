// SPDX-License-Identifier: GPL-3.0-or-later
// Jet's Like against a plain reference matcher: the product's matcher (with
// its ASCII, substring and skip-ahead shortcuts) must agree with a simple
// dynamic programme over the folded characters, both through likeMatches()
// and through the like() function SQLite calls on raw (maybe invalid) bytes.
#include "JetConnection.h"
#include "core/store/JetDialect.h"
#include "core/store/JetDialectInternal.h"

#include <QChar>
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Item
{
    enum Kind
    {
        Literal,
        Any,
        Digit,
        Set,
        Star
    } kind;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges = {};
};

char32_t folded(char32_t c)
{
    return QChar::toCaseFolded(c);
}

std::vector<char32_t> decode(const std::string &bytes)
{
    std::vector<char32_t> out;
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    for (size_t i = 0; i < bytes.size();)
        out.push_back(quillet::jet::decodeUtf8(s, bytes.size(), i));
    return out;
}

// * any run, ? one character, # one digit, [list] [!list] [a-z]; a '[' with
// no ']' after it is itself; "[]" matches nothing at all (zero characters),
// "[!]" one character; a '-' first or last in a list is itself.
std::vector<Item> parse(const std::vector<char32_t> &p)
{
    std::vector<Item> items;
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == '*') {
            items.push_back({Item::Star});
        } else if (c == '?') {
            items.push_back({Item::Any});
        } else if (c == '#') {
            items.push_back({Item::Digit});
        } else if (c == '[') {
            size_t close = i + 1;
            while (close < p.size() && p[close] != ']')
                ++close;
            if (close == p.size()) {
                items.push_back({Item::Literal, '['});
                continue;
            }
            Item set {Item::Set};
            size_t j = i + 1;
            if (j < close && p[j] == '!') {
                set.negated = true;
                ++j;
            }
            if (j == close) {
                if (set.negated)
                    items.push_back({Item::Any});
                i = close;
                continue;
            }
            while (j < close) {
                char32_t lo = p[j];
                char32_t hi = lo;
                if (j + 2 < close && p[j + 1] == '-') {
                    hi = p[j + 2];
                    j += 3;
                } else {
                    ++j;
                }
                if (folded(lo) <= folded(hi))
                    set.ranges.emplace_back(folded(lo), folded(hi));
            }
            items.push_back(set); // all ranges reversed: matches nothing
            i = close;
        } else {
            items.push_back({Item::Literal, folded(c)});
        }
    }
    return items;
}

bool matchesOne(const Item &item, char32_t c)
{
    switch (item.kind) {
    case Item::Literal:
        return c == item.ch;
    case Item::Any:
        return true;
    case Item::Digit:
        return c >= '0' && c <= '9';
    case Item::Set: {
        bool in = false;
        for (const auto &[lo, hi] : item.ranges)
            in = in || (c >= lo && c <= hi);
        return in != item.negated;
    }
    case Item::Star:
        return false;
    }
    return false;
}

bool reference(const std::vector<char32_t> &pattern, const std::vector<char32_t> &value)
{
    const std::vector<Item> items = parse(pattern);
    std::vector<char32_t> text;
    for (char32_t c : value)
        text.push_back(folded(c));
    // ok[j]: the items so far match text[0, j).
    std::vector<char> ok(text.size() + 1, 0);
    ok[0] = 1;
    for (const Item &item : items) {
        std::vector<char> next(text.size() + 1, 0);
        for (size_t j = 0; j <= text.size(); ++j) {
            if (item.kind == Item::Star)
                next[j] = ok[j] || (j > 0 && next[j - 1]);
            else if (j > 0)
                next[j] = ok[j - 1] && matchesOne(item, text[j - 1]);
        }
        ok.swap(next);
    }
    return ok[text.size()];
}

[[noreturn]] void fail(
    const char *how, const std::string &pattern, const std::string &value, bool expected)
{
    std::fprintf(stderr, "Like fault (%s): pattern [%s] value [%s]: expected %d\n", how,
        pattern.c_str(), value.c_str(), int(expected));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const std::string pattern = fdp.ConsumeRandomLengthString(64);
    const std::string value1 = fdp.ConsumeRandomLengthString(256);
    const std::string value2 = fdp.ConsumeRemainingBytesAsString();

    // QStrings: what the program's own searches pass.
    const QString qPattern = QString::fromStdString(pattern);
    for (const std::string *value : {&value1, &value2}) {
        const QString qValue = QString::fromStdString(*value);
        const bool expected
            = reference(decode(qPattern.toStdString()), decode(qValue.toStdString()));
        if (quillet::jet::likeMatches(qValue, qPattern) != expected)
            fail("likeMatches", qPattern.toStdString(), qValue.toStdString(), expected);
    }

    // Raw bytes through SQLite: one statement, two rows, so the compiled
    // pattern is reused.
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(jetConnection(), "SELECT ?2 LIKE ?1", -1, &stmt, nullptr) != SQLITE_OK)
        std::abort();
    const std::vector<char32_t> p = decode(pattern);
    for (const std::string *value : {&value1, &value2}) {
        sqlite3_bind_text(stmt, 1, pattern.data(), int(pattern.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, value->data(), int(value->size()), SQLITE_STATIC);
        if (sqlite3_step(stmt) != SQLITE_ROW)
            std::abort();
        const bool expected = reference(p, decode(*value));
        if ((sqlite3_column_int(stmt, 0) != 0) != expected)
            fail("like()", pattern, *value, expected);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    return 0;
}
