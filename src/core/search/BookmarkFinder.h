// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/SearchModels.h"

#include <QStringList>

namespace quillet::outline {
class Workspace;
}

namespace quillet::search {

// The find window (frmFind) without its window: the scopes, the rule for the
// Find button, the search into the result list, and the jump to a hit in the
// main window. Messages go through the workspace's message boxes.
class BookmarkFinder
{
public:
    explicit BookmarkFinder(outline::Workspace &workspace);

    // The scope list, in order; position 0 is chosen when the window opens.
    static QStringList scopeNames();
    // Find is enabled exactly when the text, trimmed, is not empty.
    static bool canFind(const QString &text);
    static QString notFoundMessage(const QString &text);
    static QString headingGoneMessage();

    FindResultsModel &results() { return m_results; }
    // Clear results is enabled after a search that listed hits.
    bool canClear() const { return m_canClear; }

    // Searches for `text` as typed (blanks kept) in scope `scope` (a
    // position of scopeNames()). A search that finds nothing says so and
    // keeps the earlier hits. Engine errors pass to the caller.
    void find(const QString &text, int scope);
    void clearResults();
    // Shows hit `row` in the main window: its heading selected and listed,
    // the entry of its name selected. Says so when the heading is gone.
    void jumpTo(int row);

private:
    outline::Workspace &m_ws;
    FindResultsModel m_results;
    bool m_canClear = false;
};

} // namespace quillet::search
