// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"

#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {
class DocumentLifecycle;
} // namespace quillet::shell

namespace quillet::favorites {

// The message of the synchronisations' confirmations (CR LF between lines).
extern const char kSyncImportQuestion[];
extern const char kSyncExportQuestion[];
// Said, instead of emptying the document, when there is nothing to
// synchronise from.
extern const char kNoFavoritesFolder[];

// The Favorites exchange of the open document: the Favorites
// folder's sub-folders are headings under the root heading, its ".url" files
// bookmarks. The folder is platform::getSpecialFolder(kFavoritesFolderId);
// without one every operation does nothing.
class FavoritesExchange
{
public:
    // `lifecycle` saves a titled document after a synchronisation into it.
    FavoritesExchange(outline::Workspace &workspace, shell::DocumentLifecycle &lifecycle)
        : m_ws(workspace)
        , m_lifecycle(lifecycle)
    {
    }

    // ImportFavorites: adds every folder not yet a heading (matched by title,
    // trimmed and ignoring case) and every ".url" file not yet a bookmark of
    // its heading (matched by name) as pending additions, in one transaction;
    // then the root heading is selected and listed. The bar's maximum is the
    // number of files and folders, counted first, and the bar reaches it.
    // An engine failure rolls everything back (headings too) and propagates.
    void importFavorites(common::ProgressView *progress);
    // ExportFavorites: writes the root heading's bookmarks into the folder and
    // every heading below it as a sub-folder. Stops silently at a heading that
    // cannot be a folder there (a title that is not one path component, a
    // file or link in the way, a folder that cannot be made) and at a row with
    // a Null name or link; skips bookmarks whose name cannot be a file name
    // there. Existing ".url" files keep every other line. Writes nothing when
    // the document has no live bookmark.
    void exportFavorites(common::ProgressView *progress);
    // SynchronizeFavorites (0): after confirmation, the document becomes a
    // copy of the folder (saved when titled). When the folder is missing it
    // says so and changes nothing.
    void synchronizeFromFavorites();
    // SynchronizeFavorites (1): after confirmation, the folder is cleared and
    // the document exported into it.
    void synchronizeToFavorites();

    // The four commands of the Tools menu, as the main window runs them.
    void importCommand();
    void exportCommand();
    void syncImportCommand();
    void syncExportCommand();

    // ResetDocumentTables: the tree back to the root heading alone, tbNodes
    // and tbItems empty (bypassing delFlag: Discard cannot undo it).
    static void resetDocumentTables(outline::Workspace &workspace);

private:
    outline::Workspace &m_ws;
    shell::DocumentLifecycle &m_lifecycle;
};

// The Favorites folder with a final "/", or "" when there is none.
QString favoritesFolderPath();

// Lets the document's start-up read the Favorites folder when the user chose
// so.
void installStartupImport(outline::Workspace &workspace, shell::DocumentLifecycle &lifecycle);

} // namespace quillet::favorites
