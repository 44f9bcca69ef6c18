// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace quillet::test {

namespace {

QByteArray usualPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 410:
        return "Gone";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// Each connection's unread bytes, kept on the socket itself.
const char kBufferProperty[] = "quilletPending";

} // namespace

HttpAnswer HttpAnswer::ok(QByteArray body, QByteArray contentType)
{
    HttpAnswer answer;
    answer.body = std::move(body);
    answer.headers.append({"Content-Type", std::move(contentType)});
    return answer;
}

HttpAnswer HttpAnswer::withStatus(int code)
{
    HttpAnswer answer;
    answer.status = code;
    return answer;
}

HttpAnswer HttpAnswer::redirect(int code, const QByteArray &location)
{
    HttpAnswer answer;
    answer.status = code;
    answer.headers.append({"Location", location});
    return answer;
}

LocalHttpServer::LocalHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

LocalHttpServer::~LocalHttpServer()
{
    m_server.close();
}

QString LocalHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

int LocalHttpServer::requestCount(const QByteArray &path) const
{
    int count = 0;
    for (const HttpRequestSeen &request : m_requests)
        count += request.path == path ? 1 : 0;
    return count;
}

quint16 LocalHttpServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void LocalHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        // Sockets belong to the server object, so they go when it goes.
        socket->setParent(this);
        // Answers go out at once: on a kept-alive connection Nagle's rule
        // would hold the last piece of an answer until the client's delayed
        // acknowledgement, some 40 ms per request.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::readFrom(QTcpSocket *socket)
{
    QByteArray pending = socket->property(kBufferProperty).toByteArray() + socket->readAll();
    for (;;) {
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            break;
        const QList<QByteArray> lines = pending.left(end).split('\n');
        HttpRequestSeen request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(
                    lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype bodyLength = request.headers.value("content-length").toLongLong();
        if (pending.size() < end + 4 + bodyLength)
            break;
        pending.remove(0, end + 4 + bodyLength);

        ++m_requestCount;
        if (m_record)
            m_requests.append(request);
        HttpAnswer answer = m_answers.value(request.path.split('?').value(0), m_fallback);
        if (answer.headStatus != 0 && request.method == "HEAD")
            answer = HttpAnswer::withStatus(answer.headStatus);
        const bool close = request.headers.value("connection").toLower() == "close";
        if (answer.neverAnswer)
            continue;
        ++m_waiting;
        m_mostWaiting = std::max(m_mostWaiting, m_waiting);
        if (answer.delayMs > 0) {
            QPointer<QTcpSocket> guarded(socket);
            QTimer::singleShot(answer.delayMs, this, [this, guarded, request, answer, close] {
                if (guarded)
                    respond(guarded, request, answer, close);
                else
                    --m_waiting;
            });
        } else {
            respond(socket, request, answer, close);
        }
    }
    socket->setProperty(kBufferProperty, pending);
}

void LocalHttpServer::respond(
    QTcpSocket *socket, const HttpRequestSeen &request, const HttpAnswer &answer, bool close)
{
    --m_waiting;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' '
        + (answer.reason.isEmpty() ? usualPhrase(answer.status) : answer.reason) + "\r\n";
    for (const auto &header : answer.headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    head += close ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    socket->write(head);
    if (request.method != "HEAD")
        socket->write(answer.body);
    if (close)
        socket->disconnectFromHost();
}

} // namespace quillet::test
