// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::editors {

// " Search for picture" (miLSearch): a picture file chosen on disk is copied
// into the image folder (a BMP file converted to PNG) and attached to the
// list's selected bookmark, which the pane then shows. Returns whether the
// bookmark got the picture; messages go through the workspace.
bool searchForPicture(outline::Workspace &workspace);

QString pictureDialogTitle();
QString pictureFilter();
QString notBitmapMessage(const QString &path);
QString pictureNotCopiedMessage(const QString &path);
// A picture whose header claims more pixels than a picture may take.
QString pictureTooLargeMessage(const QString &path, QSize size);

} // namespace quillet::editors
