// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/shell/AddRequest.h"

#include <optional>

namespace quillet::platform {
class SingleInstance;
}

namespace quillet::shell {

// `quillet --add` before any window exists. A bad request is refused at once
// (exit code 2). When another Quillet holds this home's lock, the request is
// handed to it and its answer printed (exit code 0 when added, 1 when not).
// Nothing when this process holds the lock: it starts and adds the link
// itself.
std::optional<int> handAddRequestOver(
    const AddRequest &request, const platform::SingleInstance &lock);

// How long a second start waits for the running instance to answer (it may
// still be starting).
inline constexpr int kHandOverWaitMs = 20000;

} // namespace quillet::shell
