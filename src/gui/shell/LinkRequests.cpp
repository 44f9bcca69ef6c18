// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/LinkRequests.h"

#include "core/platform/InstanceChannel.h"
#include "gui/commands/CommandBinding.h"
#include "gui/shell/MainWindow.h"

#include <QApplication>

namespace quillet::shell {

LinkRequests::LinkRequests(MainWindow &window)
    : QObject(&window)
    , m_window(window)
    , m_server(new platform::InstanceServer(
          [this](const QByteArray &message) { return answer(message); }, this))
{
}

bool LinkRequests::listen()
{
    return m_server->listen();
}

QString LinkRequests::errorString() const
{
    return m_server->errorString();
}

QByteArray LinkRequests::answer(const QByteArray &message)
{
    const std::optional<AddRequest> request = decodeAddRequest(message);
    if (!request)
        return encodeAddOutcome({false, QStringLiteral("Quillet did not understand the request.")});
    return encodeAddOutcome(apply(*request));
}

AddOutcome LinkRequests::apply(const AddRequest &request)
{
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
    // A command half done, or a dialog that copied the tree, must not see a
    // bookmark appear under it.
    if (commands::commandInProgress() || QApplication::activeModalWidget()) {
        return {false,
            QStringLiteral(
                "Quillet is busy with a dialog or a command; try again when it is done.")};
    }
    AddOutcome outcome;
    const bool ran = commands::reportEngineErrors(
        m_window.workspace(), [&] { outcome = applyAddRequest(m_window.workspace(), request); });
    if (!ran)
        outcome = {false, QStringLiteral("The document could not be changed.")};
    return outcome;
}

} // namespace quillet::shell
