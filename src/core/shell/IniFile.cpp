#include "shell/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace quillet {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

// Outer blanks only: a value may legitimately end in a no-break space.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return (begin == 0 && end == text.size()) ? text : text.mid(begin, end - begin);
}

bool isBlankLine(const QByteArray &text)
{
    for (char c : text) {
        if (!isBlank(c))
            return false;
    }
    return true;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// The bytes 0x80..0x9F of code page 1252; the five unassigned ones map to the
// C1 control of the same number, as Windows itself does.
constexpr char16_t kCp1252High[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return true;
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString ignored = decoder.decode(bytes);
    Q_UNUSED(ignored);
    return !decoder.hasError();
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString decodeUtf8OrWindows1252(QByteArrayView bytes)
{
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
}

// ---------------------------------------------------------------------------

IniDocument::IniDocument(const QString &file)
{
    load(file);
}

bool IniDocument::load(const QString &file)
{
    m_file = file;
    m_lines.clear();
    m_eol = "\n";
    m_modified = false;
    m_loadFailed = false;
    m_existed = false;

    QFileInfo info(file);
    if (!info.exists())
        return true;
    m_existed = true;
    QFile in(file);
    if (info.isDir() || !in.open(QIODevice::ReadOnly)) {
        m_loadFailed = true;
        return false;
    }
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        m_loadFailed = true;
        return false;
    }
    parse(bytes);
    return true;
}

void IniDocument::setContent(const QByteArray &bytes)
{
    m_lines.clear();
    m_eol = "\n";
    m_loadFailed = false;
    m_modified = true;
    parse(bytes);
}

void IniDocument::parse(const QByteArray &bytes)
{
    bool eolSeen = false;
    qsizetype pos = 0;
    const qsizetype size = bytes.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        Line line;
        line.text = bytes.mid(pos, end - pos);
        if (end < size) {
            const qsizetype eolLen
                = (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
            line.eol = bytes.mid(end, eolLen);
            end += eolLen;
            if (!eolSeen) {
                m_eol = line.eol;
                eolSeen = true;
            }
        }
        // The byte-order mark of a UTF-8 file is not part of the first name.
        const qsizetype start = (pos == 0 && line.text.startsWith(kUtf8Bom)) ? kUtf8Bom.size() : 0;
        classify(line, start);
        m_lines.push_back(std::move(line));
        pos = end;
    }
}

void IniDocument::classify(Line &line, qsizetype start) const
{
    const QByteArray &t = line.text;
    line.kind = Kind::Other;
    line.utf8 = isValidUtf8(t);
    auto decode = [&line](QByteArrayView bytes) {
        return line.utf8 ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
    };

    qsizetype i = start;
    while (i < t.size() && isBlank(t[i]))
        ++i;
    if (i == t.size() || t[i] == ';')
        return;
    if (t[i] == '[') {
        const qsizetype close = t.indexOf(']', i + 1);
        if (close < 0)
            return; // not a header: the section before it goes on
        line.kind = Kind::Section;
        line.name
            = trimBlanks(decode(QByteArrayView(t).sliced(i + 1, close - i - 1))).toCaseFolded();
        return;
    }
    const qsizetype eq = t.indexOf('=', i);
    if (eq < 0)
        return;
    QString name = trimBlanks(decode(QByteArrayView(t).sliced(i, eq - i)));
    if (name.isEmpty())
        return;
    line.kind = Kind::Key;
    line.name = name.toCaseFolded();
    line.valueAt = eq + 1;
}

qsizetype IniDocument::findSection(const QString &folded) const
{
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Section && line.name == folded)
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < qsizetype(m_lines.size()) && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, qsizetype end, const QString &folded) const
{
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Key && line.name == folded)
            return i;
    }
    return -1;
}

bool IniDocument::contains(const QString &section, const QString &key) const
{
    const qsizetype header = findSection(trimBlanks(section).toCaseFolded());
    if (header < 0)
        return false;
    return findKey(header, sectionEnd(header), trimBlanks(key).toCaseFolded()) >= 0;
}

