// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/LinkIntake.h"

#include "core/outline/BackgroundTitles.h"
#include "core/outline/BookmarkNames.h"
#include "core/outline/BookmarkTransfer.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/RandomNumbers.h"

#include <QSet>

namespace quillet::outline {

namespace {

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

QList<AddedLink> addLinkBookmarks(store::Database &db, const QString &headingKey,
    const QList<IncomingLink> &links, const std::function<QString()> &newKey)
{
    QList<AddedLink> added;
    if (links.isEmpty())
        return added;
    const QString date = todayText();
    store::Transaction transaction(db);
    store::BookmarkTable bookmarks(db);
    BookmarkNameSet names = BookmarkNameSet::read(db, headingKey);
    added.reserve(links.size());
    for (const IncomingLink &in : links) {
        AddedLink a;
        a.link = in.link.trimmed();
        a.name = in.title.simplified().left(kMaxTitleLength);
        a.namedByLink = a.name.isEmpty();
        if (a.namedByLink)
            a.name = a.link;
        if (names.contains(a.name))
            a.name = names.uniqueName(a.name);
        names.insert(a.name);
        a.key = newKey ? newKey() : QString();
        a.date = date;
        store::BookmarkRow row;
        row.headingKey = headingKey;
        row.key = a.key;
        row.name = a.name;
        row.link = a.link;
        row.date = date;
        a.id = bookmarks.addPending(row);
        added.append(std::move(a));
    }
    transaction.commit();
    return added;
}

LinkIntake takeLinks(Workspace &ws, const QString &headingKey, const IncomingLinks &links)
{
    LinkIntake intake;
    intake.headingKey = headingKey;
    intake.refused = links.refused;
    intake.tooMany = links.tooMany;
    store::Database *db = ws.document().database();
    const HeadingNode *heading = ws.tree().findByKey(headingKey);
    if (!db || !heading)
        return intake;

    BookmarkList &list = ws.list();
    // Into the listed heading the bookmarks join the list with fresh keys;
    // elsewhere their keys wait for that heading's next listing.
    const bool listed = headingKey == list.listedHeading();
    QSet<QString> given;
    std::function<QString()> newKey;
    if (listed) {
        newKey = [&] {
            const QString key = store::assignRandomKey([&](const QString &k) {
                return !list.model().containsKey(k) && !given.contains(k);
            });
            given.insert(key);
            return key;
        };
    }
    intake.added = addLinkBookmarks(*db, headingKey, links.links, newKey);

    if (!intake.added.isEmpty()) {
        if (listed) {
            std::vector<BookmarkEntry> entries;
            entries.reserve(static_cast<size_t>(intake.added.size()));
            for (const AddedLink &a : intake.added)
                entries.push_back({a.key, a.name, a.link, a.date});
            list.model().addEntries(std::move(entries));
            const QString last = intake.added.last().key;
            list.selectRow(list.model().rowOfKey(last), true);
            list.showEntry(last);
        }
        ws.document().setModified(true);
        if (BackgroundTitles *titles = ws.titleFetcher())
            titles->fetchFor(intake);
    }
    ws.setStatus(intakeStatus(intake, heading->title));
    return intake;
}

QString intakeStatus(const LinkIntake &intake, const QString &headingTitle)
{
    if (intake.tooMany) {
        return QStringLiteral("Status: Idle - Nothing added: more than %1 links at once.")
            .arg(kMaxIncomingLinks);
    }
    QStringList parts;
    if (!intake.added.isEmpty()) {
        parts << counted(static_cast<int>(intake.added.size()), "bookmark", "bookmarks")
                + QStringLiteral(" added to \"%1\"").arg(headingTitle);
    }
    if (intake.refused > 0) {
        parts << counted(intake.refused, "link", "links")
                + QStringLiteral(" refused (javascript:, data: and file: links are not taken "
                                 "from other programs)");
    }
    if (parts.isEmpty())
        return QStringLiteral("Status: Idle - No links to add.");
    return QStringLiteral("Status: Idle - ") + parts.join(QLatin1String("; ")) + QLatin1Char('.');
}

} // namespace quillet::outline
