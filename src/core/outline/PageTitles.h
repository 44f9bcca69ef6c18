// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QNetworkAccessManager;

namespace quillet::outline {

// The title of a web page, read over the network in the background: one GET,
// redirects followed, through the system's proxy, at most kMaxPageBytes read
// and at most the timeout in all. Only the title is kept of the page.
class PageTitles : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxPageBytes = 1024 * 1024;
    static constexpr int kDefaultTimeoutMs = 10000;

    explicit PageTitles(QObject *parent = nullptr);

    // Starts reading the title of an http: or https: link; `done` gets the
    // title, empty when there is none or the page could not be read. Other
    // links get an empty title at once.
    void fetch(const QString &link, std::function<void(const QString &title)> done);
    // Titles being read.
    int pending() const { return m_pending; }
    void setTimeout(int ms) { m_timeoutMs = ms; }

    // The <title> of the start of a page, in the character set the
    // Content-Type header names, else the page's <meta>, else UTF-8 or
    // Windows-1252 as browsers guess; entities decoded, blanks simplified.
    static QString titleOfPage(const QByteArray &bytes, const QByteArray &contentType);

private:
    QNetworkAccessManager *m_network;
    int m_pending = 0;
    int m_timeoutMs = kDefaultTimeoutMs;
};

} // namespace quillet::outline
