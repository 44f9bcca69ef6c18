// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::platform {

// What the logic asks of the desktop besides dialogs: opening a link in the
// user's browser and opening a file with its associated program.
class DesktopServices
{
public:
    virtual ~DesktopServices() = default;
    // OpenInBrowser: the user's browser; tells the user when it fails.
    virtual bool openLink(const QString &link) = 0;
    // The file's associated program; reports nothing.
    virtual bool openFile(const QString &path) = 0;
    // Any other address (a "mailto:" link) to its handler; reports nothing.
    // Doubles that do not care about it may leave it alone.
    virtual bool openUrl(const QString &url)
    {
        Q_UNUSED(url);
        return false;
    }
};

} // namespace quillet::platform
