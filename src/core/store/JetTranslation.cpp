// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/JetDialect.h"

#include <cstring>
#include <utility>
#include <vector>

namespace quillet::jet {
namespace {

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
        // Parentheses, and CASE with its END: both enclose a level of their own.
        std::vector<qsizetype> open;
        std::vector<qsizetype> cases;
        for (qsizetype t = 0; t < qsizetype(m_tokens.size()); ++t) {
            if (m_tokens[t].kind == Kind::Open) {
                open.push_back(t);
            } else if (m_tokens[t].kind == Kind::Close && !open.empty()) {
                m_match[open.back()] = t;
                open.pop_back();
            } else if (isTokenWord(t, "CASE")) {
                cases.push_back(t);
            } else if (isTokenWord(t, "END") && !cases.empty()) {
                m_match[cases.back()] = t;
                cases.pop_back();
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
            const qsizetype last = m_match[t] >= 0 && m_match[t] < end ? m_match[t] : t;
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
            // "'x'END" is two tokens, "JETTEXTEND" one.
            if (u + 1 < qsizetype(lv.units.size())
                && isNameChar(m_sql[m_tokens[lv.units[u + 1].first].begin]))
                out += QLatin1Char(' ');
            ++c;
        }
        return out;
    }

    QString tokenText(qsizetype t) const
    {
        return m_sql.mid(m_tokens[t].begin, m_tokens[t].end - m_tokens[t].begin);
    }

    bool isTokenWord(qsizetype t, const char *word) const
    {
        return m_tokens[t].kind == Kind::Word
            && QStringView(m_sql)
                   .mid(m_tokens[t].begin, m_tokens[t].end - m_tokens[t].begin)
                   .compare(QLatin1String(word), Qt::CaseInsensitive)
            == 0;
    }

    QString unitText(const Unit &unit)
    {
        if (unit.first == unit.last)
            return tokenText(unit.first);
        QString inner = level(unit.first + 1, unit.last);
        const QString close = tokenText(unit.last);
        if (!inner.isEmpty() && isNameChar(inner.back()) && isNameChar(close.front()))
            inner += QLatin1Char(' '); // "... COLLATE JETTEXT END"
        return tokenText(unit.first) + inner + close;
    }

    // Helpers over the non-blank units of the current level, by index k.
    qsizetype count() const { return qsizetype(m_level->sig.size()); }
    Kind kind(qsizetype k) const
    {
        return k < 0 || k >= count() ? Kind::Space
                                     : m_tokens[m_level->units[m_level->sig[k]].first].kind;
    }
    // A parenthesised group or a CASE ... END.
    bool isGroup(qsizetype k) const
    {
        if (k < 0 || k >= count())
            return false;
        const Unit &u = m_level->units[m_level->sig[k]];
        return u.first != u.last;
    }
    bool isParenGroup(qsizetype k) const { return isGroup(k) && kind(k) == Kind::Open; }
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
        if (kind(j) == Kind::Word && isParenGroup(j + 1))
            ++j; // a function call
        return j;
    }

    // First index of the value ending at k, or -1.
    qsizetype primaryStart(qsizetype k) const
    {
        if (k < 0)
            return -1;
        if (isGroup(k))
            return isParenGroup(k) && kind(k - 1) == Kind::Word && isName(k - 1) ? k - 1 : k;
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

} // namespace quillet::jet
