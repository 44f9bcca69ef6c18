// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/HeadingTreeModel.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace quillet::outline {

// What one edit did to the heading tree, in order, so that it can be played
// back. Headings are named by key; a heading that left the tree is kept here
// whole, with everything below it, so an undo puts the very nodes back.
class TreeLog
{
public:
    enum class Kind
    {
        Inserted, // heading `key` came
        Removed, // `subtree` left child `row` of `parentKey`
        Moved, // heading `key` left child `row` of `parentKey`
        Titled, // heading `key` had title `text`
        Imaged, // heading `key` had icons `image`, `expandedImage`
        Rekeyed, // the heading now keyed `key` had key `text`
        Reordered, // heading `key` had adding order `order`
    };
    struct Entry
    {
        Entry(Kind kind, QString key, QString parentKey = {}, QString text = {})
            : kind(kind)
            , key(std::move(key))
            , parentKey(std::move(parentKey))
            , text(std::move(text))
        {
        }

        Kind kind = Kind::Inserted;
        QString key;
        QString parentKey; // empty: top level
        QString text;
        int row = 0;
        int image = 0;
        int expandedImage = 0;
        quint64 order = 0;
        std::unique_ptr<HeadingNode> subtree;
    };

    bool isEmpty() const { return m_entries.empty(); }
    std::vector<Entry> &entries() { return m_entries; }
    const std::vector<Entry> &entries() const { return m_entries; }
    void add(Entry entry) { m_entries.push_back(std::move(entry)); }
    int count(Kind kind) const
    {
        int n = 0;
        for (const Entry &e : m_entries)
            n += e.kind == kind ? 1 : 0;
        return n;
    }

private:
    std::vector<Entry> m_entries;
};

// Where the heading tree reports its changes while the document keeps a
// history.
class TreeJournal
{
public:
    virtual ~TreeJournal() = default;
    // The log of the edit under way; null records nothing.
    virtual TreeLog *treeLog() = 0;
    // The tree was emptied (New, Open, a failed load): no step before it can
    // be played back.
    virtual void treeCleared() = 0;
};

} // namespace quillet::outline
