// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures of the command image list and writes them as PNG files
// at 16 and 32 pixels: <out>/16/NN.png and <out>/32/NN.png, NN = slot.
// Run through scripts/make-icons.sh; the PNGs are committed, so a build
// never needs this program.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

// Every picture is drawn on a 32 x 32 canvas.
const QColor kOutline(0x3a, 0x3f, 0x47);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kFolder(0xf2, 0xb8, 0x3b);
const QColor kFolderDark(0xc9, 0x8a, 0x1a);
const QColor kBlue(0x2f, 0x6f, 0xc9);
const QColor kBlueDark(0x1d, 0x4c, 0x93);
const QColor kGreen(0x3b, 0xa5, 0x4a);
const QColor kGreenDark(0x23, 0x73, 0x2f);
const QColor kRed(0xd9, 0x3a, 0x2f);
const QColor kRedDark(0x9c, 0x22, 0x1b);

QPen outline(qreal width = 1.6, QColor color = kOutline)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, const QRectF &r)
{
    const qreal fold = r.width() * 0.32;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(kPaper);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xdd, 0xdd, 0xd5));
    p.drawPath(corner);
}

void folder(QPainter &p, const QRectF &r)
{
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 2);
    back.quadTo(r.left(), r.top(), r.left() + 2, r.top());
    back.lineTo(r.left() + r.width() * 0.35, r.top());
    back.lineTo(r.left() + r.width() * 0.45, r.top() + 3);
    back.lineTo(r.right(), r.top() + 3);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    p.setPen(outline(1.5, kFolderDark.darker(130)));
    p.setBrush(kFolderDark);
    p.drawPath(back);
    QLinearGradient front(r.topLeft(), r.bottomLeft());
    front.setColorAt(0, kFolder.lighter(115));
    front.setColorAt(1, kFolder);
    p.setBrush(front);
    p.drawRoundedRect(QRectF(r.left(), r.top() + 6, r.width(), r.height() - 6), 1.5, 1.5);
}

void pencil(QPainter &p, QPointF tip, qreal length, qreal width)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    // Along +x from the tip.
    const qreal h = width / 2;
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(width * 1.2, -h);
    point.lineTo(width * 1.2, h);
    point.closeSubpath();
    p.setPen(outline(1.2));
    p.setBrush(QColor(0xf3, 0xd9, 0xa8));
    p.drawPath(point);
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(width * 0.25, 0), width * 0.15, width * 0.15);
    p.setBrush(QColor(0xf5, 0xc0, 0x2c));
    p.drawRect(QRectF(width * 1.2, -h, length - width * 2.2, width));
    p.setBrush(QColor(0xb0, 0xb4, 0xbb));
    p.drawRect(QRectF(length - width, -h, width * 0.4, width));
    p.setBrush(QColor(0xe8, 0x7a, 0x8a));
    p.drawRoundedRect(QRectF(length - width * 0.6, -h, width * 0.6, width), 1.5, 1.5);
    p.restore();
}

void cross(QPainter &p, const QPointF &c, qreal half, qreal stroke)
{
    p.setPen(QPen(kRedDark, stroke + 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-half, -half), c + QPointF(half, half));
    p.drawLine(c + QPointF(-half, half), c + QPointF(half, -half));
    p.setPen(QPen(kRed, stroke, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-half, -half), c + QPointF(half, half));
    p.drawLine(c + QPointF(-half, half), c + QPointF(half, -half));
}

void plus(QPainter &p, const QPointF &c, qreal half)
{
    p.setPen(outline(1.2, kGreenDark));
    p.setBrush(kGreen);
    p.drawEllipse(c, half + 1.5, half + 1.5);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-half + 2, 0), c + QPointF(half - 2, 0));
    p.drawLine(c + QPointF(0, -half + 2), c + QPointF(0, half - 2));
}

