// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkTable.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace quillet::outline {
class HeadingTreeModel;
struct HeadingNode;
} // namespace quillet::outline

namespace quillet::common {
class ProgressView;
class StatusView;
} // namespace quillet::common

namespace quillet::pages {

// The help-file project's work folder, "_chm" in the application home.
QString chmWorkFolder();

// The help file a document compiles to: "Favorites.chm" while untitled,
// else the document's file name up to its last "." (trimmed) + ".chm".
QString helpFileName(bool untitled, const QString &documentFileName);

// A title as the contents file holds it: "&" as "&amp;", and every character
// beyond ASCII as a numeric reference, so that the text survives whatever
// code page a help viewer reads the contents in.
QString contentsTitle(const QString &title);

// BuildChmProject: writes the pages (one per heading with live bookmarks,
// UTF-8, their style sheet, pictures and thumbnails referenced relatively so
// that the compiler embeds them), "tmp.htm", "blank.htm", "favorites.hhc"
// and "favorites.hhp" into `folder`, counting the progress counter up from 0
// on `progress`. Page failures are skipped; false when another file could not
// be written.
class HelpProjectWriter
{
public:
    HelpProjectWriter(const outline::HeadingTreeModel &tree, const store::BookmarkTable &table,
        QString folder, common::ProgressView *progress, common::StatusView *status);

    bool build(const QString &helpFile);

private:
    using HeadingChain = std::vector<std::unique_ptr<outline::HeadingNode>>;
    void writeContents(const HeadingChain &top);
    bool writeHeadingPage(const outline::HeadingNode *heading, const QString &page);
    QString saveThumbnailForPage(const store::BookmarkRow &row);
    QString pageBlock(const store::BookmarkRow &row, bool last);
    QString pageName(const outline::HeadingNode *heading) const;
    void setStatus(const QString &text);
    bool writeText(const QString &name, const QString &text);

    const outline::HeadingTreeModel &m_tree;
    const store::BookmarkTable &m_table;
    QString m_folder;
    common::ProgressView *m_progress;
    common::StatusView *m_status;
    QHash<const outline::HeadingNode *, int> m_index;
    QHash<const outline::HeadingNode *, std::vector<store::RowRef>> m_rows;
    QString m_contents;
    QString m_files;
};

} // namespace quillet::pages
