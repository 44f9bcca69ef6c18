// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/favorites/FavoritesCommands.h"

#include "core/favorites/FavoritesExchange.h"
#include "gui/commands/CommandBinding.h"

namespace quillet::favorites {

void bindFavoritesCommands(commands::CommandBinding &commands, outline::Workspace &workspace,
    shell::DocumentLifecycle &lifecycle)
{
    outline::Workspace *ws = &workspace;
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
