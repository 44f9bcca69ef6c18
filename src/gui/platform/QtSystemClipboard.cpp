// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/QtSystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quillet::platform {

const QMimeData *QtSystemClipboard::content() const
{
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

void QtSystemClipboard::setContent(QMimeData *data)
{
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

} // namespace quillet::platform
