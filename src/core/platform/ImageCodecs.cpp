// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/ImageCodecs.h"

#include <QImageReader>
#include <QImageWriter>

namespace quillet::platform {

QStringList missingImageCodecs()
{
    QStringList missing;
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    for (const char *format : {"bmp", "gif", "jpeg", "png"}) {
        if (!readable.contains(QByteArray(format)))
            missing << QStringLiteral("read %1").arg(QLatin1String(format));
    }
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    for (const char *format : {"png", "jpeg"}) {
        if (!writable.contains(QByteArray(format)))
            missing << QStringLiteral("write %1").arg(QLatin1String(format));
    }
    return missing;
}

} // namespace quillet::platform
