// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/Registry.h"

#include "core/common/AppHome.h"
#include "core/settings/IniFile.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace quillet::settings {

namespace {

const QLatin1Char kSeparator('\\');

QString rootName(quint32 classKey)
{
    switch (classKey) {
    case kHkeyClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case kHkeyLocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    default:
        return QStringLiteral("HKEY_%1").arg(classKey, 8, 16, QLatin1Char('0'));
    }
}

} // namespace

Registry::Registry(QString file)
    : m_file(file.isEmpty() ? common::homePath(QStringLiteral("registry.ini")) : std::move(file))
{
}

QString Registry::section() const
{
    QString path = sectionKey;
    while (path.endsWith(kSeparator))
        path.chop(1);
    if (classKey == kHkeyCurrentUser)
        return path;
    return path.isEmpty() ? rootName(classKey) : rootName(classKey) + kSeparator + path;
}

QString Registry::value() const
{
    for (const IniDocument::Entry &entry : IniDocument(m_file).entries(section())) {
        if (entry.key == valueKey)
            return entry.value;
    }
    return defaultValue;
}

bool Registry::setValue(const QString &text)
{
    IniDocument doc(m_file);
    if (!doc.setValue(section(), valueKey, text) || !doc.save()) {
        m_failure = QStringLiteral("Failed to set registry value Key: '%1',Section: '%2',Key: "
                                   "'%3' to value: '%4'")
                        .arg(QString::number(classKey), sectionKey, valueKey, text);
        return false;
    }
    m_failure.clear();
    return true;
}

bool Registry::keyExists() const
{
    // A key exists when it is stored or lies above a stored key.
    const QString own = section().toCaseFolded();
    for (const QString &name : IniDocument(m_file).sectionNames()) {
        const QString folded = name.toCaseFolded();
        if (folded == own || folded.startsWith(own + kSeparator))
            return true;
    }
    return false;
}

bool Registry::createKey()
{
    if (keyExists())
        return true;
    IniDocument doc(m_file);
    return doc.addSection(section()) && doc.save();
}

QList<QPair<QString, QString>> Registry::enumerateValues() const
{
    QList<QPair<QString, QString>> values;
    for (const IniDocument::Entry &entry : IniDocument(m_file).entries(section()))
        values.append({entry.key, entry.value});
    return values;
}

QStringList Registry::enumerateSections() const
{
    const QString prefix = section() + kSeparator;
    QStringList names;
    QStringList folded;
    for (const QString &name : IniDocument(m_file).sectionNames()) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString child = name.mid(prefix.size()).section(kSeparator, 0, 0);
        if (!child.isEmpty() && !folded.contains(child.toCaseFolded())) {
            names << child;
            folded << child.toCaseFolded();
        }
    }
    return names;
}

QString helpCompilerFolder(const QString &registryFile)
{
    Registry registry(registryFile);
    registry.sectionKey = QStringLiteral("Software\\Microsoft\\HTML Help Workshop");
    registry.valueKey = QStringLiteral("InstallDir");
    const QString onPath = QStandardPaths::findExecutable(helpCompilerFileName());
    if (!onPath.isEmpty())
        registry.defaultValue = QFileInfo(onPath).absolutePath();
    return registry.value();
}

} // namespace quillet::settings
