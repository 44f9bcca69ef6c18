#pragma once

#include <QByteArray>
#include <QImage>

namespace quillet::snapshots {

// The first `rows` rows of the PNG file `bytes`, decoding no further, as
// RGB32 (ARGB32 when it has transparency). Null for anything that is not a
// plain PNG or is damaged in those rows, and for interlaced files, whose top
// needs the whole file; the caller then reads the whole picture.
QImage readPngTop(const QByteArray &bytes, int rows);

} // namespace quillet::snapshots
