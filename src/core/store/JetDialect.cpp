#include "store/JetDialect.h"

#include <QChar>
#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet::jet {
namespace {

// ---------------------------------------------------------------------------
// Case folding on UTF-8

constexpr std::array<unsigned char, 256> makeLowerTable()
{
    std::array<unsigned char, 256> table {};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + ('a' - 'A') : i);
    return table;
}

constexpr std::array<unsigned char, 256> kLower = makeLowerTable();

inline bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Reads one code point at s[i] and advances i. A byte that does not start a
// valid sequence reads as U+DC80..U+DCFF on its own, so every byte string has
// exactly one reading and the collation stays a total order on any input.
char32_t decodeUtf8(const unsigned char *s, size_t n, size_t &i)
{
    const unsigned char c = s[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        if (i + 1 < n && isContinuation(s[i + 1])) {
            const char32_t cp = (char32_t(c & 0x1F) << 6) | (s[i + 1] & 0x3F);
            i += 2;
            return cp;
        }
    } else if (c >= 0xE0 && c <= 0xEF) {
        if (i + 2 < n && isContinuation(s[i + 1]) && isContinuation(s[i + 2])) {
            const char32_t cp
                = (char32_t(c & 0x0F) << 12) | (char32_t(s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                i += 3;
                return cp;
            }
        }
    } else if (c >= 0xF0 && c <= 0xF4) {
        if (i + 3 < n && isContinuation(s[i + 1]) && isContinuation(s[i + 2])
            && isContinuation(s[i + 3])) {
            const char32_t cp = (char32_t(c & 0x07) << 18) | (char32_t(s[i + 1] & 0x3F) << 12)
                | (char32_t(s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                i += 4;
                return cp;
            }
        }
    }
    ++i;
    return 0xDC00 + c;
}

inline char32_t fold(char32_t c)
{
    return c < 0x80 ? kLower[c] : QChar::toCaseFolded(c);
}

bool isAscii(const unsigned char *s, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; i < n; ++i) {
        if (s[i] & 0x80)
            return false;
    }
    return true;
}

int compareUtf8(const unsigned char *a, size_t na, const unsigned char *b, size_t nb)
{
    // Keys and links are nearly always ASCII: compare bytes until the first
    // byte >= 0x80. Everything before it is ASCII, so that byte starts a code
    // point in both texts and the Unicode comparison can take over there.
    const size_t n = na < nb ? na : nb;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t wa;
        std::uint64_t wb;
        std::memcpy(&wa, a + i, sizeof wa);
        std::memcpy(&wb, b + i, sizeof wb);
        if (wa != wb || (wa & 0x8080808080808080ULL))
            break;
    }
    for (; i < n; ++i) {
        const unsigned char ca = a[i];
        const unsigned char cb = b[i];
        if ((ca | cb) & 0x80)
            break;
        if (ca != cb && kLower[ca] != kLower[cb])
            return kLower[ca] < kLower[cb] ? -1 : 1;
    }
    if (i == n)
        return na < nb ? -1 : (na > nb ? 1 : 0);

    size_t ia = i;
    size_t ib = i;
    while (ia < na && ib < nb) {
        const char32_t fa = fold(decodeUtf8(a, na, ia));
        const char32_t fb = fold(decodeUtf8(b, nb, ib));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return int(ia < na) - int(ib < nb);
}

int collateText(void *, int na, const void *a, int nb, const void *b)
{
    return compareUtf8(static_cast<const unsigned char *>(a), size_t(na),
        static_cast<const unsigned char *>(b), size_t(nb));
}

// ---------------------------------------------------------------------------
// Like patterns

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

// ---------------------------------------------------------------------------
// SQL translation

enum class Kind
{
    Space,
    Word,
    Number,
    String,
    QuotedName,
    Amp,
    Open,
    Close,
    Dot,
    Other
};

struct SqlToken
{
    Kind kind;
    qsizetype begin;
    qsizetype end;
};

inline bool isSqlSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= 0x09 && u <= 0x0D);
}

// SQLite takes every non-ASCII character as part of a name.
inline bool isNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 0x80 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
        || u == '_' || u == '$';
}

