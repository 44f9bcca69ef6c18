#include "browsers/HtmlText.h"

#include <QHash>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace quillet::browsers {

namespace {

bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    for (; p + 8 <= end; p += 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; p < end; ++p) {
        if (static_cast<unsigned char>(*p) & 0x80)
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

const QHash<QString, char32_t> &namedEntities()
{
    static const QHash<QString, char32_t> entities = {
        {QStringLiteral("amp"), U'&'},
        {QStringLiteral("lt"), U'<'},
        {QStringLiteral("gt"), U'>'},
        {QStringLiteral("quot"), U'"'},
        {QStringLiteral("apos"), U'\''},
        {QStringLiteral("nbsp"), 0xA0},
        {QStringLiteral("copy"), 0xA9},
        {QStringLiteral("reg"), 0xAE},
        {QStringLiteral("trade"), 0x2122},
        {QStringLiteral("hellip"), 0x2026},
        {QStringLiteral("ndash"), 0x2013},
        {QStringLiteral("mdash"), 0x2014},
        {QStringLiteral("lsquo"), 0x2018},
        {QStringLiteral("rsquo"), 0x2019},
        {QStringLiteral("ldquo"), 0x201C},
        {QStringLiteral("rdquo"), 0x201D},
        {QStringLiteral("laquo"), 0xAB},
        {QStringLiteral("raquo"), 0xBB},
        {QStringLiteral("euro"), 0x20AC},
        {QStringLiteral("pound"), 0xA3},
        {QStringLiteral("middot"), 0xB7},
        {QStringLiteral("bull"), 0x2022},
        {QStringLiteral("eacute"), 0xE9},
        {QStringLiteral("egrave"), 0xE8},
        {QStringLiteral("agrave"), 0xE0},
        {QStringLiteral("auml"), 0xE4},
        {QStringLiteral("ouml"), 0xF6},
        {QStringLiteral("uuml"), 0xFC},
        {QStringLiteral("Auml"), 0xC4},
        {QStringLiteral("Ouml"), 0xD6},
        {QStringLiteral("Uuml"), 0xDC},
        {QStringLiteral("szlig"), 0xDF},
        {QStringLiteral("ccedil"), 0xE7},
        {QStringLiteral("ntilde"), 0xF1},
    };
    return entities;
}

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

// The entity at text[i] ('&'): its character and length, or length 0.
std::pair<char32_t, qsizetype> entityAt(const QString &text, qsizetype i)
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
        while (j < n && j - digits < 8) {
            const int d = digitValue(text[j].unicode(), hex);
            if (d < 0)
                break;
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
            ++j;
        }
        if (j == digits)
            return {0, 0};
        if (j < n && text[j] == u';')
            ++j;
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            value = 0xFFFD;
        return {value, j - i};
    }
    while (j < n && j - i <= 8 && text[j].isLetterOrNumber())
        ++j;
    const QString name = text.mid(i + 1, j - i - 1);
    const auto it = namedEntities().constFind(name);
    if (it == namedEntities().constEnd())
        return {0, 0};
    if (j < n && text[j] == u';')
        return {*it, j + 1 - i};
    // Old writers leave the semicolon out of the basic ones.
    if (name == u"amp" || name == u"lt" || name == u"gt" || name == u"quot" || name == u"nbsp")
        return {*it, j - i};
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

QString decodeEntities(const QString &text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (amp >= 0) {
        const auto [value, length] = entityAt(text, amp);
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

} // namespace quillet::browsers
