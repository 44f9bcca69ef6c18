// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/BrowserExchange.h"

class QWidget;

namespace quillet::commands {
class CommandBinding;
}

namespace quillet::outline {
class Workspace;
}

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
    commands::CommandBinding &commands, outline::Workspace &workspace, QWidget *window);

} // namespace quillet::browsers
