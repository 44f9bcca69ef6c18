// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <functional>

class QAction;

namespace quillet::outline {
class Workspace;
}

namespace quillet::commands {

class CommandBar;

// Runs `work`; an engine failure is shown as a critical message with the
// engine's description and the call returns false. The failed step's own
// transaction has rolled back by then, so there is nothing else to undo.
bool reportEngineErrors(outline::Workspace &workspace, const std::function<void()> &work);

// True while a bound command runs (it may be yielding to the event loop):
// requests from outside the window wait until it is done.
bool commandInProgress();

// Connects command actions straight to their handlers, each run through
// reportEngineErrors. Wiring mistakes throw std::logic_error while the
// window is built, instead of leaving a menu item that does nothing.
class CommandBinding
{
public:
    CommandBinding(CommandBar &bar, outline::Workspace &workspace);

    // Throws for a key without an action, for an item that is no command
    // (separator, submenu) and for a second handler of the same key.
    void bind(const QString &key, std::function<void()> handler);
    // A command that is not built yet stays without a handler on purpose.
    void leaveUnbound(const QString &key);
    // Throws naming every command of the table that was neither bound nor
    // left unbound.
    void requireComplete() const;

private:
    // Checks that `key` is a command without a handler yet and marks it.
    QAction *settle(const QString &key);

    CommandBar &m_bar;
    outline::Workspace &m_workspace;
    QSet<QString> m_settled;
};

} // namespace quillet::commands
