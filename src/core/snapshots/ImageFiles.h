// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

namespace quillet::snapshots {

// Picture files and thumbnails, shared by "Search for picture" and the
// snapshot window. Everything happens in memory: no work files are written
// next to the program.

constexpr int kThumbnailWidth = 180;
constexpr int kThumbnailHeight = 132;
constexpr int kJpegQuality = 90;

// The folder pictures are written to. When `folder` (option.ini's
// ImageFolder) is not an existing folder it becomes the application home's
// "images" folder, created when missing. Empty when no folder can be made.
QString ensureImageFolder(QString &folder);

// A new picture name in `folder`: the 14-digit stamp of `when`
// ("yyyyMMddhhmmss") and "." + `extension` (nothing for an empty one). When
// that file exists already (two pictures in the same second) "_2", "_3", ...
// follow the stamp, so no picture overwrites another.
QString uniquePictureName(const QString &folder, const QDateTime &when, const QString &extension);

// Loads `source`, whatever its format, and writes it to `target` as PNG, or
// as JPEG of quality 90. The target is replaced only by a complete file;
// false when loading or writing failed.
bool convertToPng(const QString &source, const QString &target);
bool convertToJpeg(const QString &source, const QString &target);
// The same for a picture already in memory (a captured page).
bool savePng(const QImage &image, const QString &target);

// A size fitted into a box and centred there; a smaller picture is never
// enlarged. Width and height are at least 1.
struct Fit
{
    QSize size;
    QPoint offset;
};
Fit bestFit(QSize source, QSize box);

// Where a picture of `source` size lands on the 180 x 132 thumbnail: wide
// pictures fit the whole canvas; tall ones are fitted 160 wide and keep
// their top part.
Fit thumbnailPlacement(QSize source);

// Fills the thumbnail's margins and the transparent parts of a picture:
// white, like the paper most pages and photos are shown on.
QColor thumbnailBackground();

// The thumbnail of a picture as the bytes of a 180 x 132 JPEG file; empty
// for a null image or when encoding fails.
QByteArray thumbnailOf(const QImage &image);
// The thumbnail of a picture file. None when no file exists at `path` (the
// bookmark's thumbnail is then left alone); empty when it is no picture.
// Large pictures are decoded only as far as the thumbnail needs.
std::optional<QByteArray> makeThumbnail(const QString &path);

} // namespace quillet::snapshots
