// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/LinkChecker.h"

#include "core/common/Strings.h"
#include "core/links/LinkTriage.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QSet>
#include <QTimer>

namespace quillet::links {

namespace {

// The system's proxy for every host but this machine: a proxy can not reach
// our own loopback addresses.
class SystemProxyExceptLoopback : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        const QString host = query.peerHostName();
        QHostAddress address;
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
            || (address.setAddress(host) && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

LinkResult dead(QString detail)
{
    return {Verdict::Dead, std::move(detail), {}};
}

QString statusText(int status, const QByteArray &phrase)
{
    const QString text = QString::fromLatin1(phrase).trimmed();
    return text.isEmpty() ? QString::number(status) : QString::number(status) + u' ' + text;
}

bool isWeb(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace

// One link on its way through requests and redirects.
class LinkChecker::Probe : public QObject
{
public:
    Probe(int index, int server, QUrl url, QObject *parent)
        : QObject(parent)
        , index(index)
        , server(server)
        , url(std::move(url))
    {
        timer.setSingleShot(true);
        visited.insert(this->url.toString());
    }

    int index;
    int server;
    QUrl url; // the address asked now
    bool useGet = false; // HEAD was refused here
    int redirects = 0;
    bool permanentSoFar = true; // every redirect so far was permanent
    QUrl movedTo;
    QSet<QString> visited;
    QNetworkReply *reply = nullptr;
    QTimer timer;
};

LinkChecker::LinkChecker(LinkCheckOptions options, QNetworkAccessManager *network, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_network(network)
{
    m_options.maxInFlight = std::max(1, m_options.maxInFlight);
    m_options.maxPerServer = std::max(1, m_options.maxPerServer);
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
        m_network->setProxyFactory(new SystemProxyExceptLoopback);
    }
}

LinkChecker::~LinkChecker()
{
    cancel();
}

QString LinkChecker::userAgent()
{
    return QStringLiteral("Quillet/") + QLatin1String(strings::kVersion)
        + QStringLiteral(" (link checker)");
}

void LinkChecker::start(const QStringList &links)
{
    cancel();
    m_links = links;
    m_results.assign(static_cast<size_t>(links.size()), LinkResult {});
    m_servers.clear();
    m_ready.clear();
    m_done = 0;
    m_running = true;

    QHash<QString, int> serverOfName;
    for (int i = 0; i < links.size(); ++i) {
        const Triage triage = triageLink(links.at(i));
        switch (triage.kind) {
        case Triage::Web: {
            const QString name = serverOf(triage.url);
            auto found = serverOfName.constFind(name);
            if (found == serverOfName.constEnd()) {
                found = serverOfName.insert(name, static_cast<int>(m_servers.size()));
                m_servers.emplace_back();
            }
            m_servers[static_cast<size_t>(*found)].waiting.push_back(i);
            break;
        }
        case Triage::Skip:
            decide(i, {Verdict::Skipped, triage.reason, {}});
            break;
        case Triage::FileFound:
            decide(i, {Verdict::Ok, {}, {}});
            break;
        case Triage::FileMissing:
        case Triage::Invalid:
            decide(i, dead(triage.reason));
            break;
        }
    }
    for (int server = 0; server < static_cast<int>(m_servers.size()); ++server)
        markReady(server);
    Q_EMIT progressChanged(m_done, total());
    pump();
}

void LinkChecker::run(const QStringList &links)
{
    QEventLoop loop;
    const auto connection = connect(this, &LinkChecker::finished, &loop, &QEventLoop::quit);
    start(links);
    if (m_running)
        loop.exec();
    disconnect(connection);
}

void LinkChecker::cancel()
{
    const QList<Probe *> probes = m_probes.values();
    m_probes.clear();
    for (Probe *probe : probes) {
        detach(probe);
        probe->deleteLater();
    }
    m_inFlight = 0;
    m_servers.clear();
    m_ready.clear();
    if (m_running) {
        m_running = false;
        Q_EMIT finished();
    }
}

void LinkChecker::markReady(int server)
{
    Server &s = m_servers[static_cast<size_t>(server)];
    if (!s.queued && s.next < s.waiting.size() && s.active < m_options.maxPerServer) {
        s.queued = true;
        m_ready.push_back(server);
    }
}

void LinkChecker::pump()
{
    // A link decided while starting another must not start a third inside.
    if (m_pumping)
        return;
    m_pumping = true;
    while (m_running && m_inFlight < m_options.maxInFlight && !m_ready.empty()) {
        const int server = m_ready.front();
        m_ready.pop_front();
        Server &s = m_servers[static_cast<size_t>(server)];
        s.queued = false;
        if (s.next >= s.waiting.size() || s.active >= m_options.maxPerServer)
            continue;
        const int index = s.waiting[s.next++];
        if (s.next == s.waiting.size())
            std::vector<int>().swap(s.waiting), s.next = 0;
        ++s.active;
        ++m_inFlight;
        markReady(server);
        launch(index, server);
    }
    m_pumping = false;
    if (m_running && m_done == total()) {
        m_running = false;
        Q_EMIT finished();
    }
}

void LinkChecker::launch(int index, int server)
{
    auto *probe = new Probe(index, server, triageLink(m_links.at(index)).url, this);
    connect(&probe->timer, &QTimer::timeout, this, [this, probe] {
        detach(probe);
        conclude(probe,
            dead(QStringLiteral("timeout (no answer in %1 s)")
                     .arg(QString::number(m_options.timeoutMs / 1000.0))));
    });
    m_probes.insert(index, probe);
    send(probe);
}

void LinkChecker::send(Probe *probe)
{
    QNetworkRequest request(probe->url);
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept", "*/*");
    QNetworkReply *reply = probe->useGet ? m_network->get(request) : m_network->head(request);
    probe->reply = reply;
    // A GET is only for its status: it is decided as soon as the headers are in.
    connect(reply, &QNetworkReply::metaDataChanged, probe, [this, probe] {
        if (probe->useGet)
            answered(probe);
    });
    connect(reply, &QNetworkReply::finished, probe, [this, probe] { answered(probe); });
    probe->timer.start(m_options.timeoutMs);
}

void LinkChecker::detach(Probe *probe)
{
    probe->timer.stop();
    if (QNetworkReply *reply = std::exchange(probe->reply, nullptr)) {
        disconnect(reply, nullptr, probe, nullptr);
        if (!reply->isFinished())
            reply->abort();
        reply->deleteLater();
    }
}

void LinkChecker::answered(Probe *probe)
{
    QNetworkReply *reply = probe->reply;
    if (!reply)
        return;
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!statusAttribute.isValid()) {
        if (reply->isFinished())
            networkFailed(probe);
        return;
    }
    const int status = statusAttribute.toInt();
    const QByteArray phrase
        = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    const QByteArray location = reply->rawHeader("Location");
    detach(probe);

    if (status >= 300 && status < 400 && status != 304) {
        if (location.isEmpty()) {
            conclude(probe, dead(statusText(status, phrase) + QStringLiteral(" without a target")));
            return;
        }
        const QUrl target = probe->url.resolved(QUrl(QString::fromUtf8(location)));
        if (!target.isValid() || !isWeb(target)) {
            conclude(probe, dead(QStringLiteral("redirected to ") + target.toString()));
            return;
        }
        const QString targetText = target.toString();
        if (++probe->redirects > m_options.maxRedirects || probe->visited.contains(targetText)) {
            conclude(probe, dead(QStringLiteral("too many redirects")));
            return;
        }
        probe->visited.insert(targetText);
        if (probe->permanentSoFar && (status == 301 || status == 308))
            probe->movedTo = target;
        else
            probe->permanentSoFar = false;
        probe->url = target;
        send(probe);
        return;
    }
    if (status >= 400) {
        // Some servers refuse HEAD or answer it wrongly: the GET decides.
        if (!probe->useGet) {
            probe->useGet = true;
            send(probe);
            return;
        }
        conclude(probe, dead(statusText(status, phrase)));
        return;
    }
    if (probe->movedTo.isValid())
        conclude(probe, {Verdict::Moved, {}, probe->movedTo.toString()});
    else
        conclude(probe, {Verdict::Ok, {}, {}});
}

void LinkChecker::networkFailed(Probe *probe)
{
    const QNetworkReply::NetworkError error = probe->reply->error();
    const QString message = probe->reply->errorString();
    detach(probe);
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        conclude(probe, dead(QStringLiteral("no such host")));
        return;
    case QNetworkReply::ConnectionRefusedError:
        conclude(probe, dead(QStringLiteral("connection refused")));
        return;
    case QNetworkReply::TimeoutError:
        conclude(probe, dead(QStringLiteral("timeout")));
        return;
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::InsecureRedirectError:
        conclude(probe, dead(QStringLiteral("TLS failure: ") + message));
        return;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
        // Some servers drop a HEAD they do not like.
        if (!probe->useGet) {
            probe->useGet = true;
            send(probe);
            return;
        }
        conclude(probe,
            dead(error == QNetworkReply::RemoteHostClosedError
                    ? QStringLiteral("connection closed by the server")
                    : message));
        return;
    default:
        conclude(probe, dead(message));
    }
}

void LinkChecker::conclude(Probe *probe, LinkResult result)
{
    m_probes.remove(probe->index);
    probe->deleteLater();
    --m_inFlight;
    if (probe->server < static_cast<int>(m_servers.size())) {
        --m_servers[static_cast<size_t>(probe->server)].active;
        markReady(probe->server);
    }
    decide(probe->index, std::move(result));
    pump();
}

void LinkChecker::decide(int index, LinkResult result)
{
    m_results[static_cast<size_t>(index)] = std::move(result);
    ++m_done;
    Q_EMIT linkChecked(index);
    Q_EMIT progressChanged(m_done, total());
}

} // namespace quillet::links
