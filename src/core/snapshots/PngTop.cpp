// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/snapshots/PngTop.h"

#include "core/snapshots/CaptureLimits.h"

#include <QSysInfo>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace quillet::snapshots {

namespace {

struct Source
{
    const QByteArray *bytes = nullptr;
    qsizetype at = 0;
    QImage image;
    // When set, the rows are averaged into `image` of this size, one at a
    // time through `row`.
    QSize scaledTo;
    std::vector<uchar> row;
    std::vector<quint64> sums; // per target pixel and channel, for one target row
};

// Adds one decoded source row (BGRA) to the sums of its target row.
void addRow(Source &s, const uchar *row, int width)
{
    const int targetWidth = s.scaledTo.width();
    for (int x = 0; x < width; ++x) {
        const size_t tx = size_t(qint64(x) * targetWidth / width);
        quint64 *sum = &s.sums[tx * 5];
        for (int c = 0; c < 4; ++c)
            sum[c] += row[x * 4 + c];
        ++sum[4];
    }
}

// Writes the averages of the sums into target row `y` and clears them.
void flushRow(Source &s, int y)
{
    uchar *out = s.image.scanLine(y);
    for (int tx = 0; tx < s.scaledTo.width(); ++tx) {
        quint64 *sum = &s.sums[size_t(tx) * 5];
        const quint64 count = std::max<quint64>(sum[4], 1);
        for (int c = 0; c < 4; ++c)
            out[tx * 4 + c] = uchar((sum[c] + count / 2) / count);
        std::fill(sum, sum + 5, 0);
    }
}

void readBytes(png_structp png, png_bytep data, size_t length)
{
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    if (static_cast<size_t>(source->bytes->size() - source->at) < length)
        png_error(png, "short file");
    std::memcpy(data, source->bytes->constData() + source->at, length);
    source->at += static_cast<qsizetype>(length);
}

// Warnings are no failures; errors end the read through png_error.
void ignoreWarning(png_structp, png_const_charp)
{
}

// Only plain C objects live in this frame, so the error jump skips no
// destructor; everything else stays in `source`.
bool decode(Source *source, int rows)
{
    png_structp png
        = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, source, readBytes);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE || width == 0 || height == 0
        || width > 65535 || height > 1000000) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // To 8-bit BGRA, the byte order of QImage's 32-bit formats here.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    const bool alpha = png_get_valid(png, info, PNG_INFO_tRNS)
        || (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA);
    png_read_update_info(png, info);
    const int count = std::min(rows, static_cast<int>(height));
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QSize scaled = source->scaledTo;
    if (scaled.isValid()) {
        if (scaled.width() > int(width) || scaled.height() > count || scaled.isEmpty()) {
            png_destroy_read_struct(&png, &info, nullptr);
            return false;
        }
        source->image = QImage(scaled, format);
        source->row.resize(size_t(width) * 4);
        source->sums.assign(size_t(scaled.width()) * 5, 0);
    } else if (fitsPictureMemory(QSize(int(width), count))) {
        source->image = QImage(static_cast<int>(width), count, format);
    }
    if (source->image.isNull()) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    for (int y = 0; y < count; ++y) {
        if (!scaled.isValid()) {
            png_read_row(png, source->image.scanLine(y), nullptr);
            continue;
        }
        png_read_row(png, source->row.data(), nullptr);
        const int target = int(qint64(y) * scaled.height() / count);
        addRow(*source, source->row.data(), int(width));
        if (y + 1 == count || int(qint64(y + 1) * scaled.height() / count) != target)
            flushRow(*source, target);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

QImage readPngTop(const QByteArray &bytes, int rows)
{
    if (rows < 1 || QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return {};
    auto source = std::make_unique<Source>();
    source->bytes = &bytes;
    if (!decode(source.get(), rows))
        return {};
    return std::move(source->image);
}

QImage readPngTopScaled(const QByteArray &bytes, int rows, QSize size)
{
    if (rows < 1 || size.isEmpty() || QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return {};
    auto source = std::make_unique<Source>();
    source->bytes = &bytes;
    source->scaledTo = size;
    if (!decode(source.get(), rows))
        return {};
    return std::move(source->image);
}

} // namespace quillet::snapshots
