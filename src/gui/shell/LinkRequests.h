// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/shell/AddRequest.h"

#include <QObject>

namespace quillet::platform {
class InstanceServer;
}

namespace quillet::shell {

class MainWindow;

// Links handed to the running window from outside (`quillet --add`, a
// quillet: link): each is added as a drop of one link, the window comes to
// the front and its status bar says what happened. While a dialog or a
// command is running nothing is added and the caller is told to try again.
class LinkRequests : public QObject
{
    Q_OBJECT
public:
    explicit LinkRequests(MainWindow &window);

    // Starts listening on the single-instance lock's channel.
    bool listen();
    QString errorString() const;
    AddOutcome apply(const AddRequest &request);

private:
    QByteArray answer(const QByteArray &message);

    MainWindow &m_window;
    platform::InstanceServer *m_server;
};

} // namespace quillet::shell
