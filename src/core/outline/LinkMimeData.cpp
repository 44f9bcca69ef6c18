// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/LinkMimeData.h"

#include "core/common/HtmlText.h"

#include <QHash>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

namespace quillet::outline {

namespace {

const QString kMozUrl = QStringLiteral("text/x-moz-url");
const QString kNetscapeUrl = QStringLiteral("_NETSCAPE_URL");
const QString kUriList = QStringLiteral("text/uri-list");
const QString kHtml = QStringLiteral("text/html");
const QString kPlain = QStringLiteral("text/plain");

using LinkKind = LinkCheck;

// The scheme of a link as written: the letters before the first colon, in
// lower case; empty when there is no proper scheme ("c:" is a drive, not a
// scheme, so one letter does not count).
QString schemeOf(const QString &link)
{
    const qsizetype colon = link.indexOf(u':');
    if (colon < 2)
        return {};
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = link.at(i);
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!letter && (i == 0 || !(c.isDigit() || c == u'+' || c == u'-' || c == u'.')))
            return {};
    }
    return link.left(colon).toLower();
}

bool isRefusedScheme(const QString &scheme)
{
    return scheme == u"javascript" || scheme == u"vbscript" || scheme == u"data"
        || scheme == u"file";
}

// Links as a format of links carries them. Blanks and control characters
// inside count against it: browsers drop them when opening ("java\tscript:"
// would run), so such text is no link at all.
LinkKind classify(const QString &link)
{
    if (link.isEmpty() || link.size() > kMaxLinkLength)
        return LinkKind::NotALink;
    for (const QChar c : link) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7f)
            return LinkKind::NotALink;
    }
    const QString scheme = schemeOf(link);
    if (scheme.isEmpty())
        return LinkKind::NotALink;
    if (isRefusedScheme(scheme))
        return LinkKind::Refused;
    if (!QUrl(link, QUrl::StrictMode).isValid())
        return LinkKind::NotALink;
    return LinkKind::Accepted;
}

// Plain text is read as links only when every word looks like one: a scheme
// followed by "//", or one of the schemes that never have it.
LinkKind classifyWord(const QString &word)
{
    const QString scheme = schemeOf(word);
    if (scheme.isEmpty())
        return LinkKind::NotALink;
    static const QStringList kOpaque = {QStringLiteral("mailto"), QStringLiteral("news"),
        QStringLiteral("tel"), QStringLiteral("magnet"), QStringLiteral("urn"),
        QStringLiteral("javascript"), QStringLiteral("vbscript"), QStringLiteral("data")};
    if (!word.mid(scheme.size() + 1).startsWith(QLatin1String("//")) && !kOpaque.contains(scheme))
        return LinkKind::NotALink;
    return classify(word);
}

QString cleanTitle(const QString &title)
{
    QString clean = title.simplified();
    if (clean.size() > kMaxTitleLength)
        clean.truncate(kMaxTitleLength);
    return clean;
}

// Collects links up to the limit; true while more may come.
class Collector
{
public:
    explicit Collector(IncomingLinks &out)
        : m_out(out)
    {
    }
    bool add(LinkKind kind, const QString &link, const QString &title)
    {
        if (kind == LinkKind::Refused) {
            ++m_out.refused;
        } else if (kind == LinkKind::Accepted) {
            if (m_out.links.size() >= kMaxIncomingLinks) {
                m_out.links.clear();
                m_out.refused = 0;
                m_out.tooMany = true;
                return false;
            }
            m_out.links.append({link, cleanTitle(title)});
        }
        return true;
    }

private:
    IncomingLinks &m_out;
};

// Text of a format browsers fill with UTF-16 (Firefox) or UTF-8 (others).
QString decodeBrowserText(const QByteArray &bytes)
{
    const bool utf16 = (bytes.size() >= 2 && bytes.size() % 2 == 0)
        && (bytes.startsWith("\xff\xfe") || bytes.at(1) == '\0');
    if (utf16) {
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
        return text;
    }
    return QString::fromUtf8(bytes);
}

QStringList linesOf(const QString &text)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(u'\r', u'\n');
    unified.remove(QChar(0));
    return unified.split(u'\n');
}

// "link\ntitle" pairs, as text/x-moz-url and _NETSCAPE_URL carry them.
void readPairs(const QByteArray &bytes, Collector &collector)
{
    const QStringList lines = linesOf(decodeBrowserText(bytes));
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        const QString link = lines.at(i).trimmed();
        if (link.isEmpty())
            continue;
        if (!collector.add(classify(link), link, lines.value(i + 1)))
            return;
    }
}

struct Anchor
{
    QString href;
    QString text;
};

