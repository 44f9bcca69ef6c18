// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/commands/CommandBar.h"

#include "core/shell/CommandTable.h"
#include "gui/commands/CommandIcons.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <stdexcept>

namespace quillet::commands {

CommandBar::CommandBar(QMainWindow *window)
    : QObject(window)
    , m_window(window)
{
    for (const shell::CommandItem &item : shell::commandItems()) {
        auto *action = new QAction(item.caption, window);
        action->setObjectName(item.key);
        if (item.icon >= 0)
            action->setIcon(commandIcon(item.icon));
        if (item.style == shell::CommandItem::Style::Separator)
            action->setSeparator(true);
        if (item.style == shell::CommandItem::Style::Check)
            action->setCheckable(true);
        if (!item.tooltip.isEmpty())
            action->setToolTip(item.tooltip);
        if (!item.shortcut.isEmpty()) {
            action->setShortcut(QKeySequence(item.shortcut));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setVisible(!item.hidden);
        // Every command stays reachable by its shortcut even when its menu
        // is closed.
        window->addAction(action);
        m_actions.insert(item.key, action);
    }

    // Menus: the menu bar lists the menu items; each opens its band.
    QMenuBar *bar = window->menuBar();
    bar->setObjectName(QStringLiteral("bndMenu"));
    for (const QString &key : shell::findCommandBand(QStringLiteral("bndMenu"))->items) {
        const shell::CommandItem *item = shell::findCommandItem(key);
        QMenu *submenu = buildMenu(item->submenu, bar);
        submenu->setTitle(item->caption);
        m_actions.value(key)->setMenu(submenu);
        bar->addAction(m_actions.value(key));
    }

    m_toolbar = window->addToolBar(QString());
    m_toolbar->setObjectName(QStringLiteral("bndToolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(16, 16));
    fillToolBar(m_toolbar, QStringLiteral("bndToolbar"));

    m_toolbox = new QToolBar(window);
    m_toolbox->setObjectName(QStringLiteral("bndNode"));
    m_toolbox->setMovable(false);
    m_toolbox->setFloatable(false);
    m_toolbox->setIconSize(QSize(16, 16));
    // Pictures only; the tooltips name the commands.
    m_toolbox->setToolButtonStyle(Qt::ToolButtonIconOnly);
    fillToolBar(m_toolbox, QStringLiteral("bndNode"));

    m_listPopup = buildMenu(QStringLiteral("bndList"), window);
}

QAction *CommandBar::requireAction(const QString &key) const
{
    QAction *found = m_actions.value(key);
    if (!found)
        throw std::logic_error("no command " + key.toStdString());
    return found;
}

void CommandBar::trigger(const QString &key) const
{
    requireAction(key)->trigger();
}

QMenu *CommandBar::buildMenu(const QString &bandKey, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(bandKey);
    menu->setToolTipsVisible(false);
    for (const QString &key : shell::findCommandBand(bandKey)->items) {
        QAction *action = m_actions.value(key);
        const shell::CommandItem *item = shell::findCommandItem(key);
        if (!item->submenu.isEmpty()) {
            QMenu *submenu = buildMenu(item->submenu, menu);
            submenu->setTitle(item->caption);
            action->setMenu(submenu);
        }
        menu->addAction(action);
    }
    m_menus.insert(bandKey, menu);
    return menu;
}

void CommandBar::fillToolBar(QToolBar *bar, const QString &bandKey)
{
    for (const QString &key : shell::findCommandBand(bandKey)->items)
        bar->addAction(m_actions.value(key));
}

void CommandBar::setRecentFiles(const std::array<QString, 3> &entries)
{
    static const char *keys[] = {"miFMRU1", "miFMRU2", "miFMRU3"};
    bool showing = true;
    for (int k = 0; k < 3; ++k) {
        QAction *action = m_actions.value(QLatin1String(keys[k]));
        showing = showing && !entries[k].isEmpty();
        action->setText(showing ? shell::recentFileCaption(k + 1, entries[k]) : QString());
        action->setVisible(showing);
    }
    m_actions.value(QStringLiteral("miSepMRU"))->setVisible(!entries[0].isEmpty());
}

} // namespace quillet::commands
