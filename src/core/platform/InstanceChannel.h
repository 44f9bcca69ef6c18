// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace quillet::platform {

// The local channel of the single-instance lock: the running Quillet listens
// on a socket of its application home (only the same user may connect), and
// a second start hands it a message instead of starting another window. One
// message and one reply per connection, each a 4-byte length and its bytes.

// The socket's path: in the application home, or, when that path is too long
// for a socket, in the user's runtime folder under a name made from it.
QString instanceChannelPath();

// The longest message either side takes.
inline constexpr int kMaxChannelMessage = 256 * 1024;

class InstanceServer : public QObject
{
    Q_OBJECT
public:
    // Answers a message; runs in the event loop of the listening thread.
    using Handler = std::function<QByteArray(const QByteArray &message)>;

    explicit InstanceServer(Handler handler, QObject *parent = nullptr);
    ~InstanceServer() override;

    // Starts listening, taking over a socket a dead instance left behind.
    // Only the holder of the single-instance lock calls this.
    bool listen();
    QString errorString() const;

private:
    void accept();
    void readFrom(QLocalSocket *socket);

    Handler m_handler;
    QLocalServer *m_server;
};

// Sends `message` to the running instance and returns its reply; nothing
// when no instance listens (or it does not answer within `timeoutMs`).
// Needs no application object, so it can run before any is made.
std::optional<QByteArray> sendToRunningInstance(const QByteArray &message, int timeoutMs);

} // namespace quillet::platform
