// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/LinkCheckSession.h"

#include "core/outline/Workspace.h"
#include "core/search/ReportedBookmarks.h"
#include "core/store/BookmarkQueries.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

namespace quillet::links {

namespace {

// A link check changes bookmarks; what it leaves is "not changed".
void showGone(outline::Workspace &workspace, const QStringList &names)
{
    search::showGone(workspace, names, QStringLiteral("changed"));
}

} // namespace

LinkCheckSession::LinkCheckSession(outline::Workspace &workspace, LinkCheckOptions options,
    QNetworkAccessManager *network, QObject *parent)
    : QObject(parent)
    , m_ws(workspace)
    , m_checker(options, network)
{
    connect(&m_checker, &LinkChecker::linkChecked, &m_model, &LinkCheckModel::linkChecked);
    connect(&m_checker, &LinkChecker::progressChanged, this, &LinkCheckSession::progressChanged);
    connect(&m_checker, &LinkChecker::finished, this, [this] { Q_EMIT runningChanged(false); });
}

LinkCheckSession::~LinkCheckSession()
{
    // The model goes first; nothing may reach it or the window any more.
    m_checker.blockSignals(true);
    m_checker.cancel();
}

QStringList LinkCheckSession::scopeNames()
{
    return {QStringLiteral("Whole document"), QStringLiteral("Selected heading and sub-headings"),
        QStringLiteral("Selected bookmarks")};
}

QString LinkCheckSession::nothingToCheckMessage()
{
    return QStringLiteral("There are no bookmarks to check.");
}

QString LinkCheckSession::countsText() const
{
    return QStringLiteral("OK %1   Moved %2   Dead %3   Skipped %4")
        .arg(m_model.count(Verdict::Ok))
        .arg(m_model.count(Verdict::Moved))
        .arg(m_model.count(Verdict::Dead))
        .arg(m_model.count(Verdict::Skipped));
}

void LinkCheckSession::start(CheckScope scope)
{
    BookmarksToCheck bookmarks;
    switch (scope) {
    case CheckScope::Document:
        bookmarks = documentBookmarks(m_ws);
        break;
    case CheckScope::Heading:
        bookmarks = headingBookmarks(m_ws, m_ws.tree().current());
        break;
    case CheckScope::Selection:
        bookmarks = selectedBookmarks(m_ws);
        break;
    }
    m_checker.cancel();
    const QStringList links = bookmarks.links;
    const bool none = bookmarks.bookmarks.empty();
    m_model.reset(std::move(bookmarks), [this](int link) -> const LinkResult & {
        static const LinkResult unchecked;
        return link < m_checker.total() ? m_checker.result(link) : unchecked;
    });
    if (none) {
        Q_EMIT progressChanged(0, 0);
        if (platform::MessageBoxes *messages = m_ws.services().messages)
            messages->show(nothingToCheckMessage(), platform::MessageIcon::Exclamation);
        return;
    }
    Q_EMIT runningChanged(true);
    m_checker.start(links);
}

void LinkCheckSession::stop()
{
    m_checker.cancel();
}

void LinkCheckSession::openRows(const QList<int> &rows)
{
    platform::DesktopServices *desktop = m_ws.services().desktop;
    if (!desktop)
        return;
    for (int row : rows) {
        if (row >= 0 && row < m_model.count())
            desktop->openLink(m_model.link(row));
    }
}

bool LinkCheckSession::goTo(int row)
{
    store::Database *db = m_ws.document().database();
    if (!db || row < 0 || row >= m_model.count())
        return false;
    const store::BookmarkQueries queries(*db);
    const auto live = queries.liveRow(m_model.bookmarkId(row));
    outline::HeadingNode *node = live ? m_ws.tree().findByKey(live->headingKey) : nullptr;
    if (!node) {
        showGone(m_ws, {m_model.name(row)});
        return false;
    }
    m_ws.tree().setCurrent(node);
    outline::BookmarkList &list = m_ws.list();
    list.refill(node->key, db);
    // Filling may have given the row a fresh list key.
    const auto listed = queries.liveRow(live->id);
    const int listRow = listed ? list.model().rowOfKey(listed->key) : -1;
    if (listRow >= 0) {
        list.selectRow(listRow, true);
        list.showEntry(listed->key);
    }
    return true;
}

void LinkCheckSession::deleteRows(const QList<int> &rows)
{
    store::Database *db = m_ws.document().database();
    if (!db || rows.isEmpty())
        return;
    std::vector<search::ReportedBookmark> reported;
    for (int row : rows) {
        if (row >= 0 && row < m_model.count())
            reported.push_back({row, m_model.bookmarkId(row), m_model.name(row)});
    }
    outline::BookmarkList &list = m_ws.list();
    const search::ReportedDeletion deletion
        = search::deleteReportedBookmarks(*db, list.listedHeading(), reported);
    // Views change only once the rows are gone for certain.
    m_model.removeBookmarkRows(deletion.deletedRows);
    if (!deletion.deletedRows.isEmpty()) {
        m_ws.clipboard().clear();
        m_ws.document().setModified(true);
    }
    search::dropListedBookmarks(list, deletion.listedKeys);
    showGone(m_ws, deletion.goneNames);
}

void LinkCheckSession::useNewLinks(const QList<int> &rows)
{
    store::Database *db = m_ws.document().database();
    if (!db)
        return;
    struct Update
    {
        int row;
        qint64 id;
        QString link;
        QString headingKey;
        QString key;
    };
    std::vector<Update> updates;
    QStringList gone;
    const store::BookmarkQueries queries(*db);
    store::BookmarkTable bookmarks(*db);
    {
        store::Transaction transaction(*db);
        for (int row : rows) {
            if (row < 0 || row >= m_model.count())
                continue;
            const LinkResult result = m_model.result(row);
            if (result.verdict != Verdict::Moved || result.newLink.isEmpty())
                continue;
            const auto live = queries.liveRow(m_model.bookmarkId(row));
            if (!live) {
                gone << m_model.name(row);
                continue;
            }
            store::BookmarkChange change;
            change.link = result.newLink;
            // Copy-on-write: a saved row is superseded by a pending copy.
            if (const auto changed = bookmarks.change(live->id, change))
                updates.push_back({row, changed->id, result.newLink, live->headingKey, live->key});
        }
        transaction.commit();
    }
    outline::BookmarkList &list = m_ws.list();
    const QString listedHeading = list.listedHeading();
    bool currentChanged = false;
    for (const Update &update : updates) {
        m_model.useNewLink(update.row, update.id, update.link);
        if (listedHeading.isEmpty() || update.headingKey != listedHeading)
            continue;
        const int listRow = list.model().rowOfKey(update.key);
        if (listRow < 0)
            continue;
        outline::BookmarkEntry entry = list.model().entry(listRow);
        entry.link = update.link;
        list.model().updateEntry(update.key, entry);
        currentChanged = currentChanged || update.key == list.currentBookmark();
    }
    if (!updates.empty()) {
        m_ws.clipboard().clear();
        m_ws.document().setModified(true);
    }
    if (currentChanged)
        list.showEntry(list.currentBookmark());
    showGone(m_ws, gone);
}

} // namespace quillet::links
