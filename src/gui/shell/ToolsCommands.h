// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace quillet::shell {

class CommandBinding;
class DocumentLifecycle;
class Workspace;

// The views the Options dialog sets the interface font on.
struct FontViews
{
    QWidget *tree = nullptr;
    QWidget *list = nullptr;
};

// Binds the database maintenance commands of the Tools menu, Options, and
// the update check and about box of the Help menu.
void bindToolsCommands(CommandBinding &commands, Workspace &workspace, DocumentLifecycle &lifecycle,
    QWidget *window, FontViews views);

} // namespace quillet::shell
