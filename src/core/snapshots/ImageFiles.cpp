// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/snapshots/ImageFiles.h"

#include "core/settings/Settings.h"
#include "core/snapshots/CaptureLimits.h"
#include "core/snapshots/PngTop.h"
#include "core/store/DocumentHold.h"
#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quillet::snapshots {

namespace {

// The nearest integer; halves go to the even neighbour.
int roundToInt(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

QImage readImage(const QString &path)
{
    // Closing a descriptor of the open document would drop the engine's locks.
    if (store::DocumentHold::isHeldHere(path))
        return QImage();
    // By content: a ".bmp" that holds a PNG is still a picture.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

bool writeImage(const QImage &image, const QString &target, const char *format, int quality)
{
    if (image.isNull())
        return false;
    try {
        store::FileReplacement file(target);
        QImageWriter writer(&file.device(), format);
        writer.setQuality(quality);
        if (!writer.write(image))
            return false;
        file.commit();
        return true;
    } catch (const store::EngineError &) {
        return false;
    }
}

// The canvas with the scaled picture at `offset`, as JPEG bytes; rows below
// the canvas are cut off.
QByteArray encodeThumbnail(const QImage &scaled, QPoint offset)
{
    QImage canvas(kThumbnailWidth, kThumbnailHeight, QImage::Format_RGB32);
    canvas.fill(thumbnailBackground());
    {
        QPainter painter(&canvas);
        painter.drawImage(offset, scaled);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(canvas))
        return {};
    return bytes;
}

// How many rows of the source stay on the canvas: for a long page a small
// top part.
int rowsShown(QSize source, const Fit &place)
{
    const int rows = std::min(place.size.height(), kThumbnailHeight);
    return std::min(source.height(),
        static_cast<int>(
            std::ceil(static_cast<double>(rows) * source.height() / place.size.height())));
}

// `top`, the rows of the source that stay on the canvas, scaled and drawn.
QByteArray drawTop(const QImage &top, const Fit &place)
{
    const QSize size(place.size.width(), std::min(place.size.height(), kThumbnailHeight));
    if (top.size() == size)
        return encodeThumbnail(top, place.offset);
    return encodeThumbnail(
        top.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), place.offset);
}

} // namespace

QString ensureImageFolder(QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = defaultImageFolder();
        if (!QDir().mkpath(folder))
            return {};
    }
    return folder;
}

QString uniquePictureName(const QString &folder, const QDateTime &when, const QString &extension)
{
    const QString stamp = when.toString(QStringLiteral("yyyyMMddhhmmss"));
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    QString name = stamp + suffix;
    for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + name); ++n)
        name = stamp + QLatin1Char('_') + QString::number(n) + suffix;
    return name;
}

bool convertToPng(const QString &source, const QString &target)
{
    return writeImage(readImage(source), target, "png", -1);
}

bool convertToJpeg(const QString &source, const QString &target)
{
    return writeImage(readImage(source), target, "jpeg", kJpegQuality);
}

bool savePng(const QImage &image, const QString &target)
{
    return writeImage(image, target, "png", -1);
}

Fit bestFit(QSize source, QSize box)
{
    int width = source.width();
    int height = source.height();
    if (box.width() < width || box.height() < height) {
        const float sx = static_cast<float>(box.width()) / static_cast<float>(width);
        const float sy = static_cast<float>(box.height()) / static_cast<float>(height);
        if (sx >= sy) {
            height = box.height();
            width = roundToInt(static_cast<float>(source.width()) * sy);
        } else {
            width = box.width();
            height = roundToInt(static_cast<float>(source.height()) * sx);
        }
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return {{width, height}, {(box.width() - width) / 2, (box.height() - height) / 2}};
}

Fit thumbnailPlacement(QSize source)
{
    const qint64 w = source.width();
    const qint64 h = source.height();
    QSize box(kThumbnailWidth, kThumbnailHeight);
    // Taller than 132 / 160: a page, fitted 160 wide.
    if (w >= 1 && h >= 1 && h * 160 > w * kThumbnailHeight)
        box = QSize(160, roundToInt(160.0 * static_cast<double>(h) / static_cast<double>(w)));
    Fit fit = bestFit(source, box);
    const QSize size = fit.size;
    fit.offset = QPoint((kThumbnailWidth - size.width()) / 2,
        size.height() <= kThumbnailHeight ? (kThumbnailHeight - size.height()) / 2 : 0);
    return fit;
}

QColor thumbnailBackground()
{
    return Qt::white;
}

QByteArray thumbnailOf(const QImage &image)
{
    if (image.isNull())
        return {};
    const Fit place = thumbnailPlacement(image.size());
    const int rows = rowsShown(image.size(), place);
    return drawTop(rows < image.height() ? image.copy(0, 0, image.width(), rows) : image, place);
}

std::optional<QByteArray> makeThumbnail(const QString &path)
{
    if (!QFileInfo(path).isFile() || store::DocumentHold::isHeldHere(path))
        return std::nullopt;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && !size.isEmpty()) {
        const Fit place = thumbnailPlacement(size);
        // JPEG scales while decoding; of a PNG page only the top is decoded.
        // Either skips most of the work on a large picture.
        if (reader.format() == "jpeg") {
            reader.setScaledSize(place.size);
            if (place.size.height() > kThumbnailHeight)
                reader.setScaledClipRect(QRect(0, 0, place.size.width(), kThumbnailHeight));
            const QImage scaled = reader.read();
            if (scaled.isNull())
                return QByteArray();
            return encodeThumbnail(scaled, place.offset);
        }
        QFile file(path);
        if (reader.format() == "png" && file.open(QIODevice::ReadOnly)) {
            // Mapped, and scaled row by row: neither the file nor the
            // picture is ever held whole.
            const qint64 length = file.size();
            uchar *mapped = length > 0 ? file.map(0, length) : nullptr;
            const QByteArray bytes = mapped
                ? QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), length)
                : file.readAll();
            const QSize shown(place.size.width(), std::min(place.size.height(), kThumbnailHeight));
            const QImage top = readPngTopScaled(bytes, rowsShown(size, place), shown);
            if (!top.isNull())
                return encodeThumbnail(top, place.offset);
        }
        // Anything else is decoded whole: never past the memory bound.
        if (!fitsPictureMemory(size))
            return QByteArray();
    }
    return thumbnailOf(reader.read());
}

} // namespace quillet::snapshots
