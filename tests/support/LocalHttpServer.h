// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace quillet::test {

// What the server answers on one path.
struct HttpAnswer
{
    int status = 200;
    QByteArray reason; // empty: the usual phrase of the status
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int delayMs = 0; // the answer is written this long after the request came
    bool neverAnswer = false; // reads the request and then keeps silent
    int headStatus = 0; // when set, HEAD gets this status (no other header), GET the answer

    static HttpAnswer ok(QByteArray body = {}, QByteArray contentType = "text/html");
    static HttpAnswer withStatus(int code);
    static HttpAnswer redirect(int code, const QByteArray &location);
    HttpAnswer &delayed(int ms)
    {
        delayMs = ms;
        return *this;
    }
    // HEAD refused ("405 Method Not Allowed") or answered with another status.
    HttpAnswer &headAnswered(int status = 405)
    {
        headStatus = status;
        return *this;
    }
};

// One request as the server read it.
struct HttpRequestSeen
{
    QByteArray method;
    QByteArray path; // with the query, as sent
    QHash<QByteArray, QByteArray> headers; // names in lower case
};

// A small HTTP/1.1 server for tests, on 127.0.0.1 only, at a port the system
// chooses. Each path answers as set; other paths get the fallback (404 unless
// set). Connections are kept alive, so a client may send many requests over
// one. Runs in the thread that made it: tests wait with QTRY_* or an event
// loop, never by blocking.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit LocalHttpServer(QObject *parent = nullptr);
    ~LocalHttpServer() override;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:PORT" followed by `path`.
    QString url(const QString &path = QStringLiteral("/")) const;

    void answer(const QByteArray &path, HttpAnswer answer) { m_answers.insert(path, answer); }
    void setFallback(HttpAnswer answer) { m_fallback = std::move(answer); }

    // Every request read so far, in order (not kept when `recordRequests` is
    // off, for benchmarks of many thousands).
    const QList<HttpRequestSeen> &requests() const { return m_requests; }
    void setRecordRequests(bool record) { m_record = record; }
    int requestCount() const { return m_requestCount; }
    int requestCount(const QByteArray &path) const;
    // The most requests that were waiting for their answer at one time.
    int mostWaiting() const { return m_mostWaiting; }
    int waiting() const { return m_waiting; }

    // A port on 127.0.0.1 where nothing listens (it was free a moment ago).
    static quint16 closedPort();

private:
    void accept();
    void readFrom(QTcpSocket *socket);
    void respond(
        QTcpSocket *socket, const HttpRequestSeen &request, const HttpAnswer &answer, bool close);

    QTcpServer m_server;
    QHash<QByteArray, HttpAnswer> m_answers;
    HttpAnswer m_fallback = HttpAnswer::withStatus(404);
    QList<HttpRequestSeen> m_requests;
    bool m_record = true;
    int m_requestCount = 0;
    int m_waiting = 0;
    int m_mostWaiting = 0;
};

} // namespace quillet::test
