// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/UpdateCheck.h"

#include "core/common/Vendor.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace quillet::settings {

namespace {

// The numbers of "3.1", also of "3.1b" or "3.1-beta": a suffix after the
// last number is not compared. "3.x", "3..0", "-1" and "" are no versions.
std::optional<QList<qulonglong>> versionParts(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{1,18}(?:\\.[0-9]{1,18})*)(?:[^0-9.].*)?$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    QList<qulonglong> numbers;
    for (const QString &part : match.captured(1).split(QLatin1Char('.')))
        numbers << part.toULongLong();
    return numbers;
}

QString trimmedSite(QString site)
{
    site = site.trimmed();
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

} // namespace

std::optional<int> compareVersions(const QString &a, const QString &b)
{
    const auto left = versionParts(a);
    const auto right = versionParts(b);
    if (!left || !right)
        return std::nullopt;
    const qsizetype count = std::max(left->size(), right->size());
    for (qsizetype i = 0; i < count; ++i) {
        const qulonglong x = i < left->size() ? left->at(i) : 0;
        const qulonglong y = i < right->size() ? right->at(i) : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

QString updateSite(const QString &configured)
{
    const QString fromEnvironment = qEnvironmentVariable("QUILLET_UPDATE_SITE");
    if (!fromEnvironment.trimmed().isEmpty())
        return trimmedSite(fromEnvironment);
    if (!configured.trimmed().isEmpty())
        return trimmedSite(configured);
    return QLatin1String(strings::kVendorHomePage);
}

QString versionPageUrl(const QString &site)
{
    return site + QStringLiteral("/update/Quillet/version.htm");
}

QString downloadPageUrl(const QString &site)
{
    return site + QStringLiteral("/download.html");
}

UpdateVerdict judgeVersion(const QString &published, const QString &running)
{
    const std::optional<int> order = compareVersions(published, running);
    if (!order)
        return UpdateVerdict::Wait;
    return *order > 0 ? UpdateVerdict::NewVersion : UpdateVerdict::Latest;
}

QString newVersionQuestion(const QString &published)
{
    return QStringLiteral("One new version(") + published
        + QStringLiteral(") is available, do you want to view it!");
}

QString latestVersionMessage()
{
    return QStringLiteral("You have installed the lastest version of Quillet.");
}

QString pageNotLoadedMessage()
{
    return QStringLiteral("Can not load the update page, please try again later.");
}

QString noAnswerMessage()
{
    return QStringLiteral(
        "The update page gave no answer within 30 seconds, please try again later.");
}

QString versionLookupScript()
{
    // Frames of another origin throw on access; they are skipped.
    return QStringLiteral(R"((function () {
  function find(win) {
    try {
      var d = win.document;
      var e = d.getElementById('version') || d.getElementsByName('version')[0];
      if (e && e.value !== undefined && e.value !== null && String(e.value) !== '')
        return String(e.value);
    } catch (err) {}
    for (var i = 0; i < win.frames.length; ++i) {
      var v = '';
      try { v = find(win.frames[i]); } catch (err) {}
      if (v) return v;
    }
    return '';
  }
  return find(window);
})())");
}

} // namespace quillet::settings
