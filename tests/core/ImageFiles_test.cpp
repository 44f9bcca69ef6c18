// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AppHome.h"
#include "core/snapshots/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::snapshots;

namespace {

std::string placed(QSize source)
{
    const Fit fit = thumbnailPlacement(source);
    return QStringLiteral("%1x%2 at (%3,%4)")
        .arg(fit.size.width())
        .arg(fit.size.height())
        .arg(fit.offset.x())
        .arg(fit.offset.y())
        .toStdString();
}

// Within JPEG noise.
bool near(QRgb a, QColor b)
{
    return std::abs(qRed(a) - b.red()) < 24 && std::abs(qGreen(a) - b.green()) < 24
        && std::abs(qBlue(a) - b.blue()) < 24;
}

} // namespace

TEST(ImageFiles, ThumbnailGeometry)
{
    EXPECT_EQ(placed({1000, 500}), "180x90 at (0,21)");
    EXPECT_EQ(placed({1000, 800}), "165x132 at (7,0)");
    EXPECT_EQ(placed({1024, 3000}), "160x469 at (10,0)");
    EXPECT_EQ(placed({100, 60}), "100x60 at (40,36)");
    // Exactly 132 / 160 still counts as wide; a square is a page.
    EXPECT_EQ(placed({1600, 1320}), "160x132 at (10,0)");
    EXPECT_EQ(placed({1000, 1000}), "160x160 at (10,0)");
    EXPECT_EQ(placed({5000, 1}), "180x1 at (0,65)");
}

TEST(ImageFiles, ThumbnailsKeepTheTopOfAPageOnTheBackground)
{
    // A transparent page with a blue top, in memory, as a PNG file (whose top
    // alone is decoded) and cut down as a JPEG (decoded scaled).
    QImage page(1280, 8000, QImage::Format_ARGB32);
    page.fill(Qt::transparent);
    for (int y = 0; y < 1000; ++y)
        std::fill_n(reinterpret_cast<QRgb *>(page.scanLine(y)), page.width(), qRgb(0, 0, 255));
    const QString png = common::homePath(QStringLiteral("page.png"));
    const QString jpeg = common::homePath(QStringLiteral("tall.jpg"));
    ASSERT_TRUE(page.save(png, "PNG"));
    ASSERT_TRUE(page.copy(0, 0, 400, 1200).save(jpeg, "JPG", 90));

    const QByteArray thumbnails[]
        = {thumbnailOf(page), makeThumbnail(png).value_or(""), makeThumbnail(jpeg).value_or("")};
    for (const QByteArray &bytes : thumbnails) {
        const QImage thumb = QImage::fromData(bytes, "JPG");
        ASSERT_EQ(thumb.size(), QSize(180, 132));
        EXPECT_TRUE(near(thumb.pixel(90, 60), Qt::blue));
        EXPECT_TRUE(near(thumb.pixel(3, 60), thumbnailBackground()));
        // The transparent part of the page (the JPEG has none so high up).
        if (&bytes != &thumbnails[2]) {
            EXPECT_TRUE(near(thumb.pixel(90, 128), thumbnailBackground()));
        }
    }

    // A grey-level PNG comes out grey, not as garbled bytes.
    QImage grey(50, 40, QImage::Format_Grayscale8);
    grey.fill(QColor(128, 128, 128));
    ASSERT_TRUE(grey.save(png, "PNG"));
    EXPECT_TRUE(near(
        QImage::fromData(makeThumbnail(png).value_or("")).pixel(90, 66), QColor(128, 128, 128)));

    // No file: the thumbnail is left alone; no picture: it becomes empty.
    EXPECT_FALSE(makeThumbnail(common::homePath(QStringLiteral("none.png"))).has_value());
    QFile text(common::homePath(QStringLiteral("note.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a picture") > 0);
    text.close();
    EXPECT_EQ(makeThumbnail(text.fileName()), QByteArray());
}

TEST(ImageFiles, PictureNamesNeverRepeat)
{
    QString folder = common::homePath(QStringLiteral("gone"));
    EXPECT_EQ(ensureImageFolder(folder), common::homePath(QStringLiteral("images")));
    EXPECT_TRUE(QDir(folder).exists());

    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9));
    EXPECT_EQ(uniquePictureName(folder, when, QString()), QStringLiteral("20240305070809"));
    // Two pictures in the same second: the second one gets its own name.
    for (const char *taken : {"20240305070809.png", "20240305070809_2.png"}) {
        EXPECT_EQ(uniquePictureName(folder, when, QStringLiteral("png")), QLatin1String(taken));
        EXPECT_TRUE(
            QFile(folder + QLatin1Char('/') + QLatin1String(taken)).open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(uniquePictureName(folder, when, QStringLiteral("png")),
        QStringLiteral("20240305070809_3.png"));
}
