// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace quillet::settings {

// Compares dot-separated version numbers by their numbers, so 3.0 < 3.1 <
// 10.0 and 3 == 3.0; a suffix after the numbers ("3.1b") is left out.
// Negative, zero or positive as a is older, equal or newer; no answer when
// either text is not such a version.
std::optional<int> compareVersions(const QString &a, const QString &b);

// The vendor's site the update check reads: $QUILLET_UPDATE_SITE when set,
// else the option.ini value, else the Help menu's home page. No trailing "/".
QString updateSite(const QString &configured);
QString versionPageUrl(const QString &site); // site + "/update/Quillet/version.htm"
QString downloadPageUrl(const QString &site); // site + "/download.html"

// What the update window does with the version read from the page.
enum class UpdateVerdict
{
    Wait, // nothing usable yet: keep waiting for the page
    NewVersion, // offer the download page
    Latest // the running version is the latest
};
UpdateVerdict judgeVersion(const QString &published, const QString &running);

QString newVersionQuestion(const QString &published);
QString latestVersionMessage();
// Shown in the window in place of its wait label.
QString pageNotLoadedMessage();
QString noAnswerMessage(); // after kUpdateAnswerTimeoutMs
inline constexpr int kUpdateAnswerTimeoutMs = 30000;

// JavaScript that answers the "value" of the first element named or with id
// "version" in the page or in any of its frames, depth first; "" when none.
QString versionLookupScript();

} // namespace quillet::settings
