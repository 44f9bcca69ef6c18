// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/OptionsEditor.h"

#include "core/common/ProgressView.h"
#include "core/platform/FileDialogs.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/PathNames.h"

#include <QFileInfo>

namespace quillet::settings {

OptionsEditor::OptionsEditor(OptionSettings &options, platform::FileDialogs *dialogs)
    : copy {options.fontName, options.fontSize, options.startupFile, options.loadMethods,
        options.imageFolder}
    , m_options(options)
    , m_dialogs(dialogs)
{
}

QStringList OptionsEditor::fontSizes()
{
    return {QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"),
        QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18")};
}

OptionsEditor::Tab OptionsEditor::firstTab() const
{
    switch (m_options.groupOption) {
    case FontTab:
        return FontTab;
    case StartupTab:
        return StartupTab;
    default:
        return ImageFolderTab;
    }
}

void OptionsEditor::showTab(Tab tab)
{
    m_options.groupOption = tab;
}

bool OptionsEditor::chooseDefaultFile()
{
    QString &folder = m_options.initDir;
    if (folder.size() < 2 || !QFileInfo(folder).isDir())
        folder = platform::desktopFolder();
    common::yieldToEventLoop();
    const QString path = m_dialogs ? m_dialogs->openFile(QStringLiteral("Default file"), folder,
                             QStringLiteral("rdb files(*.rdb)|*.rdb"))
                                   : QString();
    common::yieldToEventLoop();
    if (path.isEmpty())
        return false;
    copy.startupFile = path;
    folder = folderOfPath(path);
    return true;
}

bool OptionsEditor::chooseImageFolder()
{
    common::yieldToEventLoop();
    const QString folder = m_dialogs
        ? m_dialogs->chooseFolder(QStringLiteral("Choose folder:"), copy.imageFolder)
        : QString();
    if (folder.isEmpty())
        return false;
    copy.imageFolder = folder;
    return true;
}

OptionsEditor::FontChange OptionsEditor::apply()
{
    FontChange change;
    if (copy.fontName != m_options.fontName) {
        m_options.fontName = copy.fontName;
        change.name = true;
    }
    if (copy.fontSize != m_options.fontSize) {
        m_options.fontSize = copy.fontSize;
        change.size = true;
    }
    m_options.startupFile = copy.startupFile;
    m_options.loadMethods = copy.loadMethods;
    m_options.imageFolder = copy.imageFolder;
    return change;
}

} // namespace quillet::settings
