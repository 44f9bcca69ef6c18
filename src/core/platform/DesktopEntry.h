// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillet::platform {

// Where the desktop entry of an application id ("firefox-esr.desktop")
// lives among the applications folders; empty when it is nowhere.
QString locateDesktopEntry(const QString &id);

// The command a desktop entry runs to open `argument` (a URL or a file):
// the Exec key of its [Desktop Entry] group split into program and
// arguments, quoting and escapes undone, field codes filled in (the
// argument is appended when the entry names no place for it). Empty when
// the entry has no usable Exec key.
QStringList desktopEntryCommand(
    const QByteArray &entry, const QString &entryPath, const QString &argument);

} // namespace quillet::platform
