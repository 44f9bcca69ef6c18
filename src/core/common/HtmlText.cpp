// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/HtmlText.h"

#include <QHash>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace quillet::common {

namespace {

bool isAscii(QByteArrayView bytes)
{
    // By index: an empty view may have no data at all.
    const char *p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) & 0x80)
            return false;
    }
    return true;
}

QByteArray normalizedCharset(QByteArray name)
{
    name = name.trimmed().toLower();
    // As browsers read them: these names mean Windows-1252.
    if (name == "iso-8859-1" || name == "latin1" || name == "iso8859-1" || name == "us-ascii"
        || name == "ascii" || name == "cp1252")
        return QByteArrayLiteral("windows-1252");
    if (name == "utf8")
        return QByteArrayLiteral("utf-8");
    return name;
}

struct NamedEntity
{
    char32_t value;
    // Browsers take it without a semicolon too (an entity of HTML's first
    // versions), except inside an attribute before "=", a letter or a digit.
    bool legacy;
};

const QHash<QString, NamedEntity> &namedEntities()
{
    static const QHash<QString, NamedEntity> entities = [] {
        QHash<QString, NamedEntity> table;
        // U+00A0 to U+00FF in order: every one of them is a legacy entity.
        static const char *const latin1[] = {"nbsp", "iexcl", "cent", "pound", "curren", "yen",
            "brvbar", "sect", "uml", "copy", "ordf", "laquo", "not", "shy", "reg", "macr", "deg",
            "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot", "cedil", "sup1", "ordm",
            "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde",
            "Auml", "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave",
            "Iacute", "Icirc", "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde",
            "Ouml", "times", "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN",
            "szlig", "agrave", "aacute", "acirc", "atilde", "auml", "aring", "aelig", "ccedil",
            "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc", "iuml", "eth",
            "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave",
            "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml"};
        char32_t code = 0xA0;
        for (const char *name : latin1)
            table.insert(QLatin1String(name), {code++, true});
        const std::pair<const char *, char32_t> legacy[]
            = {{"amp", U'&'}, {"AMP", U'&'}, {"lt", U'<'}, {"LT", U'<'}, {"gt", U'>'}, {"GT", U'>'},
                {"quot", U'"'}, {"QUOT", U'"'}, {"COPY", 0xA9}, {"REG", 0xAE}};
        for (const auto &[name, value] : legacy)
            table.insert(QLatin1String(name), {value, true});
        const std::pair<const char *, char32_t> newer[] = {{"apos", U'\''}, {"trade", 0x2122},
            {"hellip", 0x2026}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"lsquo", 0x2018},
            {"rsquo", 0x2019}, {"sbquo", 0x201A}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
            {"bdquo", 0x201E}, {"euro", 0x20AC}, {"bull", 0x2022}, {"dagger", 0x2020},
            {"Dagger", 0x2021}, {"permil", 0x2030}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
            {"thinsp", 0x2009}, {"ensp", 0x2002}, {"emsp", 0x2003}, {"zwnj", 0x200C},
            {"zwj", 0x200D}, {"lrm", 0x200E}, {"rlm", 0x200F}, {"OElig", 0x152}, {"oelig", 0x153},
            {"Scaron", 0x160}, {"scaron", 0x161}, {"Yuml", 0x178}, {"fnof", 0x192}, {"circ", 0x2C6},
            {"tilde", 0x2DC}};
        for (const auto &[name, value] : newer)
            table.insert(QLatin1String(name), {value, false});
        return table;
    }();
    return entities;
}

// The longest legacy entity name.
constexpr qsizetype kLongestLegacyName = 6;

