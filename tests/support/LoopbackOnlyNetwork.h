// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QNetworkAccessManager>
#include <QStringList>

namespace quillet::test {

// A network access manager for tests that reaches 127.0.0.1 and nothing else,
// and never through a proxy. Every other host fails as if its name did not
// resolve ("host not found"), without any lookup: that is how tests reach the
// no-such-host path. The hosts asked for are recorded.
class LoopbackOnlyNetwork : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit LoopbackOnlyNetwork(QObject *parent = nullptr);

    QStringList refusedHosts;

protected:
    QNetworkReply *createRequest(
        Operation op, const QNetworkRequest &request, QIODevice *outgoingData) override;
};

} // namespace quillet::test
