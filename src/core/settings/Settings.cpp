// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/Settings.h"

#include "core/common/AppHome.h"
#include "core/settings/IniFile.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <optional>

namespace quillet {

namespace {

// Decimal numbers only: no "inf", "nan" or hexadecimal, which toDouble would take.
std::optional<double> parseNumber(const QString &input)
{
    const QString text = input.trimmed();
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digits = [&] {
        const qsizetype from = i;
        while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
            ++i;
        return i - from;
    };
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < n && text.at(i) == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ++i;
        if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

const QString kPosition = QStringLiteral("Position");
const QString kWindowState = QStringLiteral("WindowState");
const QString kView = QStringLiteral("View");
const QString kSplitter = QStringLiteral("Splitter");
const QString kInitDirs = QStringLiteral("InitDirs");
const QString kMru = QStringLiteral("MRU List");
const QString kGroup = QStringLiteral("Group");
const QString kFont = QStringLiteral("Font");
const QString kStartup = QStringLiteral("Startup");
const QString kLocation = QStringLiteral("Location");
const QString kHtmlHelp = QStringLiteral("HtmlHelp");

QString mruKey(int index)
{
    return QStringLiteral("MRU%1").arg(index + 1);
}

} // namespace

int iniInteger(const QString &text, int defaultValue)
{
    const std::optional<double> number = parseNumber(text);
    if (!number)
        return defaultValue;
    const double rounded = std::nearbyint(*number); // the default mode rounds half to even
    if (rounded < double(std::numeric_limits<int>::min())
        || rounded > double(std::numeric_limits<int>::max()))
        return defaultValue;
    return int(rounded);
}

bool iniBoolean(const QString &text, bool defaultValue)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> number = parseNumber(trimmed))
        return *number != 0.0;
    return defaultValue;
}

int iniChoice(const QString &text)
{
    const std::optional<double> number = parseNumber(text);
    if (number && *number == 2.0)
        return 2;
    if (number && *number == 1.0)
        return 1;
    return 0;
}

QString configIniPath()
{
    return common::homePath(QStringLiteral("config.ini"));
}

QString optionIniPath()
{
    return common::homePath(QStringLiteral("option.ini"));
}

QString defaultImageFolder()
{
    return common::homePath(QStringLiteral("images"));
}

WindowSettings loadWindowSettings(const QString &file)
{
    const IniDocument ini(file);
    WindowSettings s;
    // Places and sizes beyond what a window system can show are not places:
    // they keep the default.
    auto integer = [&ini](const QString &section, const char *key, int &field,
                       int lowest = -kFarthestTwips) {
        const int value = iniInteger(ini.value(section, QLatin1String(key)), field);
        if (value >= lowest && value <= kFarthestTwips)
            field = value;
    };
    auto boolean = [&ini](const QString &section, const char *key, bool &field) {
        field = iniBoolean(ini.value(section, QLatin1String(key)), field);
    };
    integer(kPosition, "Top", s.top);
    integer(kPosition, "Left", s.left);
    integer(kPosition, "Width", s.width, 1);
    integer(kPosition, "Height", s.height, 1);
    integer(kWindowState, "iCmdShow", s.cmdShow);
    boolean(kView, "Panel", s.showPanel);
    boolean(kView, "Toolbox", s.showToolbox);
    boolean(kView, "Descrip", s.showDescrip);
    boolean(kView, "ViewMode", s.viewMode);
    integer(kSplitter, "hPosition", s.hPosition, 0);
    integer(kSplitter, "vPosition", s.vPosition, 0);
    s.backupDir = ini.value(kInitDirs, QStringLiteral("Backup"));
    s.defaultDir = ini.value(kInitDirs, QStringLiteral("Default"));
    for (int i = 0; i < int(s.mru.size()); ++i)
        s.mru[i] = ini.value(kMru, mruKey(i));
    return s;
}

