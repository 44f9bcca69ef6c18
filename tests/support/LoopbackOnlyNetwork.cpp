// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackOnlyNetwork.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>

namespace quillet::test {

namespace {

// A reply that fails with "host not found" once the event loop runs, as a
// failed lookup does.
class UnresolvedReply : public QNetworkReply
{
public:
    UnresolvedReply(
        QNetworkAccessManager::Operation op, const QNetworkRequest &request, QObject *parent)
        : QNetworkReply(parent)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(op);
        open(QIODevice::ReadOnly);
        QTimer::singleShot(0, this, [this] {
            setError(HostNotFoundError, QStringLiteral("Host %1 not found").arg(url().host()));
            Q_EMIT errorOccurred(HostNotFoundError);
            setFinished(true);
            Q_EMIT finished();
        });
    }

    void abort() override { }
    qint64 bytesAvailable() const override { return 0; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
};

} // namespace

LoopbackOnlyNetwork::LoopbackOnlyNetwork(QObject *parent)
    : QNetworkAccessManager(parent)
{
    setProxy(QNetworkProxy::NoProxy);
}

QNetworkReply *LoopbackOnlyNetwork::createRequest(
    Operation op, const QNetworkRequest &request, QIODevice *outgoingData)
{
    const QUrl url = request.url();
    if (url.isLocalFile() || url.host() == QLatin1String("127.0.0.1"))
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    refusedHosts << url.host();
    return new UnresolvedReply(op, request, this);
}

} // namespace quillet::test
