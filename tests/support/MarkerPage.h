// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <cstdlib>

namespace quillet::test {

// A page of coloured blocks whose colours follow from their place, so a
// captured picture can be checked anywhere without a reference file.
struct MarkerPage
{
    static constexpr int kBlockW = 160;
    static constexpr int kBlockH = 150;
    QSize size {1280, 6000};

    int columns() const { return size.width() / kBlockW; }
    int rows() const { return size.height() / kBlockH; }
    static QColor colorOf(int row, int column)
    {
        return QColor((column * 37 + 11) % 256, (row * 23 + 7) % 256, ((row + column) * 53) % 256);
    }
    // The centre of a block.
    static QPoint centreOf(int row, int column)
    {
        return QPoint(column * kBlockW + kBlockW / 2, row * kBlockH + kBlockH / 2);
    }

    QString html() const
    {
        QString page = QStringLiteral("<!DOCTYPE html><html><head><style>"
                                      "html,body{margin:0;padding:0}"
                                      "div{position:absolute;width:%1px;height:%2px}"
                                      "</style></head><body style=\"width:%3px;height:%4px\">")
                           .arg(kBlockW)
                           .arg(kBlockH)
                           .arg(size.width())
                           .arg(size.height());
        for (int r = 0; r < rows(); ++r) {
            for (int c = 0; c < columns(); ++c) {
                page += QStringLiteral("<div style=\"left:%1px;top:%2px;background:%3\"></div>")
                            .arg(c * kBlockW)
                            .arg(r * kBlockH)
                            .arg(colorOf(r, c).name());
            }
        }
        return page + QStringLiteral("</body></html>");
    }

    // How many block centres of `image` differ from their colour by more
    // than a rounding step; -1 when the picture is smaller than the page
    // (it may be wider: a page narrower than the view fills the view).
    int wrongBlocks(const QImage &image) const
    {
        if (image.width() < size.width() || image.height() < size.height())
            return -1;
        int wrong = 0;
        for (int r = 0; r < rows(); ++r) {
            for (int c = 0; c < columns(); ++c) {
                // The centre and the block's far corner: the right and
                // bottom edges of the page count too.
                const QPoint points[]
                    = {centreOf(r, c), QPoint((c + 1) * kBlockW - 2, (r + 1) * kBlockH - 2)};
                const QColor want = colorOf(r, c);
                for (const QPoint &p : points) {
                    const QColor got = image.pixelColor(p);
                    if (std::abs(got.red() - want.red()) > 2
                        || std::abs(got.green() - want.green()) > 2
                        || std::abs(got.blue() - want.blue()) > 2)
                        ++wrong;
                }
            }
        }
        return wrong;
    }
};

} // namespace quillet::test