inline bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Index after a quoted run opened at s[i] with `quote`; a doubled quote
// stands for itself. An unclosed run takes the rest of the text.
qsizetype skipQuoted(const QString &s, qsizetype i, QChar quote)
{
    const qsizetype n = s.size();
    ++i;
    while (i < n) {
        if (s[i] == quote) {
            if (i + 1 < n && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return n;
}

std::vector<SqlToken> tokenize(const QString &s)
{
    std::vector<SqlToken> tokens;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const QChar c = s[i];
        const QChar next = i + 1 < n ? s[i + 1] : QChar();
        Kind kind = Kind::Other;
        if (isSqlSpace(c)) {
            while (i < n && isSqlSpace(s[i]))
                ++i;
            kind = Kind::Space;
        } else if (c == '-' && next == '-') {
            while (i < n && s[i] != '\n')
                ++i;
            kind = Kind::Space;
        } else if (c == '/' && next == '*') {
            const qsizetype close = s.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
            kind = Kind::Space;
        } else if (c == '\'') {
            i = skipQuoted(s, i, c);
            kind = Kind::String;
        } else if (c == '"' || c == '`') {
            i = skipQuoted(s, i, c);
            kind = Kind::QuotedName;
        } else if (c == '[') {
            const qsizetype close = s.indexOf(QLatin1Char(']'), i + 1);
            i = close < 0 ? n : close + 1;
            kind = Kind::QuotedName;
        } else if (isDigit(c) || (c == '.' && isDigit(next))) {
            const bool hex = c == '0' && (next == 'x' || next == 'X');
            while (i < n
                && (isNameChar(s[i]) || s[i] == '.'
                    || (!hex && (s[i] == '+' || s[i] == '-')
                        && (s[i - 1] == 'e' || s[i - 1] == 'E'))))
                ++i;
            kind = Kind::Number;
        } else if (isNameChar(c)
            || ((c == ':' || c == '@' || c == '$' || c == '?') && i + 1 < n && isNameChar(next))) {
            ++i;
            while (i < n && isNameChar(s[i]))
                ++i;
            kind = Kind::Word;
        } else {
            ++i;
            switch (c.unicode()) {
            case '&':
                kind = Kind::Amp;
                break;
            case '(':
                kind = Kind::Open;
                break;
            case ')':
                kind = Kind::Close;
                break;
            case '.':
                kind = Kind::Dot;
                break;
            case '?':
                kind = Kind::Word; // a parameter is a value
                break;
            default:
                kind = Kind::Other;
                break;
            }
        }
        tokens.push_back({kind, start, i});
    }
    return tokens;
}

// Words that end or start a clause; none of them is a value or a function name.
bool isClauseWord(QStringView word)
{
    static const char *const kWords[] = {"SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "LIKE",
        "GLOB", "REGEXP", "MATCH", "IS", "IN", "BETWEEN", "ESCAPE", "ON", "BY", "GROUP", "ORDER",
        "HAVING", "AS", "CASE", "WHEN", "THEN", "ELSE", "END", "SET", "VALUES", "DISTINCT", "ALL",
        "UNION", "EXCEPT", "INTERSECT", "JOIN", "USING", "INTO", "LIMIT", "OFFSET", "ASC", "DESC",
        "UPDATE", "DELETE", "INSERT", "TOP", "WITH", "COLLATE"};
    for (const char *w : kWords) {
        if (word.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Rewrites `&` chains one parenthesis level at a time. Jet gives `&` a lower
// precedence than arithmetic and a higher one than comparison, so an operand
// is a run of values joined by + - * / %.
class Translator
{
public:
    explicit Translator(const QString &sql)
        : m_sql(sql)
        , m_tokens(tokenize(sql))
        , m_match(m_tokens.size(), -1)
    {
        std::vector<qsizetype> open;
        for (qsizetype t = 0; t < qsizetype(m_tokens.size()); ++t) {
            if (m_tokens[t].kind == Kind::Open) {
                open.push_back(t);
            } else if (m_tokens[t].kind == Kind::Close && !open.empty()) {
                m_match[open.back()] = t;
                open.pop_back();
            }
        }
    }

    bool hasAmp() const
    {
        for (const SqlToken &t : m_tokens) {
            if (t.kind == Kind::Amp)
                return true;
        }
        return false;
    }

    QString translate() { return level(0, qsizetype(m_tokens.size())); }
    bool changed() const { return m_changed; }

private:
    struct Unit
    {
        qsizetype first; // token range, inclusive; a matched '(' spans to its ')'
        qsizetype last;
    };

    struct Level
    {
        std::vector<Unit> units;
        std::vector<qsizetype> sig; // indexes of the units that are not blank
    };

    QString level(qsizetype begin, qsizetype end)
    {
        Level lv;
        for (qsizetype t = begin; t < end; ++t) {
            const qsizetype last
                = m_tokens[t].kind == Kind::Open && m_match[t] >= 0 && m_match[t] < end ? m_match[t]
                                                                                        : t;
            if (m_tokens[t].kind != Kind::Space)
                lv.sig.push_back(qsizetype(lv.units.size()));
            lv.units.push_back({t, last});
            t = last;
        }
        m_level = &lv;

        // Find the chains first: building their texts recurses into groups,
        // which points m_level at the inner level.
        using Operand = std::pair<qsizetype, qsizetype>; // first and last non-blank index
        std::vector<std::vector<Operand>> chains;
        const qsizetype sigCount = count();
        qsizetype floor = 0;
        for (qsizetype k = 0; k < sigCount; ++k) {
            if (kind(k) != Kind::Amp)
                continue;
            const qsizetype first = operandStart(k - 1, floor);
            if (first < 0)
                continue;
            std::vector<Operand> operands {{first, k - 1}};
            qsizetype j = k;
            while (j < sigCount && kind(j) == Kind::Amp) {
                const qsizetype last = operandEnd(j + 1);
                if (last < 0)
                    break;
                operands.push_back({j + 1, last});
                j = last + 1;
            }
            if (operands.size() < 2)
                continue;
            floor = operands.back().second + 1;
            k = operands.back().second;
            chains.push_back(std::move(operands));
        }
        if (!chains.empty())
            m_changed = true;

        QString out;
        size_t c = 0;
        for (qsizetype u = 0; u < qsizetype(lv.units.size()); ++u) {
            if (c == chains.size() || lv.sig[chains[c].front().first] != u) {
                out += unitText(lv.units[u]);
                continue;
            }
            out += QLatin1Char('(');
            for (size_t o = 0; o < chains[c].size(); ++o) {
                const auto [a, b] = chains[c][o];
                const Kind k = m_tokens[lv.units[lv.sig[a]].first].kind;
                QString operand;
                for (qsizetype v = lv.sig[a]; v <= lv.sig[b]; ++v)
                    operand += unitText(lv.units[v]);
                if (o > 0)
                    out += QLatin1String(" || ");
                // A literal is never Null.
                if (a == b && (k == Kind::String || k == Kind::Number))
                    out += operand;
                else
                    out += QLatin1String("ifnull(") + operand + QLatin1String(",'')");
            }
            // Jet's `&` yields text, and Jet compares text without regard to case.
            out += QLatin1String(") COLLATE ") + QLatin1String(kTextCollation);
            u = lv.sig[chains[c].back().second];
            ++c;
        }
        return out;
    }

    QString unitText(const Unit &unit)
    {
        if (unit.first == unit.last) {
            const SqlToken &t = m_tokens[unit.first];
            return m_sql.mid(t.begin, t.end - t.begin);
        }
        return QStringLiteral("(") + level(unit.first + 1, unit.last) + QStringLiteral(")");
    }

    // Helpers over the non-blank units of the current level, by index k.
    qsizetype count() const { return qsizetype(m_level->sig.size()); }
    Kind kind(qsizetype k) const
    {
        return k < 0 || k >= count() ? Kind::Space
                                     : m_tokens[m_level->units[m_level->sig[k]].first].kind;
    }
    bool isGroup(qsizetype k) const
    {
        if (k < 0 || k >= count())
            return false;
        const Unit &u = m_level->units[m_level->sig[k]];
        return u.first != u.last;
    }
    QStringView text(qsizetype k) const
    {
        const SqlToken &t = m_tokens[m_level->units[m_level->sig[k]].first];
        return QStringView(m_sql).mid(t.begin, t.end - t.begin);
    }
    bool isWord(qsizetype k, const char *word) const
    {
        return kind(k) == Kind::Word
            && text(k).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isName(qsizetype k) const
    {
        return kind(k) == Kind::QuotedName || (kind(k) == Kind::Word && !isClauseWord(text(k)));
    }
    bool isOther(qsizetype k, const char *chars) const
    {
        if (kind(k) != Kind::Other)
            return false;
        const char c = text(k).at(0).toLatin1();
        return c != 0 && std::strchr(chars, c) != nullptr;
    }
    bool isSign(qsizetype k) const { return isOther(k, "+-"); }
    bool isArithmetic(qsizetype k) const { return isOther(k, "+-*/%"); }

    // Last index of the value starting at k, or -1.
    qsizetype primaryEnd(qsizetype k) const
    {
        if (isGroup(k))
            return k;
        if (kind(k) == Kind::String || kind(k) == Kind::Number)
            return k;
        if (isWord(k, "CASE")) {
            int depth = 0;
            for (qsizetype j = k; j < count(); ++j) {
                if (isWord(j, "CASE"))
                    ++depth;
                else if (isWord(j, "END") && --depth == 0)
                    return j;
            }
            return -1;
        }
        if (!isName(k))
            return -1;
        qsizetype j = k;
        while (kind(j + 1) == Kind::Dot && isName(j + 2))
            j += 2;
        if (kind(j) == Kind::Word && isGroup(j + 1))
            ++j; // a function call
        return j;
    }

    // First index of the value ending at k, or -1.
    qsizetype primaryStart(qsizetype k) const
    {
        if (k < 0)
            return -1;
        if (isGroup(k))
            return kind(k - 1) == Kind::Word && isName(k - 1) ? k - 1 : k;
        if (kind(k) == Kind::String || kind(k) == Kind::Number)
            return k;
        if (isWord(k, "END")) {
            int depth = 0;
            for (qsizetype j = k; j >= 0; --j) {
                if (isWord(j, "END"))
                    ++depth;
                else if (isWord(j, "CASE") && --depth == 0)
                    return j;
            }
            return -1;
        }
        if (!isName(k))
            return -1;
        qsizetype j = k;
        while (kind(j - 1) == Kind::Dot && isName(j - 2))
            j -= 2;
        return j;
    }

    // Last index of the `&` operand starting at k, or -1.
    qsizetype operandEnd(qsizetype k) const
    {
        qsizetype last = -1;
        qsizetype j = k;
        for (;;) {
            qsizetype p = j;
            while (isSign(p))
                ++p;
            const qsizetype e = primaryEnd(p);
            if (e < 0)
                return last;
            last = e;
            if (!isArithmetic(e + 1))
                return last;
            j = e + 2;
        }
    }

    // First index (not below floor) of the `&` operand ending at k, or -1.
    qsizetype operandStart(qsizetype k, qsizetype floor) const
    {
        auto endsValue = [&](qsizetype i) { return i >= floor && primaryStart(i) >= floor; };
        qsizetype first = -1;
        qsizetype j = k;
        for (;;) {
            const qsizetype s = j >= floor ? primaryStart(j) : -1;
            if (s < floor)
                return first;
            first = s;
            while (first - 1 >= floor && isSign(first - 1) && !endsValue(first - 2))
                --first;
            if (first - 1 >= floor && isArithmetic(first - 1) && endsValue(first - 2)) {
                j = first - 2;
                continue;
            }
            return first;
        }
    }

    const QString &m_sql;
    std::vector<SqlToken> m_tokens;
    std::vector<qsizetype> m_match;
    const Level *m_level = nullptr;
    bool m_changed = false;
};

} // namespace

int registerDialect(sqlite3 *db)
{
    int rc = sqlite3_create_collation_v2(
        db, kTextCollation, SQLITE_UTF8, nullptr, &collateText, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(
            db, "like", 2, flags, nullptr, &likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(
            db, "like", 3, flags, nullptr, &likeFunction, nullptr, nullptr, nullptr);
    return rc;
}

QString translateSql(const QString &jetSql)
{
    if (!jetSql.contains(QLatin1Char('&')))
        return jetSql;
    Translator translator(jetSql);
    if (!translator.hasAmp())
        return jetSql;
    const QString sql = translator.translate();
    return translator.changed() ? sql : jetSql;
}

int compareText(QByteArrayView a, QByteArrayView b)
{
    return compareUtf8(reinterpret_cast<const unsigned char *>(a.data()), size_t(a.size()),
        reinterpret_cast<const unsigned char *>(b.data()), size_t(b.size()));
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
