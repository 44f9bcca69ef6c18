// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

namespace quillet::snapshots {

// The most pixel memory a capture, a picture or a thumbnail may take at once:
// 256 MB of 32-bit pixels.
inline constexpr qint64 kLargestPictureBytes = qint64(256) * 1024 * 1024;
// The longest side a captured picture may have.
inline constexpr int kLargestSide = 32767;

// True when a picture of `size` fits within kLargestPictureBytes.
bool fitsPictureMemory(QSize size);

// The part of a page of `page` device pixels a capture keeps: its top-left
// part, at most kLargestSide on each side and kLargestPictureBytes in all.
// A page too large for that keeps its whole width up to a square of the
// same area, and as many rows as then fit.
QSize capturedPart(QSize page);

// Only web pages and local files are captured: a link the snapshot window
// would run (javascript:) or that names no page (data:, mailto:, ...) is
// skipped. Links without a scheme count as web addresses.
bool isCapturableLink(const QString &link);

// What the status says of a page cut to its top-left part.
QString cutPageStatus(QSize page, QSize kept);
// What the status says of a link that is skipped.
QString skippedLinkStatus();

} // namespace quillet::snapshots
