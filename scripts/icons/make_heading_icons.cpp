// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the heading pictures and writes them as PNG files at 16 and 32
// pixels: <out>/16/NN.png and <out>/32/NN.png, NN = picture index from 01.
// Pictures come in pairs: an odd index is a heading's normal picture, the
// next one the same heading while it is expanded. Run through
// scripts/make-heading-icons.sh; the PNGs are committed, so a build never
// needs this program.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Every picture is drawn on a 16 x 16 grid; lines sit on half units so they
// fall on whole pixels at 16 and at 32 pixels.
const QColor kOutline(0x3a, 0x3f, 0x47);
const QColor kPaper(0xfd, 0xfd, 0xf8);
const QColor kPaperShade(0xd8, 0xd8, 0xcf);
const QColor kText(0x9a, 0xa0, 0xa8);

QPen pen(const QColor &color = kOutline, qreal width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QBrush vertical(qreal top, qreal bottom, const QColor &light, const QColor &dark)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

// Yellow folder, closed and open.
void folder(QPainter &p, bool open)
{
    const QColor light(0xff, 0xd8, 0x6a), dark(0xe8, 0xa8, 0x22), edge(0x9a, 0x6a, 0x10);
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(6.0, 3.5);
    back.lineTo(7.5, 5.0);
    back.lineTo(14.5, 5.0);
    back.lineTo(14.5, 13.5);
    back.closeSubpath();
    p.setPen(pen(edge));
    p.setBrush(vertical(3.5, 13.5, dark, dark.darker(115)));
    p.drawPath(back);
    if (!open) {
        p.setBrush(vertical(6.5, 13.5, light, dark));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 7), 0.8, 0.8);
        return;
    }
    // A sheet shows inside; the front leans forward.
    p.setPen(pen(kPaperShade));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 4.5, 9, 5));
    QPainterPath front;
    front.moveTo(3.5, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.lineTo(1.5, 13.5);
    front.closeSubpath();
    p.setPen(pen(edge));
    p.setBrush(vertical(7.5, 13.5, light.lighter(105), dark));
    p.drawPath(front);
}

// Red book, closed and open.
void book(QPainter &p, bool open)
{
    const QColor cover(0xd2, 0x3b, 0x2e), coverDark(0x8e, 0x1f, 0x17);
    if (!open) {
        p.setPen(pen(coverDark));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 2.5, 9, 12)); // page edges
        p.setBrush(vertical(1.5, 13.5, cover.lighter(110), cover));
        p.drawRoundedRect(QRectF(2.5, 1.5, 10, 12), 0.8, 0.8);
        p.setPen(pen(coverDark.lighter(120), 1.0));
        p.drawLine(QPointF(4.5, 2.0), QPointF(4.5, 13.0)); // spine
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf6, 0xd3, 0x6b));
        p.drawRect(QRectF(6.5, 4.5, 4, 2)); // label
        return;
    }
    QPainterPath coverPath;
    coverPath.moveTo(0.5, 4.5);
    coverPath.lineTo(8.0, 5.5);
    coverPath.lineTo(15.5, 4.5);
    coverPath.lineTo(15.5, 13.5);
    coverPath.lineTo(8.0, 14.5);
    coverPath.lineTo(0.5, 13.5);
    coverPath.closeSubpath();
    p.setPen(pen(coverDark));
    p.setBrush(cover);
    p.drawPath(coverPath);
    for (int side = 0; side < 2; ++side) {
        QPainterPath pagePath;
        const qreal outer = side == 0 ? 1.5 : 14.5;
        pagePath.moveTo(8.0, 4.5);
        pagePath.quadTo((8.0 + outer) / 2, 2.0, outer, 2.5);
        pagePath.lineTo(outer, 12.5);
        pagePath.quadTo((8.0 + outer) / 2, 12.0, 8.0, 13.5);
        pagePath.closeSubpath();
        p.setPen(pen(kPaperShade.darker(115)));
        p.setBrush(kPaper);
        p.drawPath(pagePath);
        p.setPen(pen(kText, 0.9));
        for (qreal y = 5.5; y <= 10.5; y += 2.5) {
            const qreal a = side == 0 ? 3.0 : 9.5;
            p.drawLine(QPointF(a, y), QPointF(a + 3.5, y + (side == 0 ? 0.3 : -0.3)));
        }
    }
}

