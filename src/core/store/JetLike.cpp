// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/JetDialect.h"
#include "core/store/JetDialectInternal.h"

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet::jet {
namespace {

enum class Op : unsigned char
{
    Literal,
    AnyChar,
    Digit,
    Set,
    Star
};

struct Token
{
    Op op;
    bool negated = false;
    char32_t ch = 0; // Literal: the folded character
    std::uint32_t rangeBegin = 0; // Set: m_ranges[rangeBegin, rangeEnd)
    std::uint32_t rangeEnd = 0;
};

struct Range
{
    char32_t lo;
    char32_t hi;
};

// A folded pure-ASCII value, read on its bytes.
struct AsciiText
{
    const unsigned char *s;
    size_t n;
    size_t size() const { return n; }
    char32_t operator[](size_t i) const { return kLower[s[i]]; }
};

// A value already decoded and folded.
struct WideText
{
    const char32_t *s;
    size_t n;
    size_t size() const { return n; }
    char32_t operator[](size_t i) const { return s[i]; }
};

// A compiled pattern; built once per statement and kept as auxiliary data.
class Pattern
{
public:
    static constexpr char32_t kNoEscape = 0xFFFFFFFF;

    Pattern(const unsigned char *p, size_t n, char32_t escape)
        : m_escape(escape)
    {
        std::vector<char32_t> cps;
        cps.reserve(n);
        for (size_t i = 0; i < n;)
            cps.push_back(decodeUtf8(p, n, i));
        compile(cps);
    }

    char32_t escape() const { return m_escape; }

    bool matches(const unsigned char *s, size_t n) const
    {
        if (m_substring) {
            // ASCII bytes found in a row are whole characters: a hit is a hit
            // even in a value holding other characters.
            if (m_needleAscii && containsAscii(s, n))
                return true;
            if (isAscii(s, n))
                return false;
        } else if (isAscii(s, n)) {
            return matchTokens(AsciiText {s, n});
        }
        thread_local std::vector<char32_t> folded;
        folded.clear();
        for (size_t i = 0; i < n;)
            folded.push_back(fold(decodeUtf8(s, n, i)));
        const WideText text {folded.data(), folded.size()};
        if (m_substring)
            return containsWide(text);
        return matchTokens(text);
    }

private:
    void compile(const std::vector<char32_t> &cps)
    {
        const size_t n = cps.size();
        for (size_t i = 0; i < n;) {
            const char32_t c = cps[i];
            if (c == m_escape && i + 1 < n) {
                addLiteral(cps[i + 1]);
                i += 2;
                continue;
            }
            switch (c) {
            case '*':
                if (m_tokens.empty() || m_tokens.back().op != Op::Star)
                    m_tokens.push_back({Op::Star});
                ++i;
                break;
            case '?':
                m_tokens.push_back({Op::AnyChar});
                ++i;
                break;
            case '#':
                m_tokens.push_back({Op::Digit});
                ++i;
                break;
            case '[':
                i = compileSet(cps, i);
                break;
            default:
                addLiteral(c);
                ++i;
                break;
            }
        }

        // `*text*` of plain characters, the find window's query: a substring search.
        if (m_tokens.size() >= 3 && m_tokens.front().op == Op::Star
            && m_tokens.back().op == Op::Star) {
            bool plain = true;
            for (size_t t = 1; t + 1 < m_tokens.size() && plain; ++t)
                plain = m_tokens[t].op == Op::Literal;
            if (plain) {
                m_substring = true;
                m_needleAscii = true;
                for (size_t t = 1; t + 1 < m_tokens.size(); ++t) {
                    const char32_t ch = m_tokens[t].ch;
                    m_needle.push_back(ch);
                    m_needleAscii = m_needleAscii && ch < 0x80;
                }
            }
        }
    }

    void addLiteral(char32_t c) { m_tokens.push_back({Op::Literal, false, fold(c)}); }

    // Compiles the bracket at cps[open]; returns the index after it.
    size_t compileSet(const std::vector<char32_t> &cps, size_t open)
    {
        size_t close = open + 1;
        while (close < cps.size() && cps[close] != ']')
            ++close;
        if (close == cps.size()) {
            // Jet rejects the pattern; a literal '[' serves a typed search better.
            addLiteral('[');
            return open + 1;
        }
        size_t i = open + 1;
        if (i == close)
            return close + 1; // "[]" is the zero-length string
        Token token {Op::Set};
        if (cps[i] == '!') {
            token.negated = true;
            ++i;
            if (i == close) {
                m_tokens.push_back({Op::AnyChar});
                return close + 1;
            }
        }
        token.rangeBegin = std::uint32_t(m_ranges.size());
        while (i < close) {
            char32_t lo = cps[i];
            char32_t hi = lo;
            // A '-' first or last in the list stands for itself.
            if (i + 2 < close && cps[i + 1] == '-') {
                hi = cps[i + 2];
                i += 3;
            } else {
                ++i;
            }
            // Ranges run in the collation's order, so [A-Z] and [a-z] agree;
            // a reversed range matches nothing.
            lo = fold(lo);
            hi = fold(hi);
            if (lo <= hi)
                m_ranges.push_back({lo, hi});
        }
        token.rangeEnd = std::uint32_t(m_ranges.size());
        if (!token.negated && token.rangeEnd - token.rangeBegin == 1
            && m_ranges.back().lo == m_ranges.back().hi) {
            // "[*]", "[?]", "[#]", "[[]": one literal character.
            const char32_t ch = m_ranges.back().lo;
            m_ranges.pop_back();
            m_tokens.push_back({Op::Literal, false, ch});
        } else {
            m_tokens.push_back(token);
        }
        return close + 1;
    }

    bool matchOne(const Token &token, char32_t c) const
    {
        switch (token.op) {
        case Op::Literal:
            return c == token.ch;
        case Op::AnyChar:
            return true;
        case Op::Digit:
            return c >= '0' && c <= '9';
        case Op::Set: {
            bool in = false;
            for (std::uint32_t r = token.rangeBegin; r < token.rangeEnd && !in; ++r)
                in = c >= m_ranges[r].lo && c <= m_ranges[r].hi;
            return in != token.negated;
        }
        case Op::Star:
            break;
        }
        return false;
    }

    // Every token but '*' takes exactly one character, so on a mismatch it is
    // enough to retry from the last '*' one character further on.
    template<class Text> bool matchTokens(const Text &text) const
    {
        constexpr size_t kNone = size_t(-1);
        const size_t tokenCount = m_tokens.size();
        const size_t n = text.size();
        size_t t = 0;
        size_t s = 0;
        size_t starToken = kNone;
        size_t starText = 0;
        while (s < n) {
            if (t < tokenCount) {
                const Token &token = m_tokens[t];
                if (token.op == Op::Star) {
                    if (t + 1 == tokenCount)
                        return true;
                    starToken = ++t;
                    s = starText = skipToLiteral(text, starToken, s);
                    continue;
                }
                if (matchOne(token, text[s])) {
                    ++t;
                    ++s;
                    continue;
                }
            }
            if (starToken == kNone)
                return false;
            t = starToken;
            s = starText = skipToLiteral(text, starToken, starText + 1);
        }
        while (t < tokenCount && m_tokens[t].op == Op::Star)
            ++t;
        return t == tokenCount;
    }

    // Where a '*' followed by a literal can next succeed: the first position
    // from s holding that literal.
    template<class Text> size_t skipToLiteral(const Text &text, size_t token, size_t s) const
    {
        if (m_tokens[token].op == Op::Literal) {
            const char32_t ch = m_tokens[token].ch;
            while (s < text.size() && text[s] != ch)
                ++s;
        }
        return s;
    }

    bool needleAt(const unsigned char *p) const
    {
        const size_t m = m_needle.size();
        size_t j = 1;
        while (j < m && kLower[p[j]] == m_needle[j])
            ++j;
        return j == m;
    }

    // The needle (all ASCII) in the bytes s[0, n), ignoring case.
    bool containsAscii(const unsigned char *s, size_t n) const
    {
        const size_t m = m_needle.size();
        if (m > n)
            return false;
        const unsigned char first = static_cast<unsigned char>(m_needle[0]);
        const bool letter = first >= 'a' && first <= 'z';
        const unsigned char firstUpper = letter ? static_cast<unsigned char>(first - 32) : first;
        const unsigned char *p = s;
        const unsigned char *end = s + (n - m) + 1; // one past the last possible start
#if defined(__SSE2__)
        // Sixteen candidates at a time; OR-ing 0x20 folds only the two cases
        // of a letter onto its lower case.
        const __m128i caseBit = _mm_set1_epi8(letter ? 0x20 : 0);
        const __m128i wanted = _mm_set1_epi8(static_cast<char>(first));
        for (; end - p >= 16; p += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            unsigned hits
                = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(chunk, caseBit), wanted)));
            while (hits) {
                if (needleAt(p + __builtin_ctz(hits)))
                    return true;
                hits &= hits - 1;
            }
        }
#endif
        for (; p < end; ++p) {
            if ((*p == first || *p == firstUpper) && needleAt(p))
                return true;
        }
        return false;
    }

    bool containsWide(const WideText &text) const
    {
        const size_t m = m_needle.size();
        if (m > text.n)
            return false;
        for (size_t i = 0; i + m <= text.n; ++i) {
            size_t j = 0;
            while (j < m && text.s[i + j] == m_needle[j])
                ++j;
            if (j == m)
                return true;
        }
        return false;
    }

    char32_t m_escape;
    std::vector<Token> m_tokens;
    std::vector<Range> m_ranges;
    bool m_substring = false;
    bool m_needleAscii = false;
    std::vector<char32_t> m_needle;
};

