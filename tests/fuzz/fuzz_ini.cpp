// SPDX-License-Identifier: GPL-3.0-or-later
// Private-profile INI: any file bytes read and written back unchanged; one
// key written, then read back from the saved file, with every other line of
// the file kept byte for byte.
#include "core/settings/IniFile.h"

#include <QStringDecoder>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace quillet;

namespace {

using Line = std::pair<QByteArray, QByteArray>; // text, line end

std::vector<Line> splitLines(const QByteArray &bytes)
{
    std::vector<Line> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        qsizetype eol = 0;
        if (end < bytes.size())
            eol = (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines.emplace_back(bytes.mid(pos, end - pos), bytes.mid(end, eol));
        pos = end + eol;
    }
    return lines;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QString trimmed(QString s)
{
    while (!s.isEmpty() && isBlank(s.front()))
        s.remove(0, 1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

// UTF-8 as a caller's string: a leading U+FEFF stays.
QString text(const std::string &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "INI fault: %s\n", what);
    std::abort();
}

// After one setValue: the lines of `before` are all in `after` in order, with
// their line ends, except one replaced key line, one or two added lines, and
// a missing final line end that may have been added.
void checkOtherLinesKept(const QByteArray &beforeBytes, const QByteArray &afterBytes)
{
    const std::vector<Line> a = splitLines(beforeBytes);
    const std::vector<Line> b = splitLines(afterBytes);
    if (b.size() < a.size() || b.size() > a.size() + 2)
        fail("line count");
    auto sameLine = [&](size_t i, size_t j) {
        return a[i].first == b[j].first
            && (a[i].second == b[j].second || (a[i].second.isEmpty() && i + 1 == a.size()));
    };
    size_t i = 0;
    size_t j = 0;
    size_t skipped = 0; // lines of `after` that stand for none of `before`
    size_t replaced = 0;
    while (i < a.size()) {
        if (j < b.size() && sameLine(i, j)) {
            ++i;
            ++j;
        } else if (b.size() > a.size() && skipped < b.size() - a.size()) {
            ++j;
            ++skipped;
        } else if (b.size() == a.size() && replaced == 0 && j < b.size()
            && a[i].second == b[j].second) {
            ++i;
            ++j;
            ++replaced;
        } else {
            fail("a line other than the key's changed");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const QString section = text(fdp.ConsumeRandomLengthString(24));
    const QString key = text(fdp.ConsumeRandomLengthString(24));
    const QString value = text(fdp.ConsumeRandomLengthString(48));
    const std::string rest = fdp.ConsumeRemainingBytesAsString();
    const QByteArray original(rest.data(), qsizetype(rest.size()));

    // In memory: load() and save() add only the file around these bytes.
    IniDocument doc;
    doc.setContent(original);
    if (doc.toBytes() != original)
        fail("reading and writing back changed the bytes");
    (void)doc.value(section, key);
    (void)doc.contains(section, key);

    if (!doc.setValue(section, key, value)) {
        if (doc.toBytes() != original)
            fail("a refused write changed the text");
        return 0;
    }
    const QByteArray saved = doc.toBytes();
    checkOtherLinesKept(original, saved);

    QString expected = value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    expected = trimmed(expected);
    IniDocument again;
    again.setContent(saved);
    if (!again.contains(section, key))
        fail("written key not found");
    if (again.value(section, key) != expected)
        fail("written value not read back");
    // Writing the same value again changes nothing.
    if (!again.setValue(section, key, value) || again.toBytes() != saved)
        fail("rewriting the same value changed the text");
    return 0;
}
