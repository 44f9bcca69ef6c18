// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/LinkResult.h"

namespace quillet::links {

QString verdictWord(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok:
        return QStringLiteral("ok");
    case Verdict::Moved:
        return QStringLiteral("moved");
    case Verdict::Dead:
        return QStringLiteral("dead");
    case Verdict::Skipped:
        return QStringLiteral("skipped");
    case Verdict::Unchecked:
        break;
    }
    return QStringLiteral("unchecked");
}

} // namespace quillet::links
