// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet::shell {
class CommandBinding;
class DocumentLifecycle;
class Workspace;
} // namespace quillet::shell

namespace quillet::favorites {

// Binds the Favorites exchange of the Tools menu: miTImport (Ctrl+I),
// miTExport (Ctrl+E), miTSyncImport and miTSyncExport.
void bindFavoritesCommands(shell::CommandBinding &commands, shell::Workspace &workspace,
    shell::DocumentLifecycle &lifecycle);

} // namespace quillet::favorites