// Parcel box, closed and open.
void box(QPainter &p, bool open)
{
    const QColor side(0xc8, 0x8f, 0x52), front(0xdd, 0xa8, 0x6b), edge(0x7a, 0x4e, 0x22);
    p.setPen(pen(edge));
    p.setBrush(vertical(6.5, 14.5, front, side));
    p.drawRect(QRectF(2.5, 6.5, 11, 8));
    if (!open) {
        QPainterPath lid;
        lid.moveTo(2.5, 6.5);
        lid.lineTo(4.5, 2.5);
        lid.lineTo(15.0, 2.5);
        lid.lineTo(13.5, 6.5);
        lid.closeSubpath();
        p.setBrush(front.lighter(112));
        p.drawPath(lid);
        // Tape across lid and front.
        p.setPen(pen(QColor(0x8a, 0x5a, 0x2a), 1.0));
        p.drawLine(QPointF(8.0, 6.5), QPointF(8.0, 14.0));
        p.drawLine(QPointF(8.0, 6.5), QPointF(9.7, 2.8));
        return;
    }
    // Dark inside, flaps folded out to both sides.
    p.setBrush(side.darker(160));
    p.drawRect(QRectF(2.5, 5.5, 11, 1.5));
    QPainterPath left;
    left.moveTo(2.5, 6.5);
    left.lineTo(0.5, 2.5);
    left.lineTo(5.0, 2.5);
    left.lineTo(6.5, 6.5);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(13.5, 6.5);
    right.lineTo(15.5, 2.5);
    right.lineTo(11.0, 2.5);
    right.lineTo(9.5, 6.5);
    right.closeSubpath();
    p.setBrush(front.lighter(115));
    p.drawPath(left);
    p.drawPath(right);
}

// Envelope, closed and open with a letter.
void envelope(QPainter &p, bool open)
{
    const QColor body(0xe4, 0xee, 0xfb), edge(0x2f, 0x5f, 0xa8);
    if (open) {
        // The flap stands up behind, a letter comes out.
        QPainterPath flap;
        flap.moveTo(1.5, 7.5);
        flap.lineTo(8.0, 1.5);
        flap.lineTo(14.5, 7.5);
        flap.closeSubpath();
        p.setPen(pen(edge));
        p.setBrush(body.darker(108));
        p.drawPath(flap);
        p.setPen(pen(kPaperShade.darker(120)));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3.5, 3.5, 9, 7));
        p.setPen(pen(kText, 0.9));
        p.drawLine(QPointF(5.0, 5.5), QPointF(11.0, 5.5));
        p.drawLine(QPointF(5.0, 7.5), QPointF(10.0, 7.5));
    }
    QPainterPath bodyPath;
    bodyPath.addRect(QRectF(1.5, 7.5 - (open ? 0 : 3), 13, open ? 7 : 10));
    p.setPen(pen(edge));
    p.setBrush(vertical(4.5, 14.5, body, body.darker(110)));
    p.drawPath(bodyPath);
    p.setPen(pen(edge, 0.9));
    if (open) {
        p.drawLine(QPointF(1.5, 14.5), QPointF(8.0, 10.0));
        p.drawLine(QPointF(14.5, 14.5), QPointF(8.0, 10.0));
    } else {
        p.drawLine(QPointF(1.5, 4.5), QPointF(8.0, 9.5));
        p.drawLine(QPointF(14.5, 4.5), QPointF(8.0, 9.5));
    }
}

// Filing cabinet, drawers shut and the top drawer pulled out.
void cabinet(QPainter &p, bool open)
{
    const QColor metal(0xb4, 0xbd, 0xc8), metalDark(0x6c, 0x77, 0x84), handle(0x30, 0x36, 0x3e);
    p.setPen(pen(metalDark.darker(130)));
    p.setBrush(vertical(1.5, 14.5, metal.lighter(110), metal));
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
    p.drawLine(QPointF(3.5, 8.0), QPointF(12.5, 8.0));
    p.setPen(pen(handle, 1.0));
    p.drawLine(QPointF(6.5, 11.5), QPointF(9.5, 11.5));
    if (!open) {
        p.drawLine(QPointF(6.5, 4.5), QPointF(9.5, 4.5));
        return;
    }
    // Top drawer: a dark opening and a tray with papers standing out.
    p.setPen(pen(metalDark.darker(130)));
    p.setBrush(QColor(0x3c, 0x42, 0x4a));
    p.drawRect(QRectF(4.5, 2.5, 7, 4));
    p.setPen(pen(kPaperShade.darker(115)));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 3.5, 4, 4));
    p.drawRect(QRectF(5.5, 2.5, 4, 5));
    p.setPen(pen(metalDark.darker(130)));
    p.setBrush(vertical(5.5, 9.5, metal.lighter(115), metal));
    p.drawRect(QRectF(1.5, 6.5, 11, 3));
    p.setPen(pen(handle, 1.0));
    p.drawLine(QPointF(5.5, 8.0), QPointF(8.5, 8.0));
}

