// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/BackgroundTitles.h"

#include "core/outline/BookmarkNames.h"
#include "core/outline/PageTitles.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/EngineError.h"

namespace quillet::outline {

namespace {

// Which document is open: its path, and the database object holding it.
QString documentIdentity(Workspace &ws)
{
    return ws.document().path() + QLatin1Char('|')
        + QString::number(reinterpret_cast<quintptr>(ws.document().database()));
}

} // namespace

BackgroundTitles::BackgroundTitles(Workspace &ws, QObject *parent)
    : QObject(parent)
    , m_ws(ws)
    , m_titles(new PageTitles(this))
{
}

void BackgroundTitles::fetchFor(const LinkIntake &intake)
{
    const QString document = documentIdentity(m_ws);
    for (const AddedLink &added : intake.added) {
        if (!added.namedByLink)
            continue;
        const QString heading = intake.headingKey;
        m_titles->fetch(added.link, [this, added, heading, document](const QString &title) {
            arrived(added, heading, document, title);
        });
    }
}

void BackgroundTitles::arrived(const AddedLink &added, const QString &headingKey,
    const QString &document, const QString &title)
{
    if (title.isEmpty() || document != documentIdentity(m_ws))
        return;
    try {
        renameToTitle(m_ws, added.id, headingKey, added.link, title);
    } catch (const store::EngineError &) {
        // A title is a nicety: a failed rename leaves the link as the name.
    }
}

bool renameToTitle(
    Workspace &ws, qint64 id, const QString &headingKey, const QString &link, const QString &title)
{
    store::Database *db = ws.document().database();
    const QString wanted = title.simplified().left(kMaxTitleLength);
    if (!db || wanted.isEmpty())
        return false;
    store::BookmarkTable bookmarks(*db);
    const std::vector<store::BookmarkRow> rows = bookmarks.liveRowsById({{id, {}}});
    if (rows.empty())
        return false;
    const store::BookmarkRow &row = rows.front();
    if (row.headingKey != headingKey || row.link != link || row.name != link
        || wanted.compare(link, Qt::CaseInsensitive) == 0)
        return false;

    QString name = wanted;
    store::Transaction transaction(*db);
    BookmarkNameSet names = BookmarkNameSet::read(*db, headingKey);
    if (names.contains(name))
        name = names.uniqueName(name);
    store::BookmarkChange change;
    change.name = name;
    if (!bookmarks.change(id, change))
        return false;
    transaction.commit();
    ws.document().setModified(true);

    BookmarkList &list = ws.list();
    if (headingKey == list.listedHeading() && !row.key.isEmpty()
        && list.model().containsKey(row.key)) {
        const bool shown = list.currentBookmark() == row.key;
        list.model().updateEntry(row.key, {row.key, name, row.link, row.date});
        if (shown)
            list.showEntry(row.key);
    }
    return true;
}

} // namespace quillet::outline
