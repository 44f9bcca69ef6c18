// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ToolsCommands.h"

#include "settings/OptionsDialog.h"
#include "settings/UpdateDialog.h"
#include "shell/AboutDialog.h"
#include "shell/CommandBinding.h"
#include "shell/DatabaseMaintenance.h"
#include "shell/RestoreDialog.h"
#include "shell/Workspace.h"

namespace quillet::shell {

void bindToolsCommands(CommandBinding &commands, Workspace &workspace, DocumentLifecycle &lifecycle,
    QWidget *window, FontViews views)
{
    Workspace *ws = &workspace;
    commands.bind(QStringLiteral("miTDBBackup"), [ws] { DatabaseMaintenance(*ws).backup(); });
    commands.bind(QStringLiteral("miTDBCompact"), [ws] { DatabaseMaintenance(*ws).compact(); });
    commands.bind(QStringLiteral("miTDBRestore"), [ws, &lifecycle, window] {
        RestoreDialog dialog(*ws, lifecycle, window);
        dialog.exec();
    });
    commands.bind(QStringLiteral("miHAbout"), [window] {
        AboutDialog dialog(window);
        dialog.exec();
    });
    commands.bind(QStringLiteral("miTOptions"), [ws, window, views] {
        settings::OptionsDialog dialog(
            ws->optionSettings(), ws->services().fileDialogs, views.tree, views.list, window);
        dialog.exec();
    });
    commands.bind(
        QStringLiteral("miHUpdate"), [ws, window] { settings::runUpdateDialog(*ws, window); });
}

} // namespace quillet::shell
