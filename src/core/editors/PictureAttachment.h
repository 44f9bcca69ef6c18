#pragma once

#include <QString>

namespace quillet::shell {
class Workspace;
}

namespace quillet::editors {

// " Search for picture" (miLSearch): a picture file chosen on disk is copied
// into the image folder (a BMP file converted to PNG) and attached to the
// list's selected bookmark, which the pane then shows. Returns whether the
// bookmark got the picture; messages go through the workspace.
bool searchForPicture(shell::Workspace &workspace);

QString pictureDialogTitle();
QString pictureFilter();
QString notBitmapMessage(const QString &path);
QString pictureNotCopiedMessage(const QString &path);

} // namespace quillet::editors
