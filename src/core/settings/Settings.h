// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

namespace quillet {

// config.ini: the main window. Positions and splitter places are in twips.
struct WindowSettings
{
    int top = 870;
    int left = 2235;
    int width = 6000;
    int height = 4500;
    int cmdShow = 2; // 2 = maximized, anything else a normal window at the stored place
    bool showPanel = true;
    bool showToolbox = true;
    bool showDescrip = true;
    bool viewMode = true; // kept and written back, nothing else
    int hPosition = 5000; // height of the bookmark list
    int vPosition = 3000; // width of the heading tree
    QString backupDir; // InitDirs Backup
    QString defaultDir; // InitDirs Default
    std::array<QString, 3> mru;
};

// option.ini: the options. fontName and fontSize are the raw texts; empty
// means "the main window's font", which only the GUI knows.
struct OptionSettings
{
    int groupOption = 0; // 0..2: page last shown in the options dialog
    QString fontName;
    QString fontSize;
    int loadMethods = 0; // 0 empty untitled, 1 import Favorites, 2 default file
    QString initDir;
    QString startupFile; // Startup File
    QString imageFolder; // filled by loadOptionSettings (never left empty there)
    QString hhcPath; // HtmlHelp hhc.exe
    QString updateSite; // Update Site: the vendor's site the update check reads
};

QString configIniPath(); // application home + "/config.ini"
QString optionIniPath(); // application home + "/option.ini"
QString defaultImageFolder(); // application home + "/images"

// The farthest place or largest size config.ini may hold, in twips: window
// system coordinates are 16-bit.
inline constexpr int kFarthestTwips = 32767 * 15;

// Missing files and keys, and values that make no sense, give the defaults:
// places beyond kFarthestTwips either way, sizes below 1, splitter places
// below 0.
WindowSettings loadWindowSettings(const QString &file = configIniPath());
// Also puts the image folder right: a value shorter than 2 characters or not
// naming an existing folder becomes defaultImageFolder(), created when missing.
OptionSettings loadOptionSettings(const QString &file = optionIniPath());

// Each writes its file once, atomically, keeping comments and keys it does not
// know. False when the file could not be read or written (it is then unchanged).
bool saveWindowSettings(const WindowSettings &settings, const QString &file = configIniPath());
// hhc.exe is written only when hhcPath is set and names an existing file.
bool saveOptionSettings(const OptionSettings &settings, const QString &file = optionIniPath());

// Conversions of stored texts, lenient like the original's numeric test:
// outer blanks, a sign, a fraction and an exponent are accepted; fractions
// round half to even. Out-of-range or non-numeric text gives defaultValue.
int iniInteger(const QString &text, int defaultValue);
// "True"/"False" in any case, or a number (non-zero is true); else defaultValue.
bool iniBoolean(const QString &text, bool defaultValue = true);
// The numeric value compared with 2 and 1; anything else is 0.
int iniChoice(const QString &text);

} // namespace quillet
