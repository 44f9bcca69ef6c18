// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace quillet::commands {
class CommandBinding;
}

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {

class DocumentLifecycle;

// The views the Options dialog sets the interface font on.
struct FontViews
{
    QWidget *tree = nullptr;
    QWidget *list = nullptr;
};

// Binds the database maintenance commands of the Tools menu, Options, and
// the update check and about box of the Help menu.
void bindToolsCommands(commands::CommandBinding &commands, outline::Workspace &workspace,
    DocumentLifecycle &lifecycle, QWidget *window, FontViews views);

} // namespace quillet::shell
