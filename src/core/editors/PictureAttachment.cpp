// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editors/PictureAttachment.h"

#include "core/outline/Workspace.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/PathNames.h"
#include "core/snapshots/BookmarkPicture.h"
#include "core/snapshots/CaptureLimits.h"
#include "core/snapshots/ImageFiles.h"
#include "core/store/BookmarkTable.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace quillet::editors {

QString pictureDialogTitle()
{
    return QStringLiteral(" Search for picture");
}

QString pictureFilter()
{
    return QStringLiteral("Image files(*.bmp;*.gif;*.jpg;*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png");
}

QString notBitmapMessage(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"')
        + QStringLiteral(" is not a standard Bitmap file.");
}

QString pictureNotCopiedMessage(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"')
        + QStringLiteral(" could not be copied to the image folder.");
}

QString pictureTooLargeMessage(const QString &path, QSize size)
{
    return QLatin1Char('"') + path + QLatin1Char('"')
        + QStringLiteral(" is too large a picture (%1 x %2 pixels): pictures of up to 256 MB "
                         "can be attached.")
              .arg(size.width())
              .arg(size.height());
}

bool searchForPicture(outline::Workspace &ws)
{
    const outline::HeadingNode *heading = ws.tree().current();
    store::Database *db = ws.document().database();
    outline::BookmarkList &list = ws.list();
    const QString key = list.selectedKey();
    platform::FileDialogs *dialogs = ws.services().fileDialogs;
    if (!heading || heading->key.isEmpty() || key.isEmpty() || !db || !dialogs)
        return false;
    const QString headingKey = heading->key;

    QString &start = ws.windowSettings().defaultDir;
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = platform::desktopFolder();
    const QString chosen = dialogs->openFile(pictureDialogTitle(), start, pictureFilter());
    if (chosen.isEmpty())
        return false;
    // Looked at before anything is copied, so no picture is left behind
    // without a bookmark.
    if (!store::BookmarkTable(*db).findLive(headingKey, key, store::Thumbnail::Skip))
        return false;
    QImageReader header(chosen);
    header.setDecideFormatFromContent(true);
    if (const QSize size = header.size(); size.isValid() && !snapshots::fitsPictureMemory(size)) {
        ws.message(pictureTooLargeMessage(chosen, size), platform::MessageIcon::Critical);
        return false;
    }

    const QString folder = snapshots::ensureImageFolder(ws.optionSettings().imageFolder);
    const QString extension = extensionOfName(chosen).toLower();
    const bool bitmap = extension == QLatin1String("bmp");
    const QString name = snapshots::uniquePictureName(
        folder, QDateTime::currentDateTime(), bitmap ? QStringLiteral("png") : extension);
    const QString target = folder + QLatin1Char('/') + name;
    if (folder.isEmpty() || (!bitmap && !QFile::copy(chosen, target))) {
        ws.message(pictureNotCopiedMessage(chosen), platform::MessageIcon::Critical);
        return false;
    }
    if (bitmap && !snapshots::convertToPng(chosen, target)) {
        ws.message(notBitmapMessage(chosen), platform::MessageIcon::Critical);
        return false;
    }
    ws.document().registerPendingImageFile(name);

    const outline::EditHistory::Scope step(&ws.history(), QStringLiteral("Attach picture"));
    const auto row = snapshots::attachPicture(*db, headingKey, key, folder, name);
    if (!row)
        return false;
    ws.document().setModified(true);
    const int at = list.model().updateEntry(key, {key, row->name, row->link, row->date});
    if (at >= 0)
        list.selectRow(at, true);
    list.showEntry(key);
    return true;
}

} // namespace quillet::editors
