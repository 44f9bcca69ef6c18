#pragma once

#include <QString>

namespace quillet::platform {

// What the logic asks of the desktop besides dialogs: opening a link in the
// user's browser and opening a file with its associated program.
class DesktopServices
{
public:
    virtual ~DesktopServices() = default;
    virtual bool openLink(const QString &link) = 0;
    virtual bool openFile(const QString &path) = 0;
};

} // namespace quillet::platform
