// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/IniFile.h"

#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Part of a line: a U+FEFF at its start is a character of the name or value
// (QString::fromUtf8 would drop it, and a key so named would never be found).
QString fromUtf8KeepingBom(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// Splits the text into its lines as the file holds them: each line's text,
// its line end ("\n", "\r\n", "\r", or "" for a last line without one) and
// where its first name may start (after the byte-order mark of a UTF-8 file,
// which is not part of the first name). `visit` returns false to stop.
template<typename Visit> void splitLines(QByteArrayView bytes, Visit visit)
{
    qsizetype pos = 0;
    const qsizetype size = bytes.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        qsizetype eolLength = 0;
        if (end < size)
            eolLength = (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
        const QByteArrayView text = bytes.sliced(pos, end - pos);
        const qsizetype start = (pos == 0 && text.startsWith(kUtf8Bom)) ? kUtf8Bom.size() : 0;
        if (!visit(text, bytes.sliced(end, eolLength), start))
            return;
        pos = end + eolLength;
    }
}

// The bytes of a regular file (a link to one is followed); false for a
// missing or unreadable file and for anything else (a folder, a pipe, a
// device), which could block or never end.
bool readRegularFile(const QByteArray &path, QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    qsizetype used = 0;
    if (ok) {
        // One read more than the size: a short read ends a regular file.
        bytes.resize(qsizetype(st.st_size) + 1);
        for (;;) {
            const ssize_t n = ::read(fd, bytes.data() + used, size_t(bytes.size() - used));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            used += n;
            if (used < bytes.size())
                break;
            bytes.resize(bytes.size() * 2); // it grew meanwhile
        }
    }
    ::close(fd);
    bytes.resize(ok ? used : 0);
    return ok;
}

enum class NewFile
{
    Created,
    Exists,
    Failed
};

// Creates `path` holding `bytes`, only when nothing (not even a dangling
// link) has that name. A failed write removes the part written.
NewFile createNewFile(const QByteArray &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return NewFile::Failed;
    const int fd
        = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return errno == EEXIST ? NewFile::Exists : NewFile::Failed;
    qsizetype done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += ok ? n : 0;
    }
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(path.constData());
        return NewFile::Failed;
    }
    return NewFile::Created;
}

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
    splitLines(bytes, [&](QByteArrayView text, QByteArrayView eol, qsizetype start) {
        Line line;
        line.text = text.toByteArray();
        line.eol = eol.toByteArray();
        if (!eol.isEmpty() && !eolSeen) {
            m_eol = line.eol;
            eolSeen = true;
        }
        classify(line, start);
        m_lines.push_back(std::move(line));
        return true;
    });
}

IniDocument::LineClass IniDocument::classifyText(QByteArrayView t, qsizetype start)
{
    LineClass line;
    line.utf8 = isValidUtf8(t);
    auto decode = [&line](QByteArrayView bytes) {
        return line.utf8 ? fromUtf8KeepingBom(bytes) : decodeWindows1252(bytes);
    };

    qsizetype i = start;
    while (i < t.size() && isBlank(t[i]))
        ++i;
    if (i == t.size() || t[i] == ';')
        return line;
    if (t[i] == '[') {
        const qsizetype close = t.indexOf(']', i + 1);
        if (close < 0)
            return line; // not a header: the section before it goes on
        line.kind = Kind::Section;
        line.name = trimBlanks(decode(t.sliced(i + 1, close - i - 1))).toCaseFolded();
        return line;
    }
    const qsizetype eq = t.indexOf('=', i);
    if (eq < 0)
        return line;
    QString name = trimBlanks(decode(t.sliced(i, eq - i)));
    if (name.isEmpty())
        return line;
    line.kind = Kind::Key;
    line.name = name.toCaseFolded();
    line.valueAt = eq + 1;
    return line;
}

void IniDocument::classify(Line &line, qsizetype start) const
{
    LineClass c = classifyText(line.text, start);
    line.kind = c.kind;
    line.utf8 = c.utf8;
    line.name = std::move(c.name);
    line.valueAt = c.valueAt;
}

QString IniDocument::valueIn(
    QByteArrayView bytes, const QString &section, const QString &key, const QString &defaultValue)
{
    // The lines as parse() splits them, searched as value() searches them:
    // the first matching section, up to the next section header.
    const QString foldedKey = trimBlanks(key).toCaseFolded();
    if (foldedKey.isEmpty())
        return defaultValue;
    const QString foldedSection = trimBlanks(section).toCaseFolded();
    bool inSection = false;
    QString found = defaultValue;
    splitLines(bytes, [&](QByteArrayView text, QByteArrayView, qsizetype start) {
        const LineClass line = classifyText(text, start);
        if (line.kind == Kind::Section) {
            if (inSection)
                return false;
            inSection = line.name == foldedSection;
        } else if (inSection && line.kind == Kind::Key && line.name == foldedKey) {
            const QByteArrayView raw = text.sliced(line.valueAt);
            found = trimBlanks(line.utf8 ? fromUtf8KeepingBom(raw) : decodeWindows1252(raw));
            return false;
        }
        return true;
    });
    return found;
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
    return valueOf(m_lines[at]);
}

