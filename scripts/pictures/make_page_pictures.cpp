// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures of the description pane and the help pages and writes
// them as GIF files into <out>: noimagel.gif (180 x 132, shown when a bookmark
// has no thumbnail), shim.gif (1 x 1 spacer), single_dot_h.gif (6 x 1 dotted
// rule) and small_bullet.gif (6 x 8 list bullet).
// Run through scripts/make-page-pictures.sh; the GIFs are committed, so a
// build never needs this program. Qt reads GIF but cannot write it, hence the
// small encoder below.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QtMath>
#include <cstdio>
#include <vector>

namespace {

// ---- GIF89a writer: one frame, global palette, optional transparency ----

class BitWriter
{
public:
    void write(int code, int bits)
    {
        m_acc |= quint32(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.push_back(char(m_acc & 0xff));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_count > 0)
            m_bytes.push_back(char(m_acc & 0xff));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_acc = 0;
    int m_count = 0;
};

// Variable-length LZW as GIF decoders expect it: the code width grows once
// the next free code no longer fits, and a clear code restarts the table
// when it is full.
QByteArray lzw(const std::vector<int> &pixels, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    QHash<quint32, int> table;
    int nextCode = end + 1;
    int width = minCodeSize + 1;
    BitWriter out;
    auto putCode = [&](int code) {
        out.write(code, width);
        if (nextCode >= (1 << width) && width < 12)
            ++width;
    };
    out.write(clear, width);
    int prefix = pixels.front();
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int pixel = pixels[i];
        const quint32 key = (quint32(prefix) << 8) | quint32(pixel);
        const auto found = table.constFind(key);
        if (found != table.constEnd()) {
            prefix = *found;
            continue;
        }
        putCode(prefix);
        if (nextCode < 4096) {
            table.insert(key, nextCode++);
        } else {
            out.write(clear, width);
            table.clear();
            nextCode = end + 1;
            width = minCodeSize + 1;
        }
        prefix = pixel;
    }
    putCode(prefix);
    out.write(end, width);
    return out.finish();
}

void put16(QByteArray &b, int v)
{
    b.push_back(char(v & 0xff));
    b.push_back(char((v >> 8) & 0xff));
}

// Every distinct colour becomes a palette entry; fully transparent pixels
// share one transparent entry.
QByteArray encodeGif(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QList<QRgb> palette;
    QHash<QRgb, int> indexOf;
    int transparent = -1;
    std::vector<int> pixels;
    pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 0)
                c = 0;
            else
                c |= 0xff000000u;
            auto it = indexOf.constFind(c);
            if (it == indexOf.constEnd()) {
                if (palette.size() == 256) {
                    std::fprintf(stderr, "more than 256 colours\n");
                    std::exit(1);
                }
                if (c == 0)
                    transparent = int(palette.size());
                it = indexOf.insert(c, int(palette.size()));
                palette.push_back(c);
            }
            pixels.push_back(*it);
        }
    }
    int bits = 1;
    while ((1 << bits) < palette.size())
        ++bits;
    while (palette.size() < (1 << bits))
        palette.push_back(0xff000000u);

    QByteArray gif("GIF89a");
    put16(gif, image.width());
    put16(gif, image.height());
    gif.push_back(char(0x80 | ((bits - 1) << 4) | (bits - 1)));
    gif.push_back(char(0)); // background index
    gif.push_back(char(0)); // aspect ratio
    for (QRgb c : palette) {
        gif.push_back(char(qRed(c)));
        gif.push_back(char(qGreen(c)));
        gif.push_back(char(qBlue(c)));
    }
    if (transparent >= 0) {
        gif.append("\x21\xf9\x04\x01\x00\x00", 6);
        gif.push_back(char(transparent));
        gif.push_back(char(0));
    }
    gif.push_back(char(0x2c));
    put16(gif, 0);
    put16(gif, 0);
    put16(gif, image.width());
    put16(gif, image.height());
    gif.push_back(char(0));
    const int minCodeSize = qMax(2, bits);
    gif.push_back(char(minCodeSize));
    const QByteArray data = lzw(pixels, minCodeSize);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray chunk = data.mid(at, 255);
        gif.push_back(char(chunk.size()));
        gif.append(chunk);
    }
    gif.push_back(char(0));
    gif.push_back(char(0x3b));
    return gif;
}

