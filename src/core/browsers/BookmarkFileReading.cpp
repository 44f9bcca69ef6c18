// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/BookmarkFileReading.h"

#include "core/store/DocumentHold.h"

#include <QFile>

namespace quillet::browsers {

ReadBookmarks readFailure(const QString &error)
{
    ReadBookmarks read;
    read.error = error;
    return read;
}

QString tooDeepProblem()
{
    return QStringLiteral("Folders nested more than %1 levels deep were put into the folder at "
                          "level %1.")
        .arg(kMaxFolderDepth);
}

QString openToRead(QFile &file)
{
    if (store::DocumentHold::isHeldHere(file.fileName()))
        return QStringLiteral("Can not read '%1': file already in use").arg(file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Can not read '%1': %2").arg(file.fileName(), file.errorString());
    return QString();
}

} // namespace quillet::browsers
