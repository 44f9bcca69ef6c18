// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/SingleInstance.h"

#include "core/common/AppHome.h"

namespace quillet::platform {

SingleInstance::SingleInstance()
    : m_lock(std::make_unique<QLockFile>(common::homePath(QStringLiteral("quillet.lock"))))
{
    m_lock->setStaleLockTime(0); // only a dead process's lock is stale
    m_first = m_lock->tryLock(0);
}

} // namespace quillet::platform
