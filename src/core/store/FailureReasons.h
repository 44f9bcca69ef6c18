// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/EngineError.h"

#include <QString>

namespace quillet::store {

// Why a document or file could not be used, in the user's words, for the
// end of a message: "The disk is full.", "The file or its folder is
// read-only.", "It is open in another program.", "It is not a Quillet
// document, or its password is wrong."; any other failure gives the
// engine's own description.
QString reasonOf(const EngineError &error);

// The same for a failed file operation, from its errno.
QString reasonOfFileError(int error);

} // namespace quillet::store