QString IniDocument::value(
    const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString foldedKey = trimBlanks(key).toCaseFolded();
    if (foldedKey.isEmpty())
        return defaultValue;
    const qsizetype header = findSection(trimBlanks(section).toCaseFolded());
    if (header < 0)
        return defaultValue;
    const qsizetype at = findKey(header, sectionEnd(header), foldedKey);
    if (at < 0)
        return defaultValue;
    const Line &line = m_lines[at];
    const QByteArrayView raw = QByteArrayView(line.text).sliced(line.valueAt);
    return trimBlanks(line.utf8 ? QString::fromUtf8(raw) : decodeWindows1252(raw));
}

IniDocument::Line IniDocument::makeLine(const QByteArray &text) const
{
    Line line;
    line.text = text;
    line.eol = m_eol;
    classify(line, 0);
    return line;
}

bool IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    if (sectionName.isEmpty() || sectionName.contains(u']') || hasLineBreak(sectionName))
        return false;
    if (keyName.isEmpty() || keyName.contains(u'=') || hasLineBreak(keyName)
        || keyName.startsWith(u'[') || keyName.startsWith(u';'))
        return false;
    QString text = value;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray valueBytes = text.toUtf8();

    const qsizetype header = findSection(sectionName.toCaseFolded());
    if (header < 0) {
        if (!m_lines.empty() && m_lines.back().eol.isEmpty())
            m_lines.back().eol = m_eol;
        m_lines.push_back(makeLine('[' + sectionName.toUtf8() + ']'));
        m_lines.push_back(makeLine(keyName.toUtf8() + '=' + valueBytes));
        m_modified = true;
        return true;
    }

    const qsizetype end = sectionEnd(header);
    const qsizetype at = findKey(header, end, keyName.toCaseFolded());
    if (at >= 0) {
        Line &line = m_lines[at];
        // Keep the key as spelled and the blanks around "=" as they were.
        qsizetype prefixEnd = line.valueAt;
        while (prefixEnd < line.text.size() && isBlank(line.text[prefixEnd]))
            ++prefixEnd;
        QByteArray prefix = line.text.left(prefixEnd);
        if (!line.utf8)
            prefix = decodeWindows1252(prefix).toUtf8(); // one encoding per line
        const QByteArray replaced = prefix + valueBytes;
        if (replaced == line.text)
            return true;
        const QByteArray eol = line.eol;
        line = makeLine(replaced);
        line.eol = eol;
        m_modified = true;
        return true;
    }

    // After the section's last non-blank line, so blank lines that separate it
    // from the next section stay where they are.
    qsizetype last = end - 1;
    while (last > header && isBlankLine(m_lines[last].text))
        --last;
    if (m_lines[last].eol.isEmpty())
        m_lines[last].eol = m_eol;
    m_lines.insert(m_lines.begin() + last + 1, makeLine(keyName.toUtf8() + '=' + valueBytes));
    m_modified = true;
    return true;
}

QByteArray IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Line &line : m_lines)
        size += line.text.size() + line.eol.size();
    QByteArray bytes;
    bytes.reserve(size);
    for (const Line &line : m_lines) {
        bytes += line.text;
        bytes += line.eol;
    }
    return bytes;
}

bool IniDocument::save()
{
    if (m_loadFailed || m_file.isEmpty())
        return false;
    if (!m_modified && m_existed && QFileInfo::exists(m_file))
        return true;
    QSaveFile out(m_file);
    // Unbuffered: a buffered flush that hits a full disk keeps what it wrote
    // and reports success; a direct write shows the short count.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = toBytes();
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    m_modified = false;
    m_existed = true;
    return true;
}

// ---------------------------------------------------------------------------

QString readIniValue(const QString &section, const QString &key, const QString &file)
{
    return readIniValue(section, key, file, QString());
}

QString readIniValue(
    const QString &section, const QString &key, const QString &file, const QString &defaultValue)
{
    return IniDocument(file).value(section, key, defaultValue);
}

bool writeIniValue(
    const QString &section, const QString &key, const QString &value, const QString &file)
{
    IniDocument doc;
    if (!doc.load(file))
        return false;
    return doc.setValue(section, key, value) && doc.save();
}

} // namespace quillet
