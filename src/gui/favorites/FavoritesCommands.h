// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet::commands {
class CommandBinding;
}

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {
class DocumentLifecycle;
} // namespace quillet::shell

namespace quillet::favorites {

// Binds the Favorites exchange of the Tools menu: miTImport (Ctrl+I),
// miTExport (Ctrl+E), miTSyncImport and miTSyncExport.
void bindFavoritesCommands(commands::CommandBinding &commands, outline::Workspace &workspace,
    shell::DocumentLifecycle &lifecycle);

} // namespace quillet::favorites
