// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace quillet::outline {
struct HeadingNode;
}
namespace quillet::outline {
class Workspace;
}

namespace quillet::links {

// A heading that holds bookmarks to check: its key and the titles from the
// root heading down to it.
struct CheckedHeading
{
    QString key;
    QStringList titles;
};

// One bookmark to check.
struct BookmarkToCheck
{
    qint64 id = 0; // its tbItems row
    int heading = 0; // in BookmarksToCheck::headings
    int link = 0; // in BookmarksToCheck::links
    QString name;
};

// The bookmarks of one check, heading by heading in tree order (a heading,
// then its sub-headings), each heading's in stored order, and their links:
// each distinct link once, however many bookmarks share it. The texts are
// compared as stored, blanks around them left out.
struct BookmarksToCheck
{
    std::vector<CheckedHeading> headings;
    std::vector<BookmarkToCheck> bookmarks;
    QStringList links;

    // The link of bookmark `i`.
    const QString &linkOf(size_t i) const { return links.at(bookmarks[i].link); }
};

// Every live bookmark of the document (rows of headings the tree does not
// have are never shown, and are left out).
BookmarksToCheck documentBookmarks(outline::Workspace &workspace);
// The live bookmarks of `heading` and all its sub-headings.
BookmarksToCheck headingBookmarks(
    outline::Workspace &workspace, const outline::HeadingNode *heading);
// The bookmarks selected in the main window's list, in list order.
BookmarksToCheck selectedBookmarks(outline::Workspace &workspace);

} // namespace quillet::links
