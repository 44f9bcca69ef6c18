// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/Settings.h"

#include <QStringList>

namespace quillet::platform {
class FileDialogs;
}

namespace quillet::settings {

// The options dialog without its window: a private copy of the options that
// Apply stores back, only where it changed. The last tab and the default
// file dialog's folder are stored at once, Apply or not.
class OptionsEditor
{
public:
    enum Tab
    {
        FontTab = 0,
        StartupTab = 1,
        ImageFolderTab = 2
    };

    struct Copy
    {
        QString fontName;
        QString fontSize;
        QString startupFile;
        int loadMethods = 0;
        QString imageFolder;
    };

    // What Apply changed of the interface font.
    struct FontChange
    {
        bool name = false;
        bool size = false;
    };

    OptionsEditor(OptionSettings &options, platform::FileDialogs *dialogs);

    static QStringList fontSizes(); // 8 to 18, as offered

    Copy copy;

    // The tab to show first: the last one shown (anything unknown is the
    // image-folder tab).
    Tab firstTab() const;
    void showTab(Tab tab);

    // The file box and its button are usable for the default-file choice only.
    bool fileBoxEnabled() const { return copy.loadMethods == 2; }

    // The "..." buttons; true when something was chosen.
    bool chooseDefaultFile();
    bool chooseImageFolder();

    FontChange apply();

private:
    OptionSettings &m_options;
    platform::FileDialogs *m_dialogs;
};

} // namespace quillet::settings
