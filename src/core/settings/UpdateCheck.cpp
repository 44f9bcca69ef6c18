// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/UpdateCheck.h"

#include "pages/Vendor.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace quillet::settings {

namespace {

std::optional<QList<qulonglong>> versionParts(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    QList<qulonglong> numbers;
    for (const QString &part : parts) {
        // Digits only: "3.0b", "-1" and "" are no versions.
        if (part.isEmpty() || part.size() > 18
            || !std::all_of(
                part.begin(), part.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
            return std::nullopt;
        numbers << part.toULongLong();
    }
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
    return QLatin1String(pages::kVendorHomePage);
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
