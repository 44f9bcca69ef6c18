// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::links {

// What a check found out about one link.
enum class Verdict
{
    Unchecked, // not (yet) checked: the check is under way or was stopped
    Ok,
    Moved, // every redirect from the link on was permanent and the end answered well
    Dead,
    Skipped // not a link the checker can follow (mailto:, javascript:, empty, ...)
};

struct LinkResult
{
    Verdict verdict = Verdict::Unchecked;
    // Dead: the status ("404 Not Found") or the error; Skipped: why.
    QString detail;
    // Moved: where the link leads now.
    QString newLink;
};

// "ok", "moved", "dead", "skipped" ("unchecked" for none yet), as scripts
// read them.
QString verdictWord(Verdict verdict);

} // namespace quillet::links
