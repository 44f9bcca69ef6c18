// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/LinkIntake.h"

#include <QObject>

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {

class PageTitles;

// Bookmarks that came in with only their link as name get their page's title
// in the background. When the title arrives the bookmark is renamed through
// the row owner (numbered on a clash), unless it was renamed, changed or
// removed meanwhile or another document is open; a failed read changes
// nothing.
class BackgroundTitles : public QObject
{
    Q_OBJECT
public:
    explicit BackgroundTitles(Workspace &ws, QObject *parent = nullptr);

    // Reads the titles of the bookmarks of `intake` that are named by link.
    void fetchFor(const LinkIntake &intake);
    PageTitles &titles() { return *m_titles; }

private:
    void arrived(const AddedLink &added, const QString &headingKey, const QString &document,
        const QString &title);

    Workspace &m_ws;
    PageTitles *m_titles;
};

// Renames the live bookmark `id` of heading `headingKey` from its link to
// `title`, as a title that arrived does. False, and nothing changed, when the
// bookmark is gone, no longer named by that link, or the title is empty.
bool renameToTitle(
    Workspace &ws, qint64 id, const QString &headingKey, const QString &link, const QString &title);

} // namespace quillet::outline
