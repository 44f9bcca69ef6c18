// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

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

    // value() of the text `bytes` without building a document: one pass
    // that stops at the key. readIniValue reads files through it.
    static QString valueIn(QByteArrayView bytes, const QString &section, const QString &key,
        const QString &defaultValue = QString());

    bool isModified() const { return m_modified; }
    QByteArray toBytes() const;
    // Writes the file through a temporary file in the same folder that is
    // renamed over the old one, so a failed write leaves the old file whole.
    // An unchanged document whose file exists is not written again.
    bool save();

    // Section names and, per section, keys as spelled in the file, in file
    // order (registry.ini enumerates them; its value names match exactly).
    QStringList sectionNames() const;
    struct Entry
    {
        QString key;
        QString value;
    };
    // The keys of the first matching section with their values; empty when
    // the section is missing.
    std::vector<Entry> entries(const QString &section) const;
    // Appends an empty section unless one matches; false for a name that
    // cannot be written.
    bool addSection(const QString &section);

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

    // What one line is: its kind, whether it is valid UTF-8, the case-folded
    // name of a section or key and where a key's value starts.
    struct LineClass
    {
        Kind kind = Kind::Other;
        bool utf8 = true;
        QString name;
        qsizetype valueAt = 0;
    };
    static LineClass classifyText(QByteArrayView text, qsizetype start);

    void parse(const QByteArray &bytes);
    void classify(Line &line, qsizetype start) const;
    qsizetype findSection(const QString &folded) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, qsizetype end, const QString &folded) const;
    Line makeLine(const QByteArray &text) const;
    static QString spelledName(const Line &line);
    static QString valueOf(const Line &line);
    static bool isWritableSection(const QString &name);

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
// readIniValue for a path in the file system's own encoding, so that a file
// whose name is not valid text can still be read.
QString readIniValueNative(const QString &section, const QString &key, const QByteArray &nativePath,
    const QString &defaultValue = QString());

// Whether a write may go through a symbolic link to the file it names.
enum class IniLinks
{
    Follow, // settings files may be links into a dotfiles folder
    Refuse // a file named by outside data (a bookmark's name): never a link
};

// Sets one value, creating the file, section and key as needed. False when
// the file could not be read or written (the old file is then unchanged).
// A missing file is created at once holding the section header and the key
// line; it is never put in place of something that appeared meanwhile. With
// IniLinks::Refuse an existing file that is a link, or not a regular file,
// is left alone and the call is false.
bool writeIniValue(const QString &section, const QString &key, const QString &value,
    const QString &file, IniLinks links = IniLinks::Follow);

// UTF-8 when bytes are valid UTF-8, else Windows-1252 (the code page of
// files made on Windows).
QString decodeUtf8OrWindows1252(QByteArrayView bytes);
QString decodeWindows1252(QByteArrayView bytes);
bool isValidUtf8(QByteArrayView bytes);

} // namespace quillet
