// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/browsers/BookmarkFormats.h"

#include <QList>
#include <QString>
#include <optional>

namespace quillet::outline {
class Workspace;
}

namespace quillet::browsers {

// What the export writes.
enum class ExportScope
{
    WholeTree,
    CurrentHeading // the selected heading and its sub-headings
};

// The small dialogs of the two commands, as the logic asks for them; the GUI
// shows real ones, tests script the answers. None means Cancel.
class ExchangeDialogs
{
public:
    virtual ~ExchangeDialogs() = default;
    // Picks one of `found` (the profiles found) or a file: a source with an
    // empty path asks for a file of that kind through the file dialog.
    virtual std::optional<BookmarkSource> chooseSource(const QList<BookmarkSource> &found) = 0;
    // `heading` is the selected heading's title.
    virtual std::optional<ExportScope> chooseExportScope(const QString &heading) = 0;
};

// The Tools menu's "Import browser bookmarks..." and "Export browser
// bookmarks..." over one workspace.
class BrowserExchange
{
public:
    BrowserExchange(outline::Workspace &workspace, ExchangeDialogs &dialogs)
        : m_ws(workspace)
        , m_dialogs(dialogs)
    {
    }

    // Where profiles are looked for; the user's home unless set (tests).
    QString home;

    // miTBrowserImport: into the selected heading, one transaction, pending
    // until Save; the selected heading is listed again. Returns the number
    // of bookmarks imported.
    int importBookmarks();
    // miTBrowserExport: the whole tree or the selected heading into a chosen
    // file. Returns the number of bookmarks written.
    int exportBookmarks();

private:
    QString chooseFile(const BookmarkSource &source);

    outline::Workspace &m_ws;
    ExchangeDialogs &m_dialogs;
};

} // namespace quillet::browsers
