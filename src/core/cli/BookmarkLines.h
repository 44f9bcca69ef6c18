// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

namespace quillet::outline {
struct HeadingNode;
}
namespace quillet::outline {
class Workspace;
}

namespace quillet::cli {

// One bookmark as quillet-cli prints it: one line of tab-separated columns,
// in this order.
struct BookmarkLine
{
    QString headingPath; // already escaped, see headingPath()
    QString name;
    QString link;
    QString date;
    QString description;
};

// A column's text: backslash, tab, newline and carriage return become \\,
// \t, \n and \r, so every bookmark stays on one line and tabs only ever
// separate columns; every other control character (U+0000-U+001F,
// U+007F-U+009F) becomes \xHH, so no name can drive the terminal.
QString escapeField(const QString &text);
// `text` with every control character written as \xHH, for messages.
QString escapeControls(const QString &text);
// The escaped titles from the root heading down to `node`, joined by "/";
// a "/" inside a title is written "\/". Empty for no heading.
QString headingPath(const outline::HeadingNode *node);
// The columns escaped and joined by tabs, without the line end.
QString formatLine(const BookmarkLine &line);

// The open document's live bookmarks heading by heading, in tree order
// (a heading, then its sub-headings), each heading's in stored order, as
// the program lists them. Rows of a heading missing from the tree are never
// shown by the program and are left out here too.
std::vector<BookmarkLine> listBookmarks(outline::Workspace &workspace);
// What the find window's "All" scope finds for `text`, in its order. A hit
// whose heading is gone has an empty heading path.
std::vector<BookmarkLine> findBookmarks(outline::Workspace &workspace, const QString &text);

} // namespace quillet::cli
