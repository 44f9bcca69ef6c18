#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace quillet {

// Private-profile INI text with Windows semantics, kept line by line so that a
// rewrite changes only the lines of the keys that were set. Sections and keys
// match ignoring case; the first matching section and key win. Every other
// line (comments, blank lines, junk, lines in another encoding) and every line
// end is written back byte for byte. New text is written as UTF-8; reading
// decodes each line as UTF-8 when it is valid and as Windows-1252 otherwise.
class IniDocument
{
public:
    IniDocument() = default;
    // Loads file; see load().
    explicit IniDocument(const QString &file);

    // Reads the file. A missing file gives an empty document and true. A file
    // that exists but cannot be read gives an empty document and false; such a
    // document refuses to save so that it never replaces content it never saw.
    bool load(const QString &file);
    // Replaces the content with bytes (no file is read); save() needs a name.
    void setContent(const QByteArray &bytes);
    void setFileName(const QString &file) { m_file = file; }
    QString fileName() const { return m_file; }

    bool contains(const QString &section, const QString &key) const;
    // The text after "=" with outer blanks removed, or defaultValue when the
    // section or key is missing.
    QString value(
        const QString &section, const QString &key, const QString &defaultValue = QString()) const;
    // Replaces the first matching key's value, or appends the key at the end
    // of the first matching section, or appends the section at the end of the
    // text. Line breaks in value become blanks (they would split the line).
    // False for names that cannot be written: empty, or a section holding "]"
    // or a line break, or a key holding "=" or a line break or starting with
    // "[" or ";".
    bool setValue(const QString &section, const QString &key, const QString &value);

    bool isModified() const { return m_modified; }
    QByteArray toBytes() const;
    // Writes the file through a temporary file in the same folder that is
    // renamed over the old one, so a failed write leaves the old file whole.
    // An unchanged document whose file exists is not written again.
    bool save();

private:
    enum class Kind
    {
        Other,
        Section,
        Key
    };
    struct Line
    {
        QByteArray text; // without the line end
        QByteArray eol; // "\n", "\r\n", "\r" or "" (last line only)
        Kind kind = Kind::Other;
        bool utf8 = true;
        QString name; // case-folded section or key name
        qsizetype valueAt = 0; // key lines: offset just after "="
    };

    void parse(const QByteArray &bytes);
    void classify(Line &line, qsizetype start) const;
    qsizetype findSection(const QString &folded) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, qsizetype end, const QString &folded) const;
    Line makeLine(const QByteArray &text) const;

    std::vector<Line> m_lines;
    QString m_file;
    QByteArray m_eol = "\n";
    bool m_existed = false;
    bool m_loadFailed = false;
    bool m_modified = false;
};

// One value of one file; "" (or defaultValue) when the file, section or key is
// missing. Reads the whole file: use IniDocument for many keys of one file.
QString readIniValue(const QString &section, const QString &key, const QString &file);
QString readIniValue(
    const QString &section, const QString &key, const QString &file, const QString &defaultValue);
// Sets one value, creating the file, section and key as needed. False when
// the file could not be read or written (the old file is then unchanged).
bool writeIniValue(
    const QString &section, const QString &key, const QString &value, const QString &file);

// UTF-8 when bytes are valid UTF-8, else Windows-1252 (the code page of
// files made on Windows).
QString decodeUtf8OrWindows1252(QByteArrayView bytes);
QString decodeWindows1252(QByteArrayView bytes);
bool isValidUtf8(QByteArrayView bytes);

} // namespace quillet
