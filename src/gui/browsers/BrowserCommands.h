// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browsers/BrowserExchange.h"

class QWidget;

namespace quillet::shell {
class CommandBinding;
class Workspace;
} // namespace quillet::shell

namespace quillet::browsers {

// The source and scope dialogs of the browser bookmark commands.
class QtExchangeDialogs : public ExchangeDialogs
{
public:
    explicit QtExchangeDialogs(QWidget *owner)
        : m_owner(owner)
    {
    }
    std::optional<BookmarkSource> chooseSource(const QList<BookmarkSource> &found) override;
    std::optional<ExportScope> chooseExportScope(const QString &heading) override;

private:
    QWidget *m_owner;
};

// Binds miTBrowserImport and miTBrowserExport of the Tools menu.
void bindBrowserCommands(
    shell::CommandBinding &commands, shell::Workspace &workspace, QWidget *window);

} // namespace quillet::browsers
