// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/commands/CommandBinding.h"

#include "core/outline/Workspace.h"
#include "core/shell/CommandTable.h"
#include "core/store/EngineError.h"
#include "gui/commands/CommandBar.h"

#include <QAction>
#include <QStringList>
#include <stdexcept>

namespace quillet::commands {

namespace {

int g_running = 0;

bool isCommand(const shell::CommandItem &item)
{
    return item.style != shell::CommandItem::Style::Separator && item.submenu.isEmpty();
}

[[noreturn]] void fail(const QString &text)
{
    throw std::logic_error(text.toStdString());
}

} // namespace

bool commandInProgress()
{
    return g_running > 0;
}

bool reportEngineErrors(outline::Workspace &workspace, const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const store::EngineError &e) {
        workspace.message(e.description(), platform::MessageIcon::Critical);
        return false;
    }
}

CommandBinding::CommandBinding(CommandBar &bar, outline::Workspace &workspace)
    : m_bar(bar)
    , m_workspace(workspace)
{
}

QAction *CommandBinding::settle(const QString &key)
{
    QAction *action = m_bar.requireAction(key);
    const shell::CommandItem *item = shell::findCommandItem(key);
    if (!item || !isCommand(*item))
        fail(QStringLiteral("%1 is no command").arg(key));
    if (m_settled.contains(key))
        fail(QStringLiteral("command %1 is bound or left unbound already").arg(key));
    m_settled.insert(key);
    return action;
}

void CommandBinding::bind(const QString &key, std::function<void()> handler)
{
    QAction *action = settle(key);
    outline::Workspace &workspace = m_workspace;
    QObject::connect(
        action, &QAction::triggered, action, [&workspace, handler = std::move(handler)] {
            struct Running
            {
                Running() { ++g_running; }
                ~Running() { --g_running; }
            } running;
            reportEngineErrors(workspace, handler);
        });
}

void CommandBinding::leaveUnbound(const QString &key)
{
    settle(key);
}

void CommandBinding::requireComplete() const
{
    QStringList missing;
    for (const shell::CommandItem &item : shell::commandItems()) {
        if (isCommand(item) && !m_settled.contains(item.key))
            missing << item.key;
    }
    if (!missing.isEmpty())
        fail(QStringLiteral("commands without a handler: ") + missing.join(QLatin1Char(' ')));
}

} // namespace quillet::commands
