// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/editors/PictureAttachment.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/snapshots/BookmarkPicture.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Schema.h"

#include <QDataStream>
#include <QDate>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::test;

namespace {

const QString kNews = QStringLiteral("K10");

// "News" with one saved bookmark "Soup" (picture "old.png"), listed and
// selected.
class PictureFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = common::homePath(QStringLiteral("pictures.rdb"));
        ItemRow soup(
            kNews, QStringLiteral("a1"), QStringLiteral("Soup"), QStringLiteral("http://s"));
        soup.pictureFile = QStringLiteral("old.png");
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")},
                {QStringLiteral("kRoot"), QStringLiteral("News"), kNews}},
            {soup});
        ws.document().adoptOpened(store::openDocumentDatabase(path), path);
        outline::loadHeadingTree(*ws.document().database(), ws.tree(), nullptr);
        ws.selectHeading(ws.tree().findByKey(kNews));
        ws.list().selectRow(0, false);
        description.shownNames.clear();
    }
    std::vector<store::BookmarkRow> rows()
    {
        return store::BookmarkTable(*ws.document().database())
            .allRows(kNews, store::Thumbnail::Read);
    }
    QString picture(const QString &name, const char *format)
    {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString file = common::homePath(name);
        image.save(file, format);
        return file;
    }
    QStringList imageFiles() const
    {
        return QDir(common::homePath(QStringLiteral("images"))).entryList(QDir::Files);
    }

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    RecordingDescription description;
    outline::Workspace ws {{&messages, &dialogs, nullptr, &description, nullptr, nullptr}};
    QString path;
};

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray chunk;
    QDataStream out(&chunk, QIODevice::WriteOnly);
    out << quint32(data.size());
    out.writeRawData(type.constData(), int(type.size()));
    out.writeRawData(data.constData(), int(data.size()));
    out << crc32(type + data);
    return chunk;
}

// The start of a PNG that says it is 65,535 pixels square: 16 GB of pixels.
QByteArray hugePngStart()
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out << quint32(65535) << quint32(65535) << quint8(8) << quint8(6) << quint8(0) << quint8(0)
        << quint8(0);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
        + pngChunk("IDAT", QByteArray("\x78\x9c", 2)) + pngChunk("IEND", {});
}

} // namespace

TEST_F(PictureFixture, SavedBookmarkGetsAPendingCopyThenChangesInPlace)
{
    dialogs.choose(picture(QStringLiteral("Photo.JPG"), "JPG"));
    ASSERT_TRUE(editors::searchForPicture(ws));
    const QStringList files = imageFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.jpg$")).match(files[0]).hasMatch())
        << files[0].toStdString();

    auto all = rows();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].state, store::RowState::Removed);
    EXPECT_EQ(all[0].pictureFile, QStringLiteral("old.png"));
    EXPECT_EQ(all[1].state, store::RowState::Added);
    EXPECT_EQ(all[1].pictureFile, files[0]);
    EXPECT_EQ(all[1].date, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(QImage::fromData(all[1].thumbnail, "JPG").size(), QSize(180, 132));
    EXPECT_EQ(ws.list().model().entry(0).date, all[1].date);
    EXPECT_EQ(description.shownNames, QStringList {QStringLiteral("Soup")});
    EXPECT_TRUE(ws.document().isModified());

    // A BMP becomes a PNG under a name of its own; the pending row changes.
    dialogs.choose(picture(QStringLiteral("scan.bmp"), "BMP"));
    ASSERT_TRUE(editors::searchForPicture(ws));
    all = rows();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_TRUE(all[1].pictureFile.endsWith(QLatin1String(".png")));
    EXPECT_EQ(imageFiles().size(), 2);
    EXPECT_EQ(ws.document().pendingImageFiles(), imageFiles());
}

TEST_F(PictureFixture, DiscardDeletesThePictureAndBringsTheOldOneBack)
{
    dialogs.choose(picture(QStringLiteral("p.png"), "PNG"));
    ASSERT_TRUE(editors::searchForPicture(ws));
    ASSERT_EQ(imageFiles().size(), 1);
    shell::DocumentLifecycle life(ws);
    messages.answer(platform::MessageAnswer::No); // save changes? no
    life.fileNew();
    EXPECT_TRUE(imageFiles().isEmpty());
    EXPECT_EQ(itemRows(path), QStringList {QStringLiteral("Soup:0")});
}

TEST_F(PictureFixture, RefusedPicturesChangeNothing)
{
    // Cancel, then a broken bitmap, then a file that cannot be read.
    dialogs.choose(QString());
    const QString bad = common::homePath(QStringLiteral("bad.bmp"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM not really");
    file.close();
    dialogs.choose(bad);
    dialogs.choose(common::homePath(QStringLiteral("missing.gif")));
    const QString huge = common::homePath(QStringLiteral("huge.png"));
    QFile hugeFile(huge);
    ASSERT_TRUE(hugeFile.open(QIODevice::WriteOnly));
    hugeFile.write(hugePngStart());
    hugeFile.close();
    dialogs.choose(huge);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(editors::searchForPicture(ws));
    // A picture that was never written is not recorded either.
    EXPECT_FALSE(snapshots::attachPicture(*ws.document().database(), kNews, QStringLiteral("a1"),
        common::homePath(QStringLiteral("images")), QStringLiteral("20240101000000.png")));

    EXPECT_EQ(messages.texts(),
        (QStringList {QLatin1Char('"') + bad + QStringLiteral("\" is not a standard Bitmap file."),
            editors::pictureNotCopiedMessage(common::homePath(QStringLiteral("missing.gif"))),
            editors::pictureTooLargeMessage(huge, QSize(65535, 65535))}));
    EXPECT_EQ(messages.shown.value(0).icon, platform::MessageIcon::Critical);
    EXPECT_TRUE(imageFiles().isEmpty());
    const auto all = rows();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].state, store::RowState::Committed);
    EXPECT_EQ(all[0].pictureFile, QStringLiteral("old.png"));
    EXPECT_FALSE(ws.document().isModified());
    EXPECT_TRUE(ws.document().pendingImageFiles().isEmpty());
}
