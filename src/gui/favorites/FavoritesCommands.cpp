// SPDX-License-Identifier: GPL-3.0-or-later
#include "favorites/FavoritesCommands.h"

#include "favorites/FavoritesExchange.h"
#include "shell/CommandBinding.h"

namespace quillet::favorites {

void bindFavoritesCommands(shell::CommandBinding &commands, shell::Workspace &workspace,
    shell::DocumentLifecycle &lifecycle)
{
    shell::Workspace *ws = &workspace;
    shell::DocumentLifecycle *life = &lifecycle;
    commands.bind(
        QStringLiteral("miTImport"), [ws, life] { FavoritesExchange(*ws, *life).importCommand(); });
    commands.bind(
        QStringLiteral("miTExport"), [ws, life] { FavoritesExchange(*ws, *life).exportCommand(); });
    commands.bind(QStringLiteral("miTSyncImport"),
        [ws, life] { FavoritesExchange(*ws, *life).syncImportCommand(); });
    commands.bind(QStringLiteral("miTSyncExport"),
        [ws, life] { FavoritesExchange(*ws, *life).syncExportCommand(); });
}

} // namespace quillet::favorites
