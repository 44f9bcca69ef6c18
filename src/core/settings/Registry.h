// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace quillet::settings {

// Root keys, by the numbers the registry gives them.
constexpr quint32 kHkeyClassesRoot = 0x80000000u;
constexpr quint32 kHkeyCurrentUser = 0x80000001u;
constexpr quint32 kHkeyLocalMachine = 0x80000002u;

// The registry the program reads the help compiler's folder from, kept in
// "registry.ini" in the application home: one INI section per key path (for
// HKEY_CURRENT_USER the path itself, for other roots the root's name, "\" and
// the path), one line per string value. Key paths match ignoring case, value
// names exactly. Values are read whole, however long.
class Registry
{
public:
    // `file` empty: registry.ini in the application home.
    explicit Registry(QString file = QString());

    quint32 classKey = kHkeyCurrentUser;
    QString sectionKey; // e.g. "Software\Microsoft\HTML Help Workshop"
    QString valueKey; // e.g. "InstallDir"
    QString defaultValue; // answered when the value is not stored

    // The value named exactly valueKey, or defaultValue. Never fails.
    QString value() const;
    // Stores a string value, creating the key as needed. On failure the text
    // the failure is reported with is left in failureText().
    bool setValue(const QString &text);
    QString failureText() const { return m_failure; }

    bool keyExists() const;
    bool createKey();
    // The key's values as (name, data) pairs, in stored order.
    QList<QPair<QString, QString>> enumerateValues() const;
    // The names of the key's direct sub-keys, in stored order.
    QStringList enumerateSections() const;

    QString fileName() const { return m_file; }

private:
    QString section() const;

    QString m_file;
    QString m_failure;
};

// The folder the help compiler is looked for in: "InstallDir" of
// "Software\Microsoft\HTML Help Workshop" under HKEY_CURRENT_USER, or, when
// none is stored, the folder of chmcmd on PATH ("" when there is none).
QString helpCompilerFolder(const QString &registryFile = QString());

// The compiler's file name (the Windows program's "HHC.EXE").
inline QString helpCompilerFileName()
{
    return QStringLiteral("chmcmd");
}

} // namespace quillet::settings
