// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/FileDialogs.h"
#include "gui/platform/NameOnlyIconProvider.h"

class QFileDialog;
class QWidget;

namespace quillet::platform {

// Qt's own dialogs (never the desktop's, which may read the listed files
// inside this process), with icons and types decided by name only.
class QtFileDialogs : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget *owner = nullptr)
        : m_owner(owner)
    {
    }
    QString openFile(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFile(const QString &title, const QString &folder, const QString &fileName,
        const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &folder) override;

    // "rdb files(*.rdb)|*.rdb" -> "rdb files(*.rdb)" as Qt writes filters.
    static QString qtFilter(const QString &filter);

private:
    QString run(QFileDialog &dialog);

    QWidget *m_owner;
    NameOnlyIconProvider m_icons;
};

} // namespace quillet::platform
