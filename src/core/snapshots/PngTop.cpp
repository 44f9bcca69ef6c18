#include "snapshots/PngTop.h"

#include <QSysInfo>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillet::snapshots {

namespace {

struct Source
{
    const QByteArray *bytes = nullptr;
    qsizetype at = 0;
    QImage image;
};

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
    source->image = QImage(
        static_cast<int>(width), count, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (source->image.isNull()) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    for (int y = 0; y < count; ++y)
        png_read_row(png, source->image.scanLine(y), nullptr);
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

} // namespace quillet::snapshots
