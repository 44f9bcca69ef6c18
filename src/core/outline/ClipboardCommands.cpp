// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/ClipboardCommands.h"

#include "core/outline/LinkIntake.h"
#include "core/outline/LinkMimeData.h"
#include "core/outline/Workspace.h"

#include <QCoreApplication>
#include <QMimeData>

namespace quillet::outline {

namespace {

// The marker of the links this process put on the system clipboard last:
// while the clipboard still holds them, Paste takes the program's own
// bookmarks (with pictures and descriptions) instead.
QByteArray &lastMarker()
{
    static QByteArray marker;
    return marker;
}

void publishSelection(Workspace &ws)
{
    platform::SystemClipboard *system = ws.services().systemClipboard;
    if (!system || ws.clipboard().isEmpty())
        return;
    const BookmarkListModel &model = ws.list().model();
    QList<OutgoingLink> links;
    for (const QString &key : ws.clipboard().keys()) {
        const int row = model.rowOfKey(key);
        if (row >= 0)
            links.append({model.entry(row).name, model.entry(row).link});
    }
    static quint64 serial = 0;
    lastMarker() = QByteArray::number(QCoreApplication::applicationPid()) + '.'
        + QByteArray::number(++serial);
    system->setContent(linksMimeData(links, lastMarker()));
}

} // namespace

void cutToClipboards(Workspace &ws, const QString &headingKey)
{
    ws.list().cutBookmarks(headingKey);
    publishSelection(ws);
}

void copyToClipboards(Workspace &ws, const QString &headingKey)
{
    ws.list().copyBookmarks(headingKey);
    publishSelection(ws);
}

void pasteFromClipboards(Workspace &ws, const QString &headingKey)
{
    const platform::SystemClipboard *system = ws.services().systemClipboard;
    const QMimeData *content = system ? system->content() : nullptr;
    const bool ours
        = content && !lastMarker().isEmpty() && ownClipboardMarker(*content) == lastMarker();
    IncomingLinks links;
    if (content && !ours)
        links = readIncomingLinks(*content);
    if (!ws.clipboard().isEmpty() && (ours || links.isEmpty())) {
        ws.list().pasteBookmarks(headingKey);
        return;
    }
    if (links.isEmpty() || headingKey.isEmpty())
        return;
    takeLinks(ws, headingKey, links);
}

} // namespace quillet::outline
