// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/BookmarksToCheck.h"

#include "core/outline/HeadingTreeModel.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"

#include <QHash>

namespace quillet::links {

namespace {

QStringList titlesOf(const outline::HeadingNode *node)
{
    QStringList titles;
    for (; node; node = node->parent)
        titles.prepend(node->title);
    return titles;
}

// A heading and every heading below it, parents before children, siblings in
// order; a stack instead of recursion, however deep the tree.
std::vector<const outline::HeadingNode *> preOrder(
    const std::vector<const outline::HeadingNode *> &tops)
{
    std::vector<const outline::HeadingNode *> order;
    std::vector<const outline::HeadingNode *> stack(tops.rbegin(), tops.rend());
    while (!stack.empty()) {
        const outline::HeadingNode *node = stack.back();
        stack.pop_back();
        order.push_back(node);
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            stack.push_back(child->get());
    }
    return order;
}

class Collector
{
public:
    explicit Collector(BookmarksToCheck &out)
        : m_out(out)
    {
    }

    int heading(const outline::HeadingNode *node)
    {
        m_out.headings.push_back({node->key, titlesOf(node)});
        return static_cast<int>(m_out.headings.size()) - 1;
    }

    void add(int heading, qint64 id, QString name, const QString &link)
    {
        const QString text = link.trimmed();
        auto found = m_linkIndex.constFind(text);
        if (found == m_linkIndex.constEnd()) {
            found = m_linkIndex.insert(text, static_cast<int>(m_out.links.size()));
            m_out.links << text;
        }
        m_out.bookmarks.push_back({id, heading, *found, std::move(name)});
    }

private:
    BookmarksToCheck &m_out;
    QHash<QString, int> m_linkIndex;
};

BookmarksToCheck bookmarksUnder(
    outline::Workspace &workspace, const std::vector<const outline::HeadingNode *> &tops)
{
    BookmarksToCheck out;
    store::Database *db = workspace.document().database();
    if (!db)
        return out;
    const std::vector<const outline::HeadingNode *> headings = preOrder(tops);
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(headings.size()));
    for (const outline::HeadingNode *node : headings)
        keys << node->key;
    // One pass over the table for every heading.
    std::vector<std::vector<store::NamedLink>> rows = store::BookmarkTable(*db).liveLinksOf(keys);
    Collector collect(out);
    for (size_t i = 0; i < headings.size(); ++i) {
        if (rows[i].empty())
            continue;
        const int heading = collect.heading(headings[i]);
        for (store::NamedLink &row : rows[i])
            collect.add(heading, row.id, std::move(row.name), row.link);
        std::vector<store::NamedLink>().swap(rows[i]);
    }
    return out;
}

} // namespace

BookmarksToCheck documentBookmarks(outline::Workspace &workspace)
{
    std::vector<const outline::HeadingNode *> tops;
    for (const auto &top : workspace.tree().topLevel())
        tops.push_back(top.get());
    return bookmarksUnder(workspace, tops);
}

BookmarksToCheck headingBookmarks(
    outline::Workspace &workspace, const outline::HeadingNode *heading)
{
    if (!heading)
        return {};
    return bookmarksUnder(workspace, {heading});
}

BookmarksToCheck selectedBookmarks(outline::Workspace &workspace)
{
    BookmarksToCheck out;
    store::Database *db = workspace.document().database();
    outline::BookmarkList &list = workspace.list();
    const outline::HeadingNode *node = workspace.tree().findByKey(list.listedHeading());
    if (!db || !node)
        return out;
    const QStringList keys = list.selectedBookmarks();
    if (keys.isEmpty())
        return out;
    const store::BookmarkTable table(*db);
    Collector collect(out);
    const int heading = collect.heading(node);
    for (const QString &key : keys) {
        if (const auto row = table.findLive(node->key, key, store::Thumbnail::Skip))
            collect.add(heading, row->id, row->name, row->link);
    }
    return out;
}

} // namespace quillet::links
