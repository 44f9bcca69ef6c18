// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/DesktopServices.h"
#include "gui/platform/QtBrowserShell.h"
#include "gui/platform/QtMessageBoxes.h"

namespace quillet::platform {

// Links go to the browser through OpenInBrowser; files and other addresses
// to the desktop's handlers.
class QtDesktopServices : public DesktopServices
{
public:
    // OpenInBrowser's failures are told through `messages`; none: message
    // boxes of their own.
    explicit QtDesktopServices(MessageBoxes *messages = nullptr)
        : m_messages(messages)
    {
    }
    void setMessages(MessageBoxes *messages) { m_messages = messages; }

    bool openLink(const QString &link) override;
    bool openFile(const QString &path) override;
    bool openUrl(const QString &url) override;

private:
    QtBrowserShell m_shell;
    QtMessageBoxes m_ownMessages;
    MessageBoxes *m_messages;
};

} // namespace quillet::platform
