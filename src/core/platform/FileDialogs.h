// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::platform {

// File dialogs as the commands use them. A cancelled dialog answers with the
// empty text. Filters use the "text(*.ext)|*.ext" form the commands are
// written with.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual QString openFile(const QString &title, const QString &folder, const QString &filter)
        = 0;
    virtual QString saveFile(
        const QString &title, const QString &folder, const QString &fileName, const QString &filter)
        = 0;
    virtual QString chooseFolder(const QString &title, const QString &folder) = 0;
};

} // namespace quillet::platform
