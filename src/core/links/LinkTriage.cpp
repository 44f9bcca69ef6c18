// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/links/LinkTriage.h"

#include <QFileInfo>

namespace quillet::links {

namespace {

Triage skip(const QString &reason)
{
    return {Triage::Skip, {}, reason};
}

// "name:" in front, by the rules of URL schemes (a letter, then letters,
// digits, "+", "-" or "."). "www.site.test:8080/x" has none: a dot before
// the colon makes a host, not a scheme.
QString schemeOf(const QString &link)
{
    const qsizetype colon = link.indexOf(QLatin1Char(':'));
    if (colon <= 0 || link.at(0).unicode() > 127 || !link.at(0).isLetter())
        return {};
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar c = link.at(i);
        if (c == QLatin1Char('.'))
            return {};
        if (c.unicode() > 127
            || !(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-')))
            return {};
    }
    // "localhost:8080" is a host and port, not a scheme.
    const QString rest = link.mid(colon + 1);
    if (!rest.isEmpty() && rest.at(0).isDigit())
        return {};
    return link.left(colon).toLower();
}

} // namespace

Triage triageLink(const QString &link)
{
    const QString text = link.trimmed();
    if (text.isEmpty())
        return skip(QStringLiteral("no link"));
    const QString scheme = schemeOf(text);
    if (scheme == QLatin1String("mailto"))
        return skip(QStringLiteral("mail address"));
    if (scheme == QLatin1String("javascript"))
        return skip(QStringLiteral("script"));
    if (scheme == QLatin1String("data"))
        return skip(QStringLiteral("data link"));
    if (scheme == QLatin1String("about"))
        return skip(QStringLiteral("browser page"));
    if (scheme == QLatin1String("file")) {
        const QUrl url(text);
        if (!url.isValid() || !url.isLocalFile())
            return {Triage::Invalid, {}, QStringLiteral("not a valid file link")};
        if (QFileInfo::exists(url.toLocalFile()))
            return {Triage::FileFound, url, {}};
        return {Triage::FileMissing, url, QStringLiteral("no such file")};
    }
    if (!scheme.isEmpty() && scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return skip(scheme + QStringLiteral(" links are not checked"));

    const QUrl url(scheme.isEmpty() ? QStringLiteral("http://") + text : text);
    if (!url.isValid() || url.host().isEmpty())
        return {Triage::Invalid, {}, QStringLiteral("not a valid link")};
    return {Triage::Web, url, {}};
}

QString serverOf(const QUrl &url)
{
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    return url.host().toLower() + QLatin1Char(':') + QString::number(url.port(defaultPort));
}

} // namespace quillet::links
