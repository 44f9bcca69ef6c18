// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ListFont.h"

#include "core/settings/Settings.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <cmath>

namespace quillet {

namespace {

// Sizes a font can take; the upper bound keeps a stray value from making
// the views unusable.
constexpr double kLargestFontSize = 2048;

double pointSize(const QFont &font)
{
    const double size = font.pointSizeF();
    return size > 0 ? size : QFontInfo(font).pointSizeF(); // a pixel-sized font
}

} // namespace

QFont resolveListFont(OptionSettings &options, const QFont &windowFont)
{
    QFont font = windowFont;
    if (options.fontName.isEmpty())
        options.fontName = windowFont.family();
    if (QFontDatabase::hasFamily(options.fontName)) {
        font.setFamily(options.fontName);
    } else {
        options.fontName = windowFont.family();
        font.setFamily(options.fontName);
    }

    bool ok = false;
    const double size = options.fontSize.trimmed().toDouble(&ok);
    if (ok && std::isfinite(size) && size > 0 && size <= kLargestFontSize) {
        font.setPointSizeF(size);
    } else {
        const double fallback = pointSize(windowFont);
        options.fontSize = QString::number(fallback);
        if (fallback > 0)
            font.setPointSizeF(fallback);
    }
    return font;
}

} // namespace quillet
