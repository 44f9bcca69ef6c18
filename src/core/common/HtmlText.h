// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <memory>

namespace quillet::common {

// Turns the bytes of a file's texts into text, in the file's character set.
// UTF-8 and plain ASCII are decoded here; other 8-bit and multi-byte sets
// through the C library's iconv. Bytes the set does not know become U+FFFD.
class TextDecoder
{
public:
    // `charset` as the file names it (empty when it names none: then UTF-8
    // when `bytes` are valid UTF-8, else Windows-1252, as browsers guess).
    explicit TextDecoder(const QByteArray &charset, QByteArrayView bytes = {});

    QString decode(QByteArrayView bytes);
    // Some bytes could not be decoded.
    bool hadErrors() const { return m_errors; }
    // Why the named set was not used; empty when it was.
    const QString &problem() const { return m_problem; }

private:
    void useCharset(const QByteArray &name);
    QString decodeIconv(QByteArrayView bytes);

    std::shared_ptr<void> m_iconv; // an iconv_t; null for UTF-8
    QStringDecoder m_utf8;
    bool m_errors = false;
    QString m_problem;
};

// The charset a <meta> in the file's head names; empty when none.
QByteArray declaredCharset(QByteArrayView bytes);
// A file with a UTF-16 byte order mark as UTF-8 (without the mark); a null
// array for every other file.
QByteArray utf16AsUtf8(QByteArrayView bytes);
bool isValidUtf8(QByteArrayView bytes);

// Where a text stands: browsers read references in attribute values a little
// differently.
enum class EntityPlace
{
    Text,
    Attribute,
};

// Character references as browsers read them: &#NNN; and &#xHH; (also
// without ";"), the common named ones, and the entities of HTML's first
// versions (&amp; &lt; &copy; &eacute; ...) also without ";", except in an
// attribute before "=", a letter or a digit: there "?a=1&lt=2" stays as it
// is. Unknown names stay as written.
QString decodeEntities(const QString &text, EntityPlace place);
// & < > " as entities: safe in text and in double-quoted attributes.
QString escapeHtml(const QString &text);

} // namespace quillet::common
