// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/InstanceChannel.h"

#include "core/common/AppHome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillet::platform {

namespace {

// A client that does not finish its message within this time is dropped, so
// a stuck or hostile one can not hold the channel.
constexpr int kReadTimeoutMs = 5000;

QByteArray framed(const QByteArray &message)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(message.size()), out.data());
    return out + message;
}

// A POSIX socket closed when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Waits for `events` on `fd` until `deadline`; false on a timeout or error.
bool waitFor(int fd, short events, const QElapsedTimer &clock, int timeoutMs)
{
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd p {fd, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left));
        if (n > 0)
            return (p.revents & events) != 0;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

QString instanceChannelPath()
{
    const QString inHome = common::homePath(QStringLiteral("quillet.socket"));
    // sun_path holds 108 bytes with its terminating zero.
    if (QFile::encodeName(inHome).size() < 100)
        return inHome;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QByteArray id
        = QCryptographicHash::hash(common::appHome().toUtf8(), QCryptographicHash::Sha1)
              .toHex()
              .left(16);
    return runtime + QStringLiteral("/quillet-") + QString::fromLatin1(id)
        + QStringLiteral(".socket");
}

InstanceServer::InstanceServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer()
{
    m_server->close();
}

bool InstanceServer::listen()
{
    // The lock is ours, so a socket there belongs to an instance that died.
    const QString path = instanceChannelPath();
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

QString InstanceServer::errorString() const
{
    return m_server->errorString();
}

void InstanceServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        QTimer::singleShot(kReadTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

void InstanceServer::readFrom(QLocalSocket *socket)
{
    if (socket->property("answered").toBool())
        return;
    if (socket->bytesAvailable() < 4)
        return;
    const QByteArray head = socket->peek(4);
    const quint32 size = qFromBigEndian<quint32>(head.constData());
    if (size > static_cast<quint32>(kMaxChannelMessage)) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < 4 + static_cast<qint64>(size))
        return;
    socket->read(4);
    const QByteArray message = socket->read(size);
    socket->setProperty("answered", true);
    const QByteArray reply = m_handler ? m_handler(message) : QByteArray();
    socket->write(framed(reply.left(kMaxChannelMessage)));
    socket->flush();
    socket->disconnectFromServer();
}

std::optional<QByteArray> sendToRunningInstance(const QByteArray &message, int timeoutMs)
{
    if (message.size() > kMaxChannelMessage)
        return std::nullopt;
    const QByteArray path = QFile::encodeName(instanceChannelPath());
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));

    Descriptor socket {::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0
        || ::connect(socket.fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0)
        return std::nullopt;

    QElapsedTimer clock;
    clock.start();
    const QByteArray out = framed(message);
    qsizetype sent = 0;
    while (sent < out.size()) {
        if (!waitFor(socket.fd, POLLOUT, clock, timeoutMs))
            return std::nullopt;
        const ssize_t n = ::send(socket.fd, out.constData() + sent,
            static_cast<size_t>(out.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;
        sent += n;
    }

    QByteArray in;
    char buffer[4096];
    for (;;) {
        if (in.size() >= 4) {
            const quint32 size = qFromBigEndian<quint32>(in.constData());
            if (size > static_cast<quint32>(kMaxChannelMessage))
                return std::nullopt;
            if (in.size() >= 4 + static_cast<qsizetype>(size))
                return in.mid(4, size);
        }
        if (!waitFor(socket.fd, POLLIN, clock, timeoutMs))
            return std::nullopt;
        const ssize_t n = ::recv(socket.fd, buffer, sizeof(buffer), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;
        in.append(buffer, n);
    }
}

} // namespace quillet::platform
