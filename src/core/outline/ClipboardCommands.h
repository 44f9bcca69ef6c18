// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {

// Cut and Copy: the program's clipboard takes the selected bookmarks of the
// listed heading, and the system clipboard gets them as links (text/uri-list,
// text/plain, text/html anchors) for browsers, mail and chat programs.
void cutToClipboards(Workspace &ws, const QString &headingKey);
void copyToClipboards(Workspace &ws, const QString &headingKey);

// Paste into heading `headingKey`: the bookmarks of the program's clipboard;
// when it is empty, or another program has put links on the system clipboard
// since, those links become bookmarks as a drop would make them.
void pasteFromClipboards(Workspace &ws, const QString &headingKey);

} // namespace quillet::outline
