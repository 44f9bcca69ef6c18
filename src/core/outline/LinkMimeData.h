// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QMimeData;

namespace quillet::outline {

// One link handed over by another program, with its title when it came with
// one.
struct IncomingLink
{
    QString link;
    QString title;
};

// What another program's drag or clipboard holds: the links that may become
// bookmarks and how many were refused (links that run code or read local
// files when opened).
struct IncomingLinks
{
    QList<IncomingLink> links;
    int refused = 0;
    // More links than one drop takes: nothing of it is used.
    bool tooMany = false;

    bool isEmpty() const { return links.isEmpty() && refused == 0 && !tooMany; }
};

// The most links one drop or paste adds.
inline constexpr int kMaxIncomingLinks = 10000;
// Longer links are not taken for links at all.
inline constexpr int kMaxLinkLength = 65536;
// Titles are cut to this many characters.
inline constexpr int kMaxTitleLength = 1024;

// The format of the program's own drags; data carrying it is never read as
// links from another program.
QString ownDragFormat();

// The links of a drag or clipboard, read from the richest format offered:
// text/x-moz-url (link and title pairs), _NETSCAPE_URL, text/uri-list (titles
// from the text/html anchors of the same links when offered), the <a href>
// anchors of text/html, then plain text made of links only. Nothing for the
// program's own drags.
IncomingLinks readIncomingLinks(const QMimeData &data);

// "javascript:", "vbscript:", "data:" and "file:" links: taken from another
// program they would run code or read local files when opened.
bool isRefusedLink(const QString &link);

// How a link handed over by another program is judged: a link with a scheme,
// without blanks or control characters, at most kMaxLinkLength long; refused
// when isRefusedLink.
enum class LinkCheck
{
    NotALink,
    Accepted,
    Refused
};
LinkCheck checkIncomingLink(const QString &link);

// A bookmark put on the system clipboard.
struct OutgoingLink
{
    QString name;
    QString link;
};

// The selected bookmarks as other programs paste them: text/uri-list,
// text/plain (one link a line) and text/html anchors named like the
// bookmarks; `marker` goes along under the program's own clipboard format.
QMimeData *linksMimeData(const QList<OutgoingLink> &links, const QByteArray &marker);
// The program's own clipboard format and the marker it carries, empty when
// the data is another program's.
QString ownClipboardFormat();
QByteArray ownClipboardMarker(const QMimeData &data);

} // namespace quillet::outline
