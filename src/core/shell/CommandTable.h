// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quillet::shell {

// Every command of the main window is one item of this table, identified by
// its key; menus and toolbars (bands) list items by key.
struct CommandItem
{
    enum class Style
    {
        Normal,
        Separator,
        Check
    };

    QString key;
    QString caption;
    QString tooltip;
    QString shortcut; // e.g. "Ctrl+N"; empty for none
    int icon = -1; // slot in the command image list; -1 for none
    Style style = Style::Normal;
    bool hidden = false;
    QString submenu; // key of the band shown as this item's submenu
};

struct CommandBand
{
    QString key;
    QString caption;
    QStringList items;
};

// The items in creation order.
const QList<CommandItem> &commandItems();
// The bands in creation order.
const QList<CommandBand> &commandBands();
const CommandItem *findCommandItem(const QString &key);
const CommandBand *findCommandBand(const QString &key);

// Caption of recent-file entry k (1..3): "&k path".
QString recentFileCaption(int k, const QString &entry);

} // namespace quillet::shell
