// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/BrowserShell.h"

namespace quillet::platform {

// The free desktop's answer to "which program opens .htm files":
// `xdg-mime query default text/html`, then that application's desktop entry.
class QtBrowserShell : public BrowserShell
{
public:
    QString programFor(const QString &file) override;
    bool start(const QString &program, const QString &argument) override;
};

} // namespace quillet::platform
