// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::store {

class Database;

// The check a document from elsewhere passes before it is loaded. Shape:
// exactly our tables and index and nothing that runs code (no triggers, no
// views), a free list that fits the file; small documents get the engine's
// whole structural check on top. Whole: on larger documents also every page
// of the bookmark table and its index read, with as many index entries as
// rows. Throws EngineError (NotAValidDocument) on the first fault; true
// when the whole document was checked.
enum class CheckDepth
{
    Shape,
    Whole
};
bool checkDocument(Database &db, CheckDepth depth = CheckDepth::Whole);

} // namespace quillet::store
