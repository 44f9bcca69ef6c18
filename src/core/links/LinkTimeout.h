// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::links {

// How long the link check waits for a server, in seconds: the "Timeout"
// key of the "Links" section of option.ini, 1 to 3600; 15 when missing or
// out of range. Read when a check window opens; Quillet never writes it.
int storedLinkTimeoutSeconds();
int storedLinkTimeoutSeconds(const QString &optionIni);

} // namespace quillet::links