QString IniDocument::valueOf(const Line &line)
{
    const QByteArrayView raw = QByteArrayView(line.text).sliced(line.valueAt);
    return trimBlanks(line.utf8 ? fromUtf8KeepingBom(raw) : decodeWindows1252(raw));
}

IniDocument::Line IniDocument::makeLine(const QByteArray &text) const
{
    Line line;
    line.text = text;
    line.eol = m_eol;
    classify(line, 0);
    return line;
}

bool IniDocument::isWritableSection(const QString &name)
{
    return !name.isEmpty() && !name.contains(u']') && !hasLineBreak(name);
}

bool IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    if (!isWritableSection(sectionName))
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
        // Keep the key as spelled and the blanks around "=" as they were; a
        // value that brings its own leading blanks replaces those after "=",
        // or every rewrite of it would add more.
        qsizetype prefixEnd = line.valueAt;
        while (!(text.size() && isBlank(text.front())) && prefixEnd < line.text.size()
            && isBlank(line.text[prefixEnd]))
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
    // The line end of the line before: the file's first one could be a "\r"
    // that joins the "\n" of a blank line after it into one line end.
    Line added = makeLine(keyName.toUtf8() + '=' + valueBytes);
    added.eol = m_lines[last].eol;
    m_lines.insert(m_lines.begin() + last + 1, std::move(added));
    m_modified = true;
    return true;
}

QString IniDocument::spelledName(const Line &line)
{
    QByteArrayView text(line.text);
    if (text.startsWith(kUtf8Bom))
        text = text.sliced(kUtf8Bom.size());
    if (line.kind == Kind::Section) {
        const qsizetype open = text.indexOf('[');
        text = text.sliced(open + 1, text.indexOf(']', open + 1) - open - 1);
    } else {
        // valueAt counts from the start of the line, the mark included.
        text = text.first(line.valueAt - 1 - (line.text.size() - text.size()));
    }
    return trimBlanks(line.utf8 ? QString::fromUtf8(text) : decodeWindows1252(text));
}

QStringList IniDocument::sectionNames() const
{
    QStringList names;
    for (const Line &line : m_lines) {
        if (line.kind == Kind::Section)
            names << spelledName(line);
    }
    return names;
}

std::vector<IniDocument::Entry> IniDocument::entries(const QString &section) const
{
    std::vector<Entry> found;
    const qsizetype header = findSection(trimBlanks(section).toCaseFolded());
    if (header < 0)
        return found;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Key)
            continue;
        found.push_back({spelledName(line), valueOf(line)});
    }
    return found;
}

bool IniDocument::addSection(const QString &section)
{
    const QString name = trimBlanks(section);
    if (!isWritableSection(name))
        return false;
    if (findSection(name.toCaseFolded()) >= 0)
        return true;
    if (!m_lines.empty() && m_lines.back().eol.isEmpty())
        m_lines.back().eol = m_eol;
    m_lines.push_back(makeLine('[' + name.toUtf8() + ']'));
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
    try {
        store::FileReplacement out(m_file);
        out.write(toBytes());
        out.commit();
    } catch (const store::EngineError &) {
        return false;
    }
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
    return readIniValueNative(section, key, QFile::encodeName(file), defaultValue);
}

QString readIniValueNative(const QString &section, const QString &key, const QByteArray &nativePath,
    const QString &defaultValue)
{
    QByteArray bytes;
    if (!readRegularFile(nativePath, bytes))
        return defaultValue;
    return IniDocument::valueIn(bytes, section, key, defaultValue);
}

bool writeIniValue(const QString &section, const QString &key, const QString &value,
    const QString &file, IniLinks links)
{
    IniDocument doc;
    // What a missing file becomes; also checks the names.
    if (!doc.setValue(section, key, value))
        return false;
    const QByteArray path = QFile::encodeName(file);
    switch (createNewFile(path, doc.toBytes())) {
    case NewFile::Created:
        return true;
    case NewFile::Failed:
        return false;
    case NewFile::Exists:
        break;
    }
    if (links == IniLinks::Refuse) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
    }
    if (!doc.load(file))
        return false;
    return doc.setValue(section, key, value) && doc.save();
}

} // namespace quillet
