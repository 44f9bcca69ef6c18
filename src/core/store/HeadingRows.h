// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace quillet::store {

class Database;

// One tbNodes row: a heading and the key of its parent ("0" for the root).
struct HeadingRow
{
    QString parentKey;
    QString title;
    QString key;
    int image = 0;
    int expandedImage = 0;
};

// The number of rows in tbNodes.
qint64 countHeadingRows(Database &db);

// Hands every tbNodes row to `visit`, in stored order. Read straight from
// the engine: a document may hold many thousands of headings and this runs
// at every open. Engine errors, and whatever `visit` throws, propagate.
void readHeadingRows(Database &db, const std::function<void(const HeadingRow &)> &visit);

// Replaces tbNodes with `rows`, written in the given order (parents first);
// `written` is called after each row. A row that cannot be written fails the
// whole call: skipping it would orphan its sub-headings.
void replaceHeadingRows(
    Database &db, const std::vector<HeadingRow> &rows, const std::function<void()> &written = {});

} // namespace quillet::store
