// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace quillet::snapshots {

// The first `rows` rows of the PNG file `bytes`, decoding no further, as
// RGB32 (ARGB32 when it has transparency). Null for anything that is not a
// plain PNG or is damaged in those rows, for interlaced files, whose top
// needs the whole file (the caller then reads the whole picture), and when
// the rows would take more than kLargestPictureBytes.
QImage readPngTop(const QByteArray &bytes, int rows);

// The same rows scaled down to `size` (each pixel the average of the source
// pixels it covers), decoded one row at a time: the memory taken is that of
// `size` and of a single row, however large the picture. Null as above, and
// when `size` is larger than those rows.
QImage readPngTopScaled(const QByteArray &bytes, int rows, QSize size);

} // namespace quillet::snapshots
