// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the description pane showing three bookmarks (no thumbnail; a
// thumbnail; a long description with markup and a long unbroken link), and
// the before/after comparison in docs/. Built and run by
// scripts/pane-screenshots.sh against the GUI library.
//   pane_pictures shoot DIR                  DIR/pane-1.png ... pane-3.png
//   pane_pictures compose BEFORE AFTER OUT   the pairs side by side
#include "gui/pages/DescriptionPane.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <cstring>

using namespace quillet;

namespace {

const QSize kPane(640, 300);

QByteArray thumbnail()
{
    QImage image(180, 132, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 132);
    sky.setColorAt(0, QColor(0x4a, 0x90, 0xd9));
    sky.setColorAt(1, QColor(0xd8, 0xec, 0xfa));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0x8d, 0x3f));
    p.drawEllipse(QPoint(40, 150), 110, 60);
    p.setBrush(QColor(0x2e, 0x6b, 0x30));
    p.drawEllipse(QPoint(150, 160), 100, 60);
    p.setBrush(QColor(0xf5, 0xd0, 0x3b));
    p.drawEllipse(QPoint(140, 34), 16, 16);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

QList<store::BookmarkRow> bookmarks()
{
    store::BookmarkRow plain;
    plain.name = QStringLiteral("Public library catalogue");
    plain.link = QStringLiteral("https://library.example.org/catalogue");
    plain.description = QStringLiteral("Opening hours, loans and the reading room.");

    store::BookmarkRow pictured;
    pictured.name = QStringLiteral("Hiking trails");
    pictured.link = QStringLiteral("https://trails.example.net/valley");
    pictured.description = QStringLiteral(
        "A local test page with maps of the valley walks, their length and how steep they are.");
    pictured.thumbnail = thumbnail();

    store::BookmarkRow long_;
    long_.name = QStringLiteral("Reference notes");
    long_.link = QStringLiteral("https://docs.example.org/reference/chapters/"
                                "appendix-with-a-rather-long-name-that-never-breaks/index.html");
    long_.description = QStringLiteral(
        "Notes kept while reading: <b>bold</b>, <i>italic</i> and <font color=\"#990000\">red"
        "</font> words, a list and a link.<ul><li>first point</li><li>second point</li></ul>"
        "Source: <a href=\"http://example.org/\">http://example.org/"
        "averyveryverylongunbrokenpathwithoutanyspacesinitatall/andmoreofit/andmore.html</a> "
        "and a few more words after the link to see where they go.");
    long_.thumbnail = thumbnail();
    return {plain, pictured, long_};
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int shoot(const QString &dir)
{
    QDir().mkpath(dir);
    pages::DescriptionPane pane;
    pane.setAttribute(Qt::WA_DontShowOnScreen);
    pane.resize(kPane);
    pane.show();
    int n = 0;
    for (const store::BookmarkRow &row : bookmarks()) {
        pane.showBookmark(row);
        // A browser engine draws some time after the call.
        wait(2500);
        const QString file = QStringLiteral("%1/pane-%2.png").arg(dir).arg(++n);
        if (!pane.grab().save(file)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

int compose(const QString &before, const QString &after, const QString &out)
{
    const int gap = 16;
    const int label = 24;
    QImage sheet(2 * kPane.width() + 3 * gap, 3 * (kPane.height() + label + gap) + gap,
        QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    for (int i = 0; i < 3; ++i) {
        const int top = gap + i * (kPane.height() + label + gap);
        const QString name = QStringLiteral("pane-%1.png").arg(i + 1);
        const QString sides[] = {before, after};
        const char *titles[] = {"Before (browser engine)", "After (Qt rich text)"};
        for (int side = 0; side < 2; ++side) {
            const int left = gap + side * (kPane.width() + gap);
            const QImage shot(sides[side] + QLatin1Char('/') + name);
            if (shot.isNull()) {
                std::fprintf(stderr, "Missing %s/%s\n", qPrintable(sides[side]), qPrintable(name));
                return 1;
            }
            p.setPen(Qt::black);
            p.drawText(left, top + 16, QString::fromLatin1(titles[side]));
            p.drawImage(left, top + label, shot);
            p.setPen(QColor(0x99, 0x99, 0x99));
            p.drawRect(QRect(QPoint(left, top + label), shot.size()).adjusted(-1, -1, 0, 0));
        }
    }
    p.end();
    return sheet.save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "shoot") == 0)
        return shoot(QString::fromLocal8Bit(argv[2]));
    if (argc == 5 && std::strcmp(argv[1], "compose") == 0)
        return compose(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
            QString::fromLocal8Bit(argv[4]));
    std::fprintf(stderr, "usage: pane_pictures shoot DIR | compose BEFORE AFTER OUT\n");
    return 2;
}
