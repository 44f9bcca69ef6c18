// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/BrowserShell.h"
#include "core/platform/DesktopServices.h"
#include "core/platform/MessageBoxes.h"

#include <QString>

namespace quillet::pages {

// OpenInBrowser: opens `url` with the program the desktop opens ".htm" files
// with, found through the probe file "tTestMe.htm" in the application home.
// Tells the user when there is no such program or it does not start; the
// probe file is gone afterwards in every case. True when the browser started.
bool openInBrowser(
    const QString &url, platform::BrowserShell &shell, platform::MessageBoxes &messages);

// The Help menu's openings; none reports a failure.
// miHContent: the help file "Quillet.chm" in the application home.
void openHelpContent(platform::DesktopServices &desktop);
// miHHomepage: the vendor's home page, through OpenInBrowser.
void openVendorHomePage(platform::DesktopServices &desktop);
// miHSendMail: a mail to the vendor's support address.
void sendMailToVendor(platform::DesktopServices &desktop);
QString vendorMailLink();

} // namespace quillet::pages