OptionSettings loadOptionSettings(const QString &file)
{
    const IniDocument ini(file);
    OptionSettings s;
    s.groupOption = iniChoice(ini.value(kGroup, QStringLiteral("Option")));
    s.fontName = ini.value(kFont, QStringLiteral("FontName"));
    s.fontSize = ini.value(kFont, QStringLiteral("FontSize"));
    s.startupFile = ini.value(kStartup, QStringLiteral("File")).trimmed();
    s.initDir = ini.value(kStartup, QStringLiteral("InitDir")).trimmed();
    s.loadMethods = iniChoice(ini.value(kStartup, QStringLiteral("LoadMethods")));

    s.imageFolder = ini.value(kLocation, QStringLiteral("ImageFolder"));
    if (s.imageFolder.size() < 2 || !QFileInfo(s.imageFolder).isDir()) {
        s.imageFolder = defaultImageFolder();
        // A folder that cannot be made stays named; picture commands report it.
        if (!QFileInfo(s.imageFolder).isDir())
            QDir().mkpath(s.imageFolder);
    }

    s.hhcPath = ini.value(kHtmlHelp, QStringLiteral("hhc.exe"));
    s.updateSite = ini.value(QStringLiteral("Update"), QStringLiteral("Site"));
    return s;
}

bool saveWindowSettings(const WindowSettings &s, const QString &file)
{
    IniDocument ini;
    if (!ini.load(file))
        return false;
    auto put = [&ini](const QString &section, const char *key, const QString &value) {
        return ini.setValue(section, QLatin1String(key), value);
    };
    bool ok = true;
    ok &= put(kPosition, "Top", QString::number(s.top));
    ok &= put(kPosition, "Left", QString::number(s.left));
    ok &= put(kPosition, "Width", QString::number(s.width));
    ok &= put(kPosition, "Height", QString::number(s.height));
    ok &= put(kWindowState, "iCmdShow", QString::number(s.cmdShow));
    ok &= put(kView, "Panel", boolText(s.showPanel));
    ok &= put(kView, "Toolbox", boolText(s.showToolbox));
    ok &= put(kView, "Descrip", boolText(s.showDescrip));
    ok &= put(kView, "ViewMode", boolText(s.viewMode));
    ok &= put(kSplitter, "hPosition", QString::number(s.hPosition));
    ok &= put(kSplitter, "vPosition", QString::number(s.vPosition));
    ok &= put(kInitDirs, "Backup", s.backupDir);
    ok &= put(kInitDirs, "Default", s.defaultDir);
    for (int i = 0; i < int(s.mru.size()); ++i)
        ok &= ini.setValue(kMru, mruKey(i), s.mru[i]);
    return ini.save() && ok;
}

bool saveOptionSettings(const OptionSettings &s, const QString &file)
{
    IniDocument ini;
    if (!ini.load(file))
        return false;
    auto put = [&ini](const QString &section, const char *key, const QString &value) {
        return ini.setValue(section, QLatin1String(key), value);
    };
    bool ok = true;
    ok &= put(kGroup, "Option", QString::number(s.groupOption));
    ok &= put(kFont, "FontName", s.fontName);
    ok &= put(kFont, "FontSize", s.fontSize);
    ok &= put(kStartup, "LoadMethods", QString::number(s.loadMethods));
    ok &= put(kStartup, "InitDir", s.initDir);
    ok &= put(kStartup, "File", s.startupFile);
    ok &= put(kLocation, "ImageFolder", s.imageFolder);
    // A compiler that went away is not written, so the old value stays.
    if (!s.hhcPath.isEmpty() && QFileInfo(s.hhcPath).isFile())
        ok &= put(kHtmlHelp, "hhc.exe", s.hhcPath);
    // Written only when set, so the Help menu's home page stays the default.
    if (!s.updateSite.isEmpty())
        ok &= put(QStringLiteral("Update"), "Site", s.updateSite);
    return ini.save() && ok;
}

} // namespace quillet
