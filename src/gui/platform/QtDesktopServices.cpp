// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/QtDesktopServices.h"

#include "core/pages/BrowserOpening.h"

#include <QDesktopServices>
#include <QUrl>

namespace quillet::platform {

bool QtDesktopServices::openLink(const QString &link)
{
    return pages::openInBrowser(link, m_shell, m_messages ? *m_messages : m_ownMessages);
}

bool QtDesktopServices::openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDesktopServices::openUrl(const QString &url)
{
    return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

} // namespace quillet::platform