void deletePattern(void *p)
{
    delete static_cast<Pattern *>(p);
}

} // namespace

// like(pattern, value [, escape]): `X Like Y` calls like(Y, X).
void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    try {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL
            || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        char32_t escape = Pattern::kNoEscape;
        if (argc == 3) {
            if (sqlite3_value_type(argv[2]) == SQLITE_NULL) {
                sqlite3_result_null(ctx);
                return;
            }
            const unsigned char *e = sqlite3_value_text(argv[2]);
            const size_t en = size_t(sqlite3_value_bytes(argv[2]));
            size_t used = 0;
            if (e && en > 0)
                escape = decodeUtf8(e, en, used);
            if (!e || used != en || en == 0) {
                sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
                return;
            }
        }

        auto *pattern = static_cast<Pattern *>(sqlite3_get_auxdata(ctx, 0));
        std::unique_ptr<Pattern> fresh;
        if (!pattern || pattern->escape() != escape) {
            const unsigned char *p = sqlite3_value_text(argv[0]);
            if (!p) {
                sqlite3_result_error_nomem(ctx);
                return;
            }
            fresh = std::make_unique<Pattern>(p, size_t(sqlite3_value_bytes(argv[0])), escape);
            pattern = fresh.get();
        }
        const unsigned char *v = sqlite3_value_text(argv[1]);
        if (!v) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        sqlite3_result_int(ctx, pattern->matches(v, size_t(sqlite3_value_bytes(argv[1]))) ? 1 : 0);
        // Set last: SQLite may free the pattern inside this call.
        if (fresh)
            sqlite3_set_auxdata(ctx, 0, fresh.release(), &deletePattern);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(ctx);
    }
}

bool likeMatches(const QString &value, const QString &pattern)
{
    const QByteArray p = pattern.toUtf8();
    const QByteArray v = value.toUtf8();
    const Pattern compiled(reinterpret_cast<const unsigned char *>(p.constData()), size_t(p.size()),
        Pattern::kNoEscape);
    return compiled.matches(
        reinterpret_cast<const unsigned char *>(v.constData()), size_t(v.size()));
}

} // namespace quillet::jet