// ---- the pictures ----

const QColor kEmblem(0xd6, 0xd6, 0xd6);
const QColor kEmblemDark(0xbc, 0xbc, 0xbc);
const QColor kLettering(0xa4, 0xa4, 0xa4);

// Text set along an arc around `centre`, centred on the top of the circle.
void archedText(QPainter &p, const QPointF &centre, qreal radius, const QString &text)
{
    const QFontMetricsF metrics(p.font());
    qreal total = 0;
    for (QChar ch : text)
        total += metrics.horizontalAdvance(ch);
    // Arc length to angle: the words span total / radius radians.
    qreal angle = -M_PI / 2 - (total / radius) / 2;
    for (QChar ch : text) {
        const qreal advance = metrics.horizontalAdvance(ch);
        const qreal mid = angle + (advance / 2) / radius;
        p.save();
        p.translate(centre.x() + radius * qCos(mid), centre.y() + radius * qSin(mid));
        p.rotate(qRadiansToDegrees(mid + M_PI / 2));
        p.drawText(QPointF(-advance / 2, 0), QString(ch));
        p.restore();
        angle += advance / radius;
    }
}

QImage noImagePicture()
{
    QImage image(180, 132, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QPointF centre(90, 80);
    // The emblem: a ring around a small framed landscape.
    p.setPen(Qt::NoPen);
    p.setBrush(kEmblem);
    p.drawEllipse(centre, 38, 38);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 32, 32);
    p.setBrush(kEmblem);
    p.drawEllipse(centre, 29, 29);

    const QRectF frame(centre.x() - 17, centre.y() - 13, 34, 26);
    p.setBrush(Qt::white);
    p.drawRoundedRect(frame, 2, 2);
    p.setBrush(kEmblemDark);
    p.drawEllipse(QPointF(frame.right() - 8, frame.top() + 7), 3.5, 3.5);
    QPainterPath hills;
    hills.moveTo(frame.left() + 2, frame.bottom() - 2);
    hills.lineTo(frame.left() + 12, frame.top() + 10);
    hills.lineTo(frame.left() + 19, frame.bottom() - 8);
    hills.lineTo(frame.left() + 24, frame.bottom() - 12);
    hills.lineTo(frame.right() - 2, frame.bottom() - 2);
    hills.closeSubpath();
    p.drawPath(hills);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(font);
    p.setPen(kLettering);
    archedText(p, centre, 50, QStringLiteral("PICTURE COMING SOON"));
    p.end();
    // Greys only, so the palette stays within 256 entries.
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QImage shimPicture()
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage dottedRulePicture()
{
    // One dot and a gap, repeated along the bottom of a bookmark's block.
    QImage image(6, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, qRgb(0xb4, 0xb4, 0xb4));
    image.setPixel(3, 0, qRgb(0xb4, 0xb4, 0xb4));
    return image;
}

QImage bulletPicture()
{
    // A small right-pointing triangle in the pages' link colour.
    QImage image(6, 8, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb ink = qRgb(0x62, 0x66, 0xd7);
    for (int x = 0; x < 4; ++x)
        for (int y = 1 + x; y <= 7 - 1 - x; ++y)
            image.setPixel(x + 1, y, ink);
    return image;
}

bool save(const QString &folder, const QString &name, const QImage &image)
{
    const QByteArray gif = encodeGif(image);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(gif) != gif.size())
        return false;
    file.close();
    // Read it back: the decoder must see exactly the pixels drawn.
    const QImage back = QImageReader(file.fileName()).read().convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = back.pixel(x, y);
            if (qAlpha(a) == 0 ? qAlpha(b) != 0 : a != b) {
                std::fprintf(stderr, "%s: pixel %d,%d differs\n", qPrintable(name), x, y);
                return false;
            }
        }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_page_pictures <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    const bool ok = save(out, QStringLiteral("noimagel.gif"), noImagePicture())
        && save(out, QStringLiteral("shim.gif"), shimPicture())
        && save(out, QStringLiteral("single_dot_h.gif"), dottedRulePicture())
        && save(out, QStringLiteral("small_bullet.gif"), bulletPicture());
    return ok ? 0 : 1;
}