// The value of attribute `name` in the inside of a start tag; null when the
// tag has none.
QString attribute(const QString &tag, const QString &name)
{
    qsizetype at = 0;
    while ((at = tag.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        const bool startsWord = at == 0 || tag.at(at - 1).isSpace();
        qsizetype i = at + name.size();
        at = i;
        if (!startsWord)
            continue;
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        if (i >= tag.size() || tag.at(i) != u'=')
            continue;
        ++i;
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        if (i >= tag.size())
            return QStringLiteral("");
        const QChar quote = tag.at(i);
        if (quote == u'"' || quote == u'\'') {
            const qsizetype end = tag.indexOf(quote, i + 1);
            return tag.mid(i + 1, end < 0 ? -1 : end - i - 1);
        }
        qsizetype end = i;
        while (end < tag.size() && !tag.at(end).isSpace())
            ++end;
        return tag.mid(i, end - i);
    }
    return {};
}

// Text with its tags left out.
QString withoutTags(const QString &html)
{
    QString text;
    text.reserve(html.size());
    bool inTag = false;
    for (const QChar c : html) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return text;
}

// The <a href> anchors of a piece of HTML, in order, in one pass.
QList<Anchor> anchorsOf(const QString &html)
{
    QList<Anchor> anchors;
    qsizetype at = 0;
    while ((at = html.indexOf(QLatin1String("<a"), at, Qt::CaseInsensitive)) >= 0) {
        const qsizetype nameEnd = at + 2;
        if (nameEnd >= html.size())
            break;
        if (!html.at(nameEnd).isSpace()) {
            at = nameEnd;
            continue;
        }
        const qsizetype tagEnd = html.indexOf(u'>', nameEnd);
        if (tagEnd < 0)
            break;
        const QString href = attribute(html.mid(nameEnd, tagEnd - nameEnd), QStringLiteral("href"));
        // An anchor left open ends where the next one begins.
        qsizetype close = html.indexOf(QLatin1String("</a"), tagEnd, Qt::CaseInsensitive);
        if (close < 0)
            close = html.size();
        const qsizetype next = html.indexOf(QLatin1String("<a"), tagEnd, Qt::CaseInsensitive);
        if (next >= 0 && next < close)
            close = next;
        if (!href.isNull()) {
            anchors.append({common::decodeEntities(href, common::EntityPlace::Attribute).trimmed(),
                common::decodeEntities(withoutTags(html.mid(tagEnd + 1, close - tagEnd - 1)),
                    common::EntityPlace::Text)});
        }
        at = close;
    }
    return anchors;
}

void readUriList(const QMimeData &data, Collector &collector)
{
    // Titles come from the HTML of the same drag when it has anchors for the
    // links.
    QHash<QString, QString> titles;
    if (data.hasFormat(kHtml)) {
        for (const Anchor &a : anchorsOf(data.html()))
            titles.insert(a.href, a.text);
    }
    for (const QString &line : linesOf(QString::fromUtf8(data.data(kUriList)))) {
        const QString link = line.trimmed();
        if (link.isEmpty() || link.startsWith(u'#'))
            continue;
        if (!collector.add(classify(link), link, titles.value(link)))
            return;
    }
}

void readHtml(const QMimeData &data, Collector &collector)
{
    for (const Anchor &a : anchorsOf(data.html())) {
        if (!collector.add(classify(a.href), a.href, a.text))
            return;
    }
}

void readPlainText(const QMimeData &data, Collector &collector, IncomingLinks &out)
{
    const QStringList words
        = data.text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const LinkKind kind = classifyWord(word);
        if (kind == LinkKind::NotALink) {
            out = IncomingLinks(); // text that is not only links is no drop of links
            return;
        }
        if (!collector.add(kind, word, QString()))
            return;
    }
}

} // namespace

QString ownDragFormat()
{
    return QStringLiteral("application/x-quillet-drag");
}

QString ownClipboardFormat()
{
    return QStringLiteral("application/x-quillet-bookmarks");
}

QByteArray ownClipboardMarker(const QMimeData &data)
{
    return data.data(ownClipboardFormat());
}

bool isRefusedLink(const QString &link)
{
    return isRefusedScheme(schemeOf(link.trimmed()));
}

LinkCheck checkIncomingLink(const QString &link)
{
    return classify(link);
}

IncomingLinks readIncomingLinks(const QMimeData &data)
{
    IncomingLinks out;
    if (data.hasFormat(ownDragFormat()))
        return out;
    Collector collector(out);
    if (data.hasFormat(kMozUrl))
        readPairs(data.data(kMozUrl), collector);
    else if (data.hasFormat(kNetscapeUrl))
        readPairs(data.data(kNetscapeUrl), collector);
    else if (data.hasFormat(kUriList))
        readUriList(data, collector);
    else if (data.hasFormat(kHtml))
        readHtml(data, collector);
    else if (data.hasFormat(kPlain))
        readPlainText(data, collector, out);
    return out;
}

QMimeData *linksMimeData(const QList<OutgoingLink> &links, const QByteArray &marker)
{
    QStringList uris;
    QStringList lines;
    QString html;
    for (const OutgoingLink &l : links) {
        uris << l.link;
        lines << l.link;
        html += QStringLiteral("<a href=\"%1\">%2</a><br>\n")
                    .arg(common::escapeHtml(l.link), common::escapeHtml(l.name));
    }
    auto *data = new QMimeData;
    data->setData(kUriList, uris.join(QLatin1String("\r\n")).toUtf8() + "\r\n");
    data->setText(lines.join(u'\n'));
    data->setHtml(html);
    data->setData(ownClipboardFormat(), marker);
    return data;
}

} // namespace quillet::outline
