// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/PageTitles.h"

#include "core/common/HtmlText.h"
#include "core/outline/LinkMimeData.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace quillet::outline {

namespace {

constexpr int kMaxRedirects = 10;

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.toLower().startsWith("charset=")) {
            QByteArray value = p.mid(8).trimmed();
            if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

// The raw bytes between <title ...> and </title>; null when the start holds
// no complete title.
QByteArray rawTitle(const QByteArray &bytes)
{
    const QByteArray lower = bytes.toLower();
    const qsizetype open = lower.indexOf("<title");
    if (open < 0)
        return {};
    const qsizetype start = lower.indexOf('>', open);
    if (start < 0)
        return {};
    const qsizetype end = lower.indexOf("</title", start);
    if (end < 0)
        return {};
    return bytes.mid(start + 1, end - start - 1);
}

} // namespace

PageTitles::PageTitles(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QString PageTitles::titleOfPage(const QByteArray &bytes, const QByteArray &contentType)
{
    const QByteArray raw = rawTitle(bytes);
    if (raw.isNull())
        return {};
    QByteArray charset = charsetOf(contentType);
    if (charset.isEmpty())
        charset = common::declaredCharset(bytes);
    common::TextDecoder decoder(charset, raw);
    QString title
        = common::decodeEntities(decoder.decode(raw), common::EntityPlace::Text).simplified();
    title.remove(QChar(0));
    return title.left(kMaxTitleLength);
}

void PageTitles::fetch(const QString &link, std::function<void(const QString &title)> done)
{
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty()) {
        done(QString());
        return;
    }
    QNetworkRequest request(url);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setRawHeader("Accept", "text/html,application/xhtml+xml;q=0.9,*/*;q=0.1");
    QNetworkReply *reply = m_network->get(request);
    ++m_pending;

    struct State
    {
        QByteArray bytes;
        bool finished = false;
    };
    auto state = std::make_shared<State>();
    // Ends the read once: with the title found, the limit reached, the page
    // complete, an error or the time out.
    auto finish = [this, reply, state, done](bool readable) {
        if (state->finished)
            return;
        state->finished = true;
        --m_pending;
        const QString title = readable ? titleOfPage(state->bytes,
                                  reply->header(QNetworkRequest::ContentTypeHeader).toByteArray())
                                       : QString();
        reply->abort();
        reply->deleteLater();
        done(title);
    };
    connect(reply, &QNetworkReply::readyRead, this, [reply, state, finish] {
        const qint64 room = kMaxPageBytes - state->bytes.size();
        state->bytes += reply->read(std::max<qint64>(room, 0));
        if (state->bytes.size() >= kMaxPageBytes || !rawTitle(state->bytes).isNull())
            finish(true);
    });
    connect(reply, &QNetworkReply::finished, this, [reply, state, finish] {
        if (state->finished)
            return;
        if (reply->error() != QNetworkReply::NoError) {
            finish(false);
            return;
        }
        const qint64 room = kMaxPageBytes - state->bytes.size();
        state->bytes += reply->read(std::max<qint64>(room, 0));
        finish(true);
    });
    QTimer::singleShot(m_timeoutMs, reply, [finish] { finish(false); });
}

} // namespace quillet::outline