// A question mark drawn as strokes, so no font is involved.
void question(QPainter &p, const QPointF &c, qreal size, const QColor &color)
{
    const qreal r = size * 0.26;
    QPainterPath hook;
    const QPointF bowl(c.x(), c.y() - size * 0.2);
    hook.arcMoveTo(QRectF(bowl.x() - r, bowl.y() - r, 2 * r, 2 * r), 160);
    hook.arcTo(QRectF(bowl.x() - r, bowl.y() - r, 2 * r, 2 * r), 160, -230);
    hook.lineTo(c.x(), c.y() + size * 0.12);
    p.setPen(QPen(color, size * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(c.x(), c.y() + size * 0.33), size * 0.09, size * 0.09);
}

// A solid arrow pointing up, turned by `angle` degrees clockwise.
void arrow(QPainter &p, qreal angle)
{
    p.save();
    p.translate(16, 16);
    p.rotate(angle);
    QPainterPath path;
    path.moveTo(0, -12);
    path.lineTo(11, -1);
    path.lineTo(4.5, -1);
    path.lineTo(4.5, 12);
    path.lineTo(-4.5, 12);
    path.lineTo(-4.5, -1);
    path.lineTo(-11, -1);
    path.closeSubpath();
    QLinearGradient fill(QPointF(-10, -10), QPointF(10, 10));
    fill.setColorAt(0, kBlue.lighter(125));
    fill.setColorAt(1, kBlue);
    p.setPen(outline(1.6, kBlueDark));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void drawToolbox(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
    p.setBrush(QColor(0xc8, 0xd8, 0xef));
    p.drawRect(QRectF(3, 5, 26, 5));
    p.setBrush(kBlue.lighter(140));
    p.drawRect(QRectF(3, 10, 8, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlueDark);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(5, 13 + i * 4.5, 4, 2.5));
}

void drawNew(QPainter &p)
{
    page(p, QRectF(6, 3, 20, 26));
    // A spark in the corner: something new.
    p.save();
    p.translate(22, 23);
    QPainterPath star;
    for (int i = 0; i < 8; ++i) {
        const qreal radius = i % 2 ? 2.2 : 6.5;
        const qreal a = i * M_PI / 4 - M_PI / 2;
        const QPointF pt(radius * std::cos(a), radius * std::sin(a));
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    p.setPen(outline(1.1, QColor(0xb0, 0x7a, 0x00)));
    p.setBrush(QColor(0xff, 0xd2, 0x3f));
    p.drawPath(star);
    p.restore();
}

void drawOpen(QPainter &p)
{
    folder(p, QRectF(2, 6, 24, 20));
    // The open flap, leaning forward.
    QPainterPath flap;
    flap.moveTo(2, 26);
    flap.lineTo(8, 14);
    flap.lineTo(30, 14);
    flap.lineTo(25, 26);
    flap.closeSubpath();
    p.setPen(outline(1.5, kFolderDark.darker(130)));
    p.setBrush(kFolder.lighter(120));
    p.drawPath(flap);
}

void drawSave(QPainter &p)
{
    QPainterPath body;
    body.moveTo(4, 4);
    body.lineTo(24, 4);
    body.lineTo(28, 8);
    body.lineTo(28, 28);
    body.lineTo(4, 28);
    body.closeSubpath();
    p.setPen(outline(1.6, kBlueDark));
    p.setBrush(kBlue);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 4.8, 14, 8));
    p.setBrush(kBlueDark);
    p.drawRect(QRectF(18, 6, 3, 5.5));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(8, 17, 16, 10.2), 1, 1);
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc8), 1.2));
    p.drawLine(QPointF(11, 20.5), QPointF(21, 20.5));
    p.drawLine(QPointF(11, 23.5), QPointF(21, 23.5));
}

void drawEditBookmark(QPainter &p)
{
    page(p, QRectF(4, 3, 19, 25));
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc8), 1.4));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(8, 11 + i * 4), QPointF(17, 11 + i * 4));
    pencil(p, QPointF(12, 27), 23, 5.5);
}

