#include "platform/QtDesktopServices.h"

#include <QDesktopServices>
#include <QUrl>

namespace quillet::platform {

bool QtDesktopServices::openLink(const QString &link)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(link));
}

bool QtDesktopServices::openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quillet::platform
