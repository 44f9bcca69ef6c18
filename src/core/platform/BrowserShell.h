// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::platform {

// The desktop's shell as OpenInBrowser uses it: which program opens a file
// of a kind, and starting that program.
class BrowserShell
{
public:
    virtual ~BrowserShell() = default;
    // The program that opens `file` (an existing file); empty when there is
    // none or the file does not exist.
    virtual QString programFor(const QString &file) = 0;
    // Starts `program` with `argument` as its one parameter; false when it
    // could not be started.
    virtual bool start(const QString &program, const QString &argument) = 0;
};

} // namespace quillet::platform