void drawDelete(QPainter &p)
{
    cross(p, QPointF(16, 16), 9.5, 5);
}

void drawFind(QPainter &p)
{
    p.setPen(QPen(kOutline, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x2b), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(27, 27));
    QRadialGradient glass(QPointF(10, 10), 12);
    glass.setColorAt(0, Qt::white);
    glass.setColorAt(1, QColor(0xbf, 0xdc, 0xf5));
    p.setPen(outline(2.6));
    p.setBrush(glass);
    p.drawEllipse(QPointF(13, 13), 9, 9);
}

void drawSync(QPainter &p)
{
    auto halfCircle = [&p](qreal start, const QColor &color, const QColor &dark) {
        const QRectF ring(6, 6, 20, 20);
        QPainterPath arc;
        arc.arcMoveTo(ring, start);
        arc.arcTo(ring, start, 140);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(dark, 6, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(arc);
        p.setPen(QPen(color, 3.6, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(arc);
        // The head at the end of the arc, pointing along it.
        const qreal a = (start + 140) * M_PI / 180;
        const QPointF end(16 + 10 * std::cos(a), 16 - 10 * std::sin(a));
        const QPointF along(-std::sin(a), -std::cos(a)); // counter-clockwise tangent
        const QPointF across(std::cos(a), -std::sin(a));
        QPainterPath head;
        head.moveTo(end + along * 6);
        head.lineTo(end + across * 5.5);
        head.lineTo(end - across * 5.5);
        head.closeSubpath();
        p.setPen(outline(1.2, dark));
        p.setBrush(color);
        p.drawPath(head);
    };
    halfCircle(20, kGreen, kGreenDark);
    halfCircle(200, kBlue, kBlueDark);
}

// An arc over the top that turns back to the left, with the head at its end
// drawn as the Synchronization arrows draw theirs.
void backArrow(QPainter &p)
{
    const QPointF centre(17, 18);
    const qreal radius = 9.5;
    const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    const qreal start = -40;
    const qreal sweep = 195;
    QPainterPath arc;
    arc.arcMoveTo(ring, start);
    arc.arcTo(ring, start, sweep);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlueDark, 6, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    p.setPen(QPen(kBlue, 3.6, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    const qreal a = (start + sweep) * M_PI / 180;
    const QPointF end(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    const QPointF along(-std::sin(a), -std::cos(a)); // counter-clockwise tangent
    const QPointF across(std::cos(a), -std::sin(a));
    QPainterPath head;
    head.moveTo(end + along * 6.5);
    head.lineTo(end + across * 6);
    head.lineTo(end - across * 6);
    head.closeSubpath();
    p.setPen(outline(1.2, kBlueDark));
    p.setBrush(kBlue);
    p.drawPath(head);
}

void drawUndo(QPainter &p)
{
    backArrow(p);
}

void drawRedo(QPainter &p)
{
    // The Undo arrow seen in a mirror.
    p.translate(32, 0);
    p.scale(-1, 1);
    backArrow(p);
}

void drawChm(QPainter &p)
{
    // A closed book seen from the front, with a question mark on it.
    p.setPen(outline(1.6, QColor(0x4b, 0x2a, 0x74)));
    p.setBrush(QColor(0xe8, 0xe4, 0xd8));
    p.drawRoundedRect(QRectF(8, 5, 20, 24), 1.5, 1.5);
    QLinearGradient cover(QPointF(5, 0), QPointF(26, 0));
    cover.setColorAt(0, QColor(0x6c, 0x3d, 0xa8));
    cover.setColorAt(1, QColor(0x8e, 0x5c, 0xd0));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(5, 3, 20, 24), 2, 2);
    p.setPen(QPen(QColor(0x4b, 0x2a, 0x74), 1.4));
    p.drawLine(QPointF(8.5, 4), QPointF(8.5, 26));
    question(p, QPointF(16.5, 15), 16, Qt::white);
}

void drawSnapshot(QPainter &p)
{
    p.setPen(outline(1.6));
    p.setBrush(QColor(0x55, 0x5c, 0x66));
    p.drawRoundedRect(QRectF(10, 6, 10, 5), 1.5, 1.5);
    QLinearGradient body(QPointF(0, 9), QPointF(0, 27));
    body.setColorAt(0, QColor(0x7d, 0x86, 0x92));
    body.setColorAt(1, QColor(0x4d, 0x54, 0x5e));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3, 9, 26, 18), 3, 3);
    p.setBrush(QColor(0x2b, 0x30, 0x36));
    p.drawEllipse(QPointF(16, 18), 7, 7);
    QRadialGradient lens(QPointF(14, 16), 6);
    lens.setColorAt(0, QColor(0x9f, 0xd0, 0xff));
    lens.setColorAt(1, kBlueDark);
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(QPointF(16, 18), 4.5, 4.5);
    p.setBrush(QColor(0xff, 0xe0, 0x70));
    p.drawRect(QRectF(23, 12, 3.5, 2.5));
}

void drawMail(QPainter &p)
{
    const QRectF r(3, 7, 26, 18);
    p.setPen(outline());
    p.setBrush(kPaper);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setBrush(QColor(0xe6, 0xe6, 0xde));
    QPainterPath flap;
    flap.moveTo(r.topLeft());
    flap.lineTo(r.center().x(), r.top() + 11);
    flap.lineTo(r.topRight());
    p.drawPath(flap);
    p.drawLine(r.bottomLeft(), QPointF(r.left() + 10, r.top() + 8));
    p.drawLine(r.bottomRight(), QPointF(r.right() - 10, r.top() + 8));
}

void drawHelp(QPainter &p)
{
    QRadialGradient ball(QPointF(12, 10), 18);
    ball.setColorAt(0, kBlue.lighter(150));
    ball.setColorAt(1, kBlue);
    p.setPen(outline(1.6, kBlueDark));
    p.setBrush(ball);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    question(p, QPointF(16, 16), 20, Qt::white);
}

void drawAddHeading(QPainter &p)
{
    folder(p, QRectF(2, 5, 24, 20));
    plus(p, QPointF(23, 23), 6.5);
}

void drawEditHeading(QPainter &p)
{
    folder(p, QRectF(2, 5, 24, 20));
    pencil(p, QPointF(13, 28), 22, 5.5);
}

void drawDeleteHeading(QPainter &p)
{
    folder(p, QRectF(2, 5, 24, 20));
    cross(p, QPointF(23, 23), 5, 3.2);
}

const std::map<int, std::function<void(QPainter &)>> &pictures()
{
    static const std::map<int, std::function<void(QPainter &)>> all = {
        {0, drawToolbox},
        {1, drawNew},
        {2, drawOpen},
        {3, drawSave},
        {4, drawEditBookmark},
        {5, drawDelete},
        {6, drawFind},
        {7, drawSync},
        {8, drawChm},
        {9, drawSnapshot},
        {13, drawMail},
        {14, drawHelp},
        {15, drawAddHeading},
        {17, drawEditHeading},
        {18, drawDeleteHeading},
        {19, [](QPainter &p) { arrow(p, 0); }},
        {20, [](QPainter &p) { arrow(p, 180); }},
        {21, [](QPainter &p) { arrow(p, 270); }},
        {22, [](QPainter &p) { arrow(p, 90); }},
        {24, drawUndo},
        {25, drawRedo},
    };
    return all;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_command_icons OUTPUT-FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32}) {
        const QString folderPath = out + QStringLiteral("/%1").arg(size);
        QDir().mkpath(folderPath);
        for (const auto &[slot, draw] : pictures()) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / 32.0, size / 32.0);
            draw(p);
            p.end();
            const QString file
                = folderPath + QStringLiteral("/%1.png").arg(slot, 2, 10, QLatin1Char('0'));
            if (!image.save(file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
