// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/links/LinkResult.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <deque>
#include <vector>

class QNetworkAccessManager;

namespace quillet::links {

struct LinkCheckOptions
{
    int timeoutMs = 15000; // a request without an answer this long is dead
    int maxInFlight = 32; // requests under way at once, over all servers
    int maxPerServer = 2; // requests under way at once to one host and port
    int maxRedirects = 10;
};

// Checks web links over the network, politely: HEAD first, GET (headers
// only) where HEAD is refused or answered with an error, redirects followed
// by hand so that loops and permanent moves show, a bounded number of
// requests at once and per server. file:// links are checked by whether the
// file exists; links the checker cannot follow are skipped at once.
// Asynchronous: results come with the event loop, and the check can be
// stopped at any moment.
class LinkChecker : public QObject
{
    Q_OBJECT
public:
    // `network` null: the checker uses its own, with the system's proxy
    // settings (never a proxy for this machine's own addresses).
    explicit LinkChecker(LinkCheckOptions options = {}, QNetworkAccessManager *network = nullptr,
        QObject *parent = nullptr);
    ~LinkChecker() override;

    // "Quillet/VERSION (link checker)".
    static QString userAgent();

    // Checks each of `links` once (give distinct texts), stopping any check
    // under way first. Links decided without the network are decided before
    // this returns; finished() comes at once when that was all of them.
    void start(const QStringList &links);
    // start() and wait in a local event loop until the check ends.
    void run(const QStringList &links);
    // Stops at once: the links not yet decided stay Unchecked.
    void cancel();

    bool isRunning() const { return m_running; }
    int total() const { return static_cast<int>(m_results.size()); }
    int done() const { return m_done; }
    const LinkResult &result(int index) const { return m_results.at(static_cast<size_t>(index)); }
    // The link text of `index`, as given.
    QString link(int index) const { return m_links.at(index); }

Q_SIGNALS:
    void linkChecked(int index);
    void progressChanged(int done, int total);
    void finished();

private:
    class Probe;
    struct Server
    {
        std::vector<int> waiting;
        size_t next = 0; // the first of `waiting` not yet started
        int active = 0;
        bool queued = false; // in m_ready
    };

    void pump();
    void launch(int index, int server);
    void send(Probe *probe);
    void answered(Probe *probe);
    void networkFailed(Probe *probe);
    void detach(Probe *probe);
    void conclude(Probe *probe, LinkResult result);
    void decide(int index, LinkResult result);
    void markReady(int server);

    LinkCheckOptions m_options;
    QNetworkAccessManager *m_network;
    QStringList m_links;
    std::vector<LinkResult> m_results;
    std::vector<Server> m_servers;
    std::deque<int> m_ready; // servers with waiting links and room, in turn
    QHash<int, Probe *> m_probes;
    int m_done = 0;
    int m_inFlight = 0;
    bool m_running = false;
    bool m_pumping = false;
};

} // namespace quillet::links
