// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/BookmarkFinder.h"

#include "core/common/ProgressView.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkQueries.h"

namespace quillet::search {

namespace {

const QString kFindTitle = QStringLiteral("Find");

} // namespace

BookmarkFinder::BookmarkFinder(outline::Workspace &workspace)
    : m_ws(workspace)
{
}

QStringList BookmarkFinder::scopeNames()
{
    return {QStringLiteral("All"), QStringLiteral("Names"), QStringLiteral("URL's"),
        QStringLiteral("Descriptions")};
}

bool BookmarkFinder::canFind(const QString &text)
{
    return !text.trimmed().isEmpty();
}

QString BookmarkFinder::notFoundMessage(const QString &text)
{
    return QLatin1Char('"') + text + QStringLiteral("\" could not be found.");
}

QString BookmarkFinder::headingGoneMessage()
{
    return QStringLiteral("The heading of this bookmark no longer exists.");
}

void BookmarkFinder::find(const QString &text, int scope)
{
    store::Database *db = m_ws.document().database();
    if (!canFind(text) || !db)
        return;
    const auto where = static_cast<store::FindScope>(qBound(0, scope, 3));
    std::vector<store::FoundBookmark> hits = store::BookmarkQueries(*db).find(where, text);
    if (hits.empty()) {
        m_ws.messageAfterRepaint(notFoundMessage(text), platform::MessageIcon::Exclamation,
            platform::MessageButtons::Ok, kFindTitle);
        return;
    }
    m_results.setRows(std::move(hits));
    m_canClear = true;
}

void BookmarkFinder::clearResults()
{
    m_results.clear();
    m_canClear = false;
}

void BookmarkFinder::jumpTo(int row)
{
    if (row < 0 || row >= m_results.count())
        return;
    const store::FoundBookmark &hit = m_results.at(row);
    outline::HeadingNode *node = m_ws.tree().findByKey(hit.headingKey);
    if (!node) {
        if (platform::MessageBoxes *messages = m_ws.services().messages)
            messages->show(headingGoneMessage(), platform::MessageIcon::Exclamation,
                platform::MessageButtons::Ok, kFindTitle);
        return;
    }
    m_ws.tree().setCurrent(node);
    m_ws.list().refill(node->key, m_ws.document().database(), hit.name);
}

} // namespace quillet::search
