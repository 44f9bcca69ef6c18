// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

namespace quillet::pages {

// The file of the html folder that a picture or style sheet of the pane's
// page names, or the empty text when the name points anywhere else: another
// folder, a remote address, any scheme but file. The templates name their
// files by the folder's path and a "\" ("/home/u/html\styles.css").
QString paneResourceFile(const QUrl &name, const QString &folder);

// Qt lays out nested tables in time that doubles with each level: a
// description of a few dozen nested tables would hold the window for hours.
constexpr int kDeepestPaneTable = 8;

// The page with every table nested deeper than `deepest` turned into a plain
// block (its rows and cells then follow one another). Tags are counted as
// they appear in the text, so a table is never missed: one inside a comment
// or an attribute only makes the count err on the safe side.
QString flattenDeepTables(const QString &page, int deepest = kDeepestPaneTable);

} // namespace quillet::pages
