// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileDialogs.h"

class QWidget;

namespace quillet::platform {

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
    QWidget *m_owner;
};

} // namespace quillet::platform
