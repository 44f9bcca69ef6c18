// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgressView.h"

#include <QCoreApplication>

namespace quillet::platform {

void yieldToEventLoop()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace quillet::platform
