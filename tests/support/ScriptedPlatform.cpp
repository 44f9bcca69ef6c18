// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPlatform.h"

namespace quillet::test {

platform::MessageAnswer ScriptedMessageBoxes::show(const QString &text, platform::MessageIcon icon,
    platform::MessageButtons buttons, const QString &title)
{
    shown.append({text, icon, buttons, title});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case platform::MessageButtons::Ok:
    case platform::MessageButtons::OkCancel:
        return platform::MessageAnswer::Ok;
    default:
        return platform::MessageAnswer::Yes;
    }
}

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result << s.text;
    return result;
}

QString ScriptedFileDialogs::next()
{
    ++opened;
    return m_paths.isEmpty() ? QString() : m_paths.dequeue();
}

QString ScriptedFileDialogs::openFile(const QString &, const QString &folder, const QString &filter)
{
    folders << folder;
    filters << filter;
    return next();
}

QString ScriptedFileDialogs::saveFile(
    const QString &, const QString &folder, const QString &, const QString &filter)
{
    folders << folder;
    filters << filter;
    return next();
}

QString ScriptedFileDialogs::chooseFolder(const QString &, const QString &folder)
{
    folders << folder;
    return next();
}

} // namespace quillet::test