// Green door, shut and swung open onto light.
void door(QPainter &p, bool open)
{
    const QColor panel(0x3f, 0xa3, 0x55), panelDark(0x23, 0x6b, 0x33), frame(0x6b, 0x4a, 0x2b);
    p.setPen(pen(frame));
    p.setBrush(open ? vertical(1.5, 15.0, QColor(0xff, 0xf1, 0x9c), QColor(0xff, 0xc9, 0x3c))
                    : QBrush(frame.lighter(150)));
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
    if (!open) {
        p.setPen(pen(panelDark));
        p.setBrush(vertical(2.0, 14.0, panel.lighter(115), panel));
        p.drawRect(QRectF(4.5, 2.5, 7, 12));
        p.setPen(pen(panelDark, 0.9));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5.5, 3.5, 5, 4));
        p.drawRect(QRectF(5.5, 9.0, 5, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf6, 0xd3, 0x6b));
        p.drawEllipse(QPointF(10.0, 8.5), 0.9, 0.9);
        return;
    }
    // The door panel swung towards the viewer, hinged on the left.
    QPainterPath swung;
    swung.moveTo(3.5, 1.5);
    swung.lineTo(0.5, 0.5);
    swung.lineTo(0.5, 15.5);
    swung.lineTo(3.5, 14.5);
    swung.closeSubpath();
    p.setPen(pen(panelDark));
    p.setBrush(panel);
    p.drawPath(swung);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x7a, 170));
    QPainterPath beam;
    beam.moveTo(3.5, 14.5);
    beam.lineTo(12.5, 14.5);
    beam.lineTo(15.5, 15.8);
    beam.lineTo(4.0, 15.8);
    beam.closeSubpath();
    p.drawPath(beam);
}

// Globe, plain and circled by an orbit.
void globe(QPainter &p, bool open)
{
    const QColor sea(0x3f, 0x8f, 0xe0), seaDark(0x1f, 0x55, 0x9a), land(0x4f, 0xb0, 0x4a);
    const QPointF c(8.0, 8.0);
    const qreal r = open ? 5.5 : 6.5;
    QRadialGradient g(c - QPointF(2, 2), r * 1.6);
    g.setColorAt(0, sea.lighter(130));
    g.setColorAt(1, sea);
    p.setPen(pen(seaDark));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.save();
    QPainterPath clip;
    clip.addEllipse(c, r - 0.4, r - 0.4);
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(land);
    QPainterPath continent;
    continent.moveTo(4.0, 4.5);
    continent.cubicTo(6.5, 3.0, 8.5, 5.0, 7.0, 7.0);
    continent.cubicTo(6.0, 8.5, 7.5, 10.5, 6.0, 12.5);
    continent.cubicTo(4.0, 11.0, 2.5, 7.0, 4.0, 4.5);
    p.drawPath(continent);
    QPainterPath island;
    island.moveTo(10.0, 8.5);
    island.cubicTo(12.5, 7.5, 13.5, 10.0, 12.0, 12.0);
    island.cubicTo(10.5, 12.5, 9.0, 10.0, 10.0, 8.5);
    p.drawPath(island);
    p.setPen(pen(QColor(255, 255, 255, 110), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.restore();
    if (!open)
        return;
    // A tilted orbit with a small moon.
    p.save();
    p.translate(c);
    p.rotate(-25);
    p.setPen(pen(QColor(0xe8, 0xa8, 0x22), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 7.6, 2.6);
    p.restore();
    p.setPen(pen(QColor(0x9a, 0x6a, 0x10), 0.8));
    p.setBrush(QColor(0xff, 0xd8, 0x6a));
    p.drawEllipse(QPointF(13.2, 4.6), 1.6, 1.6);
}

// Gold star, plain and shining.
void star(QPainter &p, bool open)
{
    const QColor gold(0xff, 0xc8, 0x2e), goldDark(0xb0, 0x78, 0x00);
    const QPointF c(8.0, open ? 8.5 : 8.3);
    const qreal outer = open ? 5.4 : 7.2, inner = outer * 0.45;
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const qreal r = i % 2 ? inner : outer;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    QRadialGradient g(c - QPointF(1.5, 2), outer * 1.4);
    g.setColorAt(0, gold.lighter(125));
    g.setColorAt(1, gold);
    p.setPen(pen(goldDark));
    p.setBrush(g);
    p.drawPath(path);
    if (!open)
        return;
    p.setPen(pen(QColor(0xf0, 0x9a, 0x00), 1.1));
    for (int i = 0; i < 5; ++i) {
        const qreal a = -M_PI / 2 + M_PI / 5 + i * 2 * M_PI / 5;
        p.drawLine(QPointF(c.x() + 5.0 * std::cos(a), c.y() + 5.0 * std::sin(a)),
            QPointF(c.x() + 7.3 * std::cos(a), c.y() + 7.3 * std::sin(a)));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_heading_icons OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const std::vector<std::function<void(QPainter &, bool)>> pairs {
        folder, book, box, envelope, cabinet, door, globe, star};
    for (int size : {16, 32}) {
        QDir().mkpath(QStringLiteral("%1/%2").arg(out).arg(size));
        int index = 1;
        for (const auto &draw : pairs) {
            for (bool open : {false, true}) {
                QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                QPainter p(&image);
                p.setRenderHint(QPainter::Antialiasing);
                p.scale(size / 16.0, size / 16.0);
                draw(p, open);
                p.end();
                const QString file = QStringLiteral("%1/%2/%3.png")
                                         .arg(out)
                                         .arg(size)
                                         .arg(index, 2, 10, QLatin1Char('0'));
                if (!image.save(file)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                    return 1;
                }
                ++index;
            }
        }
    }
    return 0;
}
