// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/ImportedBookmarks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace quillet::browsers {

// The bookmark HTML file every browser reads and writes
// (<!DOCTYPE NETSCAPE-Bookmark-file-1>). Usable without widgets: the
// command-line companion calls these too.

// Reads the file as browsers write it and as people mangle it: unclosed
// <DT> and <p>, any letter case, entities, attributes in any order, huge
// ICON attributes, a charset other than UTF-8 named by a meta tag. <H3> is a
// folder, <A HREF> a bookmark (ADD_DATE its date), the <DD> after it its
// description.
ReadBookmarks readBookmarkHtml(const QByteArray &bytes);
ReadBookmarks readBookmarkHtmlFile(const QString &path);
// Whether a file starting with `start` is bookmark HTML: a markup text with
// the browsers' doctype, a list (<DL>) or its entries (<DT>) near its start.
bool looksLikeBookmarkHtml(QByteArrayView start);

// Reads `path` and imports it under `parent` (see importIntoHeading). The
// rows are pending: the GUI leaves them to Save, the companion saves at once
// (outline::resolvePendingChanges with store::Resolution::Save).
ImportResult importBookmarkHtml(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, const QString &path, common::ProgressView *progress = nullptr);

struct ExportResult
{
    int headings = 0;
    int bookmarks = 0;
    QString error; // set when the file could not be written

    bool ok() const { return error.isEmpty(); }
};

// Writes the live bookmarks as bookmark HTML. `top` null: the whole tree,
// the root heading's bookmarks at the top of the file and every heading
// below as a folder. Otherwise `top` itself is one folder holding its
// bookmarks and sub-headings. Texts are escaped; dates become ADD_DATE.
ExportResult exportBookmarkHtml(store::Database &db, const outline::HeadingTreeModel &tree,
    const outline::HeadingNode *top, QIODevice &out, common::ProgressView *progress = nullptr);
// The same into a file, written whole or not at all (an earlier file of that
// name stays until the new one is complete). Writes nothing but `path`.
ExportResult exportBookmarkHtmlFile(store::Database &db, const outline::HeadingTreeModel &tree,
    const outline::HeadingNode *top, const QString &path, common::ProgressView *progress = nullptr);

} // namespace quillet::browsers
