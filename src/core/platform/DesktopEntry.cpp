// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/DesktopEntry.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace quillet::platform {

namespace {

// The escapes of a desktop entry's string values.
QString unescapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            // Left for the Exec quoting to undo.
            out += QLatin1Char('\\');
            out += next;
            break;
        }
    }
    return out;
}

// Exec splits on blanks outside double quotes; inside them a backslash
// escapes the next character. `quoted` says which arguments were quoted,
// since field codes are not expanded inside quotes.
QStringList splitExec(const QString &exec, QList<bool> &quoted)
{
    QStringList args;
    QString current;
    bool inQuotes = false;
    bool hasArg = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                current += exec.at(++i);
            else if (c == QLatin1Char('"'))
                inQuotes = false;
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            hasArg = true;
            wasQuoted = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (hasArg) {
                args << current;
                quoted << wasQuoted;
            }
            current.clear();
            hasArg = false;
            wasQuoted = false;
        } else {
            current += c;
            hasArg = true;
        }
    }
    if (inQuotes)
        return {};
    if (hasArg) {
        args << current;
        quoted << wasQuoted;
    }
    return args;
}

// The keys of the [Desktop Entry] group that a command is made of; the
// first of each counts.
struct MainGroup
{
    QString exec;
    QString icon;
    QString name;
};

MainGroup readMainGroup(const QByteArray &entry)
{
    MainGroup group;
    bool inMainGroup = false;
    const QStringList lines = QString::fromUtf8(entry).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = unescapeValue(line.mid(eq + 1).trimmed());
        if (key == QLatin1String("Exec") && group.exec.isEmpty())
            group.exec = value;
        else if (key == QLatin1String("Icon") && group.icon.isEmpty())
            group.icon = value;
        else if (key == QLatin1String("Name") && group.name.isEmpty())
            group.name = value;
    }
    return group;
}

// What the field codes of an unquoted Exec argument stand for.
struct FieldValues
{
    QString argument;
    QString name;
    QString entryPath;
};

// One unquoted Exec argument with its field codes filled in; `placed` is
// set when the argument took the URL or file. Nothing when only deprecated
// or unknown codes made it up, which drops it.
std::optional<QString> expandFieldCodes(
    const QString &part, const FieldValues &values, bool &placed)
{
    QString out;
    bool dropped = false;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const QChar c = part.at(i);
        if (c != QLatin1Char('%') || i + 1 == part.size()) {
            out += c;
            continue;
        }
        switch (part.at(++i).unicode()) {
        case 'f':
        case 'F':
        case 'u':
        case 'U':
            out += values.argument;
            placed = true;
            break;
        case 'c':
            out += values.name;
            break;
        case 'k':
            out += values.entryPath;
            break;
        case '%':
            out += QLatin1Char('%');
            break;
        default:
            dropped = true; // deprecated and unknown codes expand to nothing
            break;
        }
    }
    if (out.isEmpty() && dropped)
        return std::nullopt;
    return out;
}

} // namespace

QString locateDesktopEntry(const QString &id)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return QString();
    // "vendor-app.desktop" may also live as "vendor/app.desktop".
    QString name = id;
    for (;;) {
        const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, name);
        if (!path.isEmpty() && QFileInfo(path).isFile())
            return path;
        const qsizetype dash = name.indexOf(QLatin1Char('-'));
        if (dash < 0)
            return QString();
        name[dash] = QLatin1Char('/');
    }
}

QStringList desktopEntryCommand(
    const QByteArray &entry, const QString &entryPath, const QString &argument)
{
    const MainGroup group = readMainGroup(entry);
    QList<bool> quoted;
    const QStringList parts = splitExec(group.exec, quoted);
    if (parts.isEmpty())
        return {};
    const FieldValues values {argument, group.name, entryPath};
    QStringList command;
    bool placed = false;
    for (qsizetype p = 0; p < parts.size(); ++p) {
        const QString &part = parts.at(p);
        if (quoted.at(p)) {
            command << part;
        } else if (part == QLatin1String("%i")) {
            if (!group.icon.isEmpty())
                command << QStringLiteral("--icon") << group.icon;
        } else if (const std::optional<QString> out = expandFieldCodes(part, values, placed)) {
            command << *out;
        }
    }
    if (command.isEmpty() || command.first().isEmpty())
        return {};
    if (!placed)
        command << argument;
    return command;
}

} // namespace quillet::platform
