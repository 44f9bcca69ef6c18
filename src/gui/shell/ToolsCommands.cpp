// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/ToolsCommands.h"

#include "core/outline/Workspace.h"
#include "core/shell/DatabaseMaintenance.h"
#include "gui/commands/CommandBinding.h"
#include "gui/settings/OptionsDialog.h"
#include "gui/settings/UpdateDialog.h"
#include "gui/shell/AboutDialog.h"
#include "gui/shell/RestoreDialog.h"

namespace quillet::shell {

void bindToolsCommands(commands::CommandBinding &commands, outline::Workspace &workspace,
    DocumentLifecycle &lifecycle, QWidget *window, FontViews views)
{
    outline::Workspace *ws = &workspace;
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
