// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/DuplicateScan.h"

#include "core/search/ReportedBookmarks.h"

#include "core/common/ProgressView.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkQueries.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"

#include <QHash>
#include <algorithm>

namespace quillet::search {

DuplicateScan::DuplicateScan(outline::Workspace &workspace, QObject *parent)
    : QObject(parent)
    , m_ws(workspace)
{
}

QString DuplicateScan::noDuplicatesMessage()
{
    return QStringLiteral("No duplicates were found.");
}

QString DuplicateScan::memberGoneMessage(const QStringList &names)
{
    return goneMessage(names, QStringLiteral("deleted"));
}

QString DuplicateScan::headingPath(const QString &key, QHash<QString, QString> &known) const
{
    const auto found = known.constFind(key);
    if (found != known.constEnd())
        return *found;
    QStringList titles;
    for (const outline::HeadingNode *node = m_ws.tree().findByKey(key); node; node = node->parent)
        titles.prepend(node->title);
    const QString path = titles.join(QLatin1Char('\\'));
    known.insert(key, path);
    return path;
}

void DuplicateScan::scan()
{
    store::Database *db = m_ws.document().database();
    if (!db)
        return;
    const store::BookmarkQueries queries(*db);
    const QStringList links = queries.duplicatedLinks();
    if (links.isEmpty()) {
        if (platform::MessageBoxes *messages = m_ws.services().messages)
            messages->show(noDuplicatesMessage(), platform::MessageIcon::Exclamation);
        return;
    }
    Q_EMIT fillingChanged(true);
    common::yieldToEventLoop();
    struct Done
    {
        DuplicateScan *scan;
        ~Done() { Q_EMIT scan->fillingChanged(false); }
    } done {this};

    std::vector<DuplicateLine> lines;
    lines.reserve(static_cast<size_t>(links.size()) * 4);
    QHash<QString, QString> paths;
    for (const QString &link : links) {
        lines.push_back({true, QLatin1Char(' ') + link, {}, QStringLiteral("0"), link, 0});
        for (store::FoundBookmark &member : queries.liveRowsWithLink(link)) {
            const QString key = member.headingKey.trimmed();
            lines.push_back({false, QLatin1Char(' ') + member.name, headingPath(key, paths), key,
                std::move(member.link), member.id});
        }
    }
    m_model.setRows(std::move(lines));
}

void DuplicateScan::clickRow(int row)
{
    if (row < 0 || row >= m_model.count() || !m_model.at(row).group)
        return;
    // The link as stored: no scheme is added, and the blank in front of it
    // is only how the list shows it.
    if (platform::DesktopServices *desktop = m_ws.services().desktop)
        desktop->openLink(m_model.at(row).link);
}

void DuplicateScan::deleteRows(QList<int> rows)
{
    store::Database *db = m_ws.document().database();
    if (!db || rows.isEmpty())
        return;
    // A row named twice is deleted once, not reported gone the second time.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<ReportedBookmark> members;
    for (int row : rows) {
        if (row >= 0 && row < m_model.count() && !m_model.at(row).group)
            members.push_back({row, m_model.at(row).id, m_model.at(row).text.mid(1)});
    }
    outline::BookmarkList &list = m_ws.list();
    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Delete duplicates"));
    const ReportedDeletion deletion = deleteReportedBookmarks(*db, list.listedHeading(), members);
    // Views change only once the rows are gone for certain.
    m_model.removeLines(deletion.deletedRows);
    if (!deletion.deletedRows.isEmpty())
        m_ws.document().setModified(true);
    dropListedBookmarks(list, deletion.listedKeys);
    showGone(m_ws, deletion.goneNames, QStringLiteral("deleted"));
}

} // namespace quillet::search
