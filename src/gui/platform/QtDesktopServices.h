#pragma once

#include "platform/DesktopServices.h"

namespace quillet::platform {

class QtDesktopServices : public DesktopServices
{
public:
    bool openLink(const QString &link) override;
    bool openFile(const QString &path) override;
};

} // namespace quillet::platform
