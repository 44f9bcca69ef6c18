// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/snapshots/CaptureLimits.h"

#include <QUrl>
#include <algorithm>
#include <cmath>

namespace quillet::snapshots {

namespace {

constexpr qint64 kLargestPixels = kLargestPictureBytes / 4;

} // namespace

bool fitsPictureMemory(QSize size)
{
    return size.width() >= 0 && size.height() >= 0
        && qint64(size.width()) * size.height() <= kLargestPixels;
}

QSize capturedPart(QSize page)
{
    const qint64 width = std::clamp(page.width(), 0, kLargestSide);
    const qint64 height = std::clamp(page.height(), 0, kLargestSide);
    if (width * height <= kLargestPixels)
        return QSize(int(width), int(height));
    // A square of the largest area, unless the page is narrower than that.
    const qint64 square = qint64(std::sqrt(double(kLargestPixels)));
    const qint64 keptWidth = std::min(width, std::max(square, kLargestPixels / height));
    return QSize(int(keptWidth), int(std::min(height, kLargestPixels / keptWidth)));
}

bool isCapturableLink(const QString &link)
{
    const QString scheme = QUrl::fromUserInput(link.trimmed()).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("file");
}

QString cutPageStatus(QSize page, QSize kept)
{
    return QStringLiteral("The page (%1 x %2 pixels) is larger than a picture may be; its "
                          "top-left %3 x %4 pixels were captured.")
        .arg(page.width())
        .arg(page.height())
        .arg(kept.width())
        .arg(kept.height());
}

QString skippedLinkStatus()
{
    return QStringLiteral("Skipped: only http, https and file links are captured.");
}

} // namespace quillet::snapshots
