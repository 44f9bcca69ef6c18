// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMimeData;

namespace quillet::platform {

// The desktop's clipboard, shared with every other program: where links
// copied in a browser wait, and where copied bookmarks go for other programs.
class SystemClipboard
{
public:
    virtual ~SystemClipboard() = default;
    // What the clipboard holds now; null when it holds nothing. Valid until
    // the clipboard changes.
    virtual const QMimeData *content() const = 0;
    // Puts `data` on the clipboard, which takes it over.
    virtual void setContent(QMimeData *data) = 0;
};

} // namespace quillet::platform
