#include "platform/ProgressView.h"

#include <QCoreApplication>

namespace quillet::platform {

void yieldToEventLoop()
{
    QCoreApplication::processEvents();
}

} // namespace quillet::platform
