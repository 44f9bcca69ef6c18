// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/LinkTimeout.h"

#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"

namespace quillet::links {

int storedLinkTimeoutSeconds()
{
    return storedLinkTimeoutSeconds(optionIniPath());
}

int storedLinkTimeoutSeconds(const QString &optionIni)
{
    constexpr int kDefault = 15;
    const IniDocument ini(optionIni);
    const int seconds
        = iniInteger(ini.value(QStringLiteral("Links"), QStringLiteral("Timeout")), kDefault);
    return seconds >= 1 && seconds <= 3600 ? seconds : kDefault;
}

} // namespace quillet::links
