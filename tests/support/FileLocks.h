// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::test {

// The locks the kernel lists for one file (/proc/locks).
struct FileLocks
{
    int holds = 0; // open-file-description locks on the hold's byte
    int engineLocksHere = 0; // fcntl locks this process has on the file
};
FileLocks locksOn(const QString &path);

// Exit status of `quillet-cli list path` run as a second process
// (3: refused because the document is held).
int secondProcessLists(const QString &cli, const QString &path);

} // namespace quillet::test
