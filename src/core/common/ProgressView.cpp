// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/ProgressView.h"

#include <QCoreApplication>

namespace quillet::common {

void yieldToEventLoop()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace quillet::common
