// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/BrowserOpening.h"

#include "core/common/AppHome.h"
#include "core/common/Strings.h"
#include "core/common/Vendor.h"

#include <QFile>

namespace quillet::pages {

bool openInBrowser(
    const QString &url, platform::BrowserShell &shell, platform::MessageBoxes &messages)
{
    // The desktop is asked about a real ".htm" file, as it would be for any
    // page the user opens.
    const QString probe = common::homePath(QStringLiteral("tTestMe.htm"));
    {
        QFile file(probe);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write("<HTML> <\\HTML>\r\n");
    }
    const QString program = shell.programFor(probe).trimmed();
    const bool found = !program.isEmpty();
    const bool started = found && shell.start(program, url);
    QFile::remove(probe);

    if (!found) {
        messages.show(QStringLiteral("Can not open your browser!"),
            platform::MessageIcon::Exclamation, platform::MessageButtons::Ok,
            QStringLiteral("Browser Not Found..."));
    } else if (!started) {
        messages.show(QStringLiteral("Web page failed to be opened."),
            platform::MessageIcon::Exclamation, platform::MessageButtons::Ok,
            QStringLiteral("Website URL Failed..."));
    }
    return started;
}

void openHelpContent(platform::DesktopServices &desktop)
{
    desktop.openFile(common::homePath(QStringLiteral("Quillet.chm")));
}

void openVendorHomePage(platform::DesktopServices &desktop)
{
    desktop.openLink(QString::fromLatin1(strings::kVendorHomePage));
}

QString vendorMailLink()
{
    return QStringLiteral("Mailto:") + QString::fromLatin1(strings::kVendorSupportMail)
        + QStringLiteral("?Subject=about ") + QString::fromLatin1(strings::kTitle)
        + QLatin1Char(' ') + QString::fromLatin1(strings::kVersion);
}

void sendMailToVendor(platform::DesktopServices &desktop)
{
    desktop.openUrl(vendorMailLink());
}

} // namespace quillet::pages
