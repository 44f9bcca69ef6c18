// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <memory>

namespace quillet::platform {

// One running Quillet per application home: the first instance holds a lock
// file there until it ends; a killed holder's stale lock is taken over.
class SingleInstance
{
public:
    SingleInstance();
    bool isFirst() const { return m_first; }
    // Not first because another Quillet holds the lock (rather than because
    // the lock file could not be made at all).
    bool heldByAnother() const { return m_lock->error() == QLockFile::LockFailedError; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};

} // namespace quillet::platform