// What browsers make of &#128; to &#159;: the Windows-1252 characters at
// those bytes (0 where that set has none and the number stands).
constexpr char16_t kWindows1252High[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
    0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D,
    0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

int digitValue(char16_t c, bool hex)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (hex && c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool isAsciiAlphanumeric(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

// The reference at text[i] ('&'): its character and length, or length 0 when
// it stays as written.
std::pair<char32_t, qsizetype> referenceAt(const QString &text, qsizetype i, EntityPlace place)
{
    const qsizetype n = text.size();
    qsizetype j = i + 1;
    if (j < n && text[j] == u'#') {
        ++j;
        const bool hex = j < n && (text[j] == u'x' || text[j] == u'X');
        if (hex)
            ++j;
        const qsizetype digits = j;
        char32_t value = 0;
        bool tooLarge = false;
        for (; j < n; ++j) {
            const int d = digitValue(text[j].unicode(), hex);
            if (d < 0)
                break;
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
            if (value > 0x10FFFF) {
                tooLarge = true;
                value = 0x110000; // keeps the product from wrapping around
            }
        }
        if (j == digits)
            return {0, 0};
        if (j < n && text[j] == u';')
            ++j;
        if (tooLarge || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
            value = 0xFFFD;
        else if (value >= 0x80 && value <= 0x9F && kWindows1252High[value - 0x80] != 0)
            value = kWindows1252High[value - 0x80];
        return {value, j - i};
    }
    while (j < n && isAsciiAlphanumeric(text[j]))
        ++j;
    const qsizetype run = j - i - 1;
    if (run == 0)
        return {0, 0};
    if (j < n && text[j] == u';') {
        const auto it = namedEntities().constFind(QStringView(text).mid(i + 1, run).toString());
        if (it != namedEntities().constEnd())
            return {it->value, run + 2};
    }
    // Without its semicolon: the longest legacy name the run starts with.
    for (qsizetype length = std::min(run, kLongestLegacyName); length >= 2; --length) {
        const auto it = namedEntities().constFind(QStringView(text).mid(i + 1, length).toString());
        if (it == namedEntities().constEnd() || !it->legacy)
            continue;
        const qsizetype after = i + 1 + length;
        // "?a=1&lt=2" in a link is a parameter, not "<".
        if (place == EntityPlace::Attribute && after < n
            && (text[after] == u'=' || isAsciiAlphanumeric(text[after])))
            return {0, 0};
        return {it->value, length + 1};
    }
    return {0, 0};
}

} // namespace

TextDecoder::TextDecoder(const QByteArray &charset, QByteArrayView bytes)
    : m_utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return; // a UTF-8 mark outranks the meta
    if (!charset.isEmpty()) {
        useCharset(normalizedCharset(charset));
        return;
    }
    if (!isValidUtf8(bytes))
        useCharset(QByteArrayLiteral("windows-1252"));
}

void TextDecoder::useCharset(const QByteArray &name)
{
    if (name == "utf-8")
        return;
    iconv_t cd = iconv_open("UTF-8", name.constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        m_problem = QStringLiteral("The character set \"%1\" is not known; the file was read as "
                                   "UTF-8.")
                        .arg(QString::fromLatin1(name));
        return;
    }
    m_iconv = std::shared_ptr<void>(cd, [](void *p) { iconv_close(static_cast<iconv_t>(p)); });
}

QString TextDecoder::decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    if (m_iconv)
        return decodeIconv(bytes);
    QString text = m_utf8(bytes);
    if (m_utf8.hasError())
        m_errors = true;
    return text;
}

QString TextDecoder::decodeIconv(QByteArrayView bytes)
{
    iconv_t cd = static_cast<iconv_t>(m_iconv.get());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(bytes.size() * 4 + 8, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *to = out.data();
    size_t toLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &to, &toLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: four bytes out for every byte in
        // An unknown byte, or a sequence cut short: U+FFFD, and go on.
        m_errors = true;
        if (toLeft < 3)
            break;
        std::memcpy(to, "\xEF\xBF\xBD", 3);
        to += 3;
        toLeft -= 3;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return QString::fromUtf8(out.constData(), to - out.constData());
}

QByteArray declaredCharset(QByteArrayView bytes)
{
    // The meta stands in the head, before the first list.
    const QByteArray head
        = bytes.first(std::min<qsizetype>(bytes.size(), 65536)).toByteArray().toLower();
    qsizetype end = head.indexOf("<dl");
    if (end < 0)
        end = head.size();
    qsizetype at = head.indexOf("charset");
    if (at < 0 || at > end)
        return QByteArray();
    at += 7;
    while (at < end && (head[at] == ' ' || head[at] == '=' || head[at] == '"' || head[at] == '\''))
        ++at;
    qsizetype stop = at;
    while (stop < end
        && (std::isalnum(static_cast<unsigned char>(head[stop])) || head[stop] == '-'
            || head[stop] == '_' || head[stop] == '.' || head[stop] == ':'))
        ++stop;
    return head.mid(at, stop - at);
}

QByteArray utf16AsUtf8(QByteArrayView bytes)
{
    if (bytes.size() < 2)
        return QByteArray();
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (!((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)))
        return QByteArray();
    QStringDecoder decoder(b0 == 0xFF ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    const QString text = decoder(bytes.sliced(2));
    return text.toUtf8();
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if (!(word & 0x8080808080808080ULL)) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        int more = 0;
        char32_t min = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        char32_t value = c & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[k] & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

QString decodeEntities(const QString &text, EntityPlace place)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (amp >= 0) {
        const auto [value, length] = referenceAt(text, amp, place);
        if (length > 0) {
            out += QStringView(text).mid(from, amp - from);
            const char32_t one[] = {value};
            out += QString::fromUcs4(one, 1);
            from = amp + length;
        }
        amp = text.indexOf(u'&', amp + std::max<qsizetype>(length, 1));
    }
    out += QStringView(text).mid(from);
    return out;
}

QString escapeHtml(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const char16_t c = text[i].unicode();
        if (c == u'&' || c == u'<' || c == u'>' || c == u'"')
            break;
        ++i;
    }
    if (i == n)
        return text;
    QString out = text.left(i);
    out.reserve(n + 16);
    for (; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace quillet::common
