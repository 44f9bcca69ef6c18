// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/LinkMimeData.h"

#include <QList>
#include <QString>
#include <functional>

namespace quillet::store {
class Database;
}

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {

// A link as it became a bookmark.
struct AddedLink
{
    qint64 id = 0; // its tbItems row
    QString key; // its lKey (empty when left to the next fill)
    QString name;
    QString link;
    QString date;
    bool namedByLink = false; // no title came with it: the link is its name
};

// Adds a pending bookmark under the heading for each link: named by its
// title, else by the link, numbered " #n" on a clash, dated today. One
// transaction: on an engine error nothing is added and the error propagates.
QList<AddedLink> addLinkBookmarks(store::Database &db, const QString &headingKey,
    const QList<IncomingLink> &links, const std::function<QString()> &newKey);

// What taking links in did.
struct LinkIntake
{
    QList<AddedLink> added;
    QString headingKey;
    int refused = 0;
    bool tooMany = false;
};

// Links from another program (a drop, a paste, `quillet --add`) become
// bookmarks of heading `headingKey`: the list shows them when that heading
// is listed, the last one selected; the document is marked modified and the
// status bar says what came in and what was refused.
LinkIntake takeLinks(Workspace &ws, const QString &headingKey, const IncomingLinks &links);

// The status text after taking links in.
QString intakeStatus(const LinkIntake &intake, const QString &headingTitle);

} // namespace quillet::outline
