// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/NameOnlyIconProvider.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace quillet::platform {

namespace {

QMimeType mimeTypeByName(const QFileInfo &info)
{
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

} // namespace

QIcon NameOnlyIconProvider::icon(const QFileInfo &info) const
{
    if (info.isDir())
        return QFileIconProvider::icon(QAbstractFileIconProvider::Folder);
    const QIcon fallback = QFileIconProvider::icon(QAbstractFileIconProvider::File);
    const QMimeType mime = mimeTypeByName(info);
    if (mime.isDefault())
        return fallback;
    return QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName(), fallback));
}

QString NameOnlyIconProvider::type(const QFileInfo &info) const
{
    if (!info.isFile())
        return QFileIconProvider::type(info); // folders and drives: no file is read
    const QMimeType mime = mimeTypeByName(info);
    if (mime.isDefault()) {
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("File")
                                : suffix.toUpper() + QStringLiteral(" File");
    }
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}

} // namespace quillet::platform
