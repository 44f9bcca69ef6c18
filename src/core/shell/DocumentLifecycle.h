// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/shell/UnsavedWork.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quillet::outline {
class Workspace;
}

namespace quillet::store {
class Database;
}

namespace quillet::shell {

// The File commands and the save prompt: New, Open, the recent files, Save,
// Save As and closing at exit, over the workspace's one open document.
class DocumentLifecycle
{
public:
    explicit DocumentLifecycle(outline::Workspace &workspace)
        : m_ws(workspace)
    {
    }

    // Answers of the save prompt.
    enum class Answer
    {
        NotAsked, // nothing to save
        Cancelled,
        Discarded,
        Saved
    };

    // Opens the file into the (cleared) tree and lists the root heading's
    // bookmarks; on failure says so and leaves nothing open. Work a session
    // left unsaved in the file is offered back first (UnsavedWork).
    bool loadDocument(const QString &path, common::ProgressView *progress);

    // A new untitled document with its root heading. When it cannot be made
    // (an unwritable home, a full disk) says so and returns false, with no
    // document open.
    bool newDocument(bool showNewMarker);
    void fileNew();
    void fileOpen();
    void openDocumentFile(const QString &path);
    void fileSave();
    bool fileSaveAs();
    Answer askSaveChanges();
    bool closeDocumentForExit();
    void addRecentFile(const QString &path);
    void deletePendingImageFiles();

    // Reads the Favorites folder into the new document when the start-up
    // choice asks for it (throws EngineError). The Favorites exchange sits
    // above the document's life and installs itself here.
    using StartupImport = std::function<void(common::ProgressView *progress)>;
    void setStartupImport(StartupImport import) { m_startupImport = std::move(import); }

    // Chooses and opens the first document at start-up; false when not even
    // an untitled one could be made (said in a message).
    bool loadStartupDocument(const QStringList &arguments, common::ProgressView *progress);

    // Save and Discard of the current document as one step each. A failure
    // is shown and reported as false; nothing of the user's work is lost.
    bool save();
    bool discard();

    // True when Save writes the document where it is: titled, writable and
    // its file still in place.
    bool savesInPlace();
    // What a successful save leaves: nothing modified, and the pending
    // pictures belong to saved bookmarks now.
    void markSaved();

private:
    // A loaded file becomes the titled document; work kept from a session
    // that ended unsaved makes it modified.
    void adoptLoaded(const QString &path);
    // The document's file or folder cannot be written: it is open for
    // viewing.
    bool isViewedOnly();
    static QString readOnlyReason();
    // The document's file was deleted or replaced since it was opened.
    bool hasVanished();
    QString vanishedQuestion();
    // Save As in its steps: the target the user chose (empty when there is
    // nothing more to do), the settled copy written there and opened
    // (throws EngineError), and the old file left as last saved.
    struct SaveAsSource
    {
        QString path;
        bool untitled = false;
        bool modified = false;
        bool vanished = false;
        bool viewedOnly = false;
    };
    QString chooseSaveAsTarget();
    std::unique_ptr<store::Database> writeSavedCopy(
        const QString &target, const SaveAsSource &source);
    void settleOldFile(const SaveAsSource &source);
    // The prompt when there is something to save.
    Answer askIfModified();
    bool closeStep(Answer answer);
    void openChosenFile(const QString &path, Answer answer);
    bool loadOrStartEmpty(const QString &path, common::ProgressView *progress);
    // Untitled documents that stopped sessions left in _tmp: offers to open
    // the newest (true when it is open now) or deletes them all.
    bool offerUntitledLeftovers(common::ProgressView *progress);
    bool openUntitledLeftover(const QString &path, common::ProgressView *progress);
    // LoadMethods 1: a new untitled document filled from the Favorites folder.
    bool importFavoritesAtStartup(common::ProgressView *progress);
    // The next document could not be had after the old one was closed: the
    // window is never left without one. Reopens `previousPath` (a titled file
    // closed a moment ago), else starts a fresh untitled document.
    void recoverDocument(const QString &previousPath);
    void showCountStatus();
    QString defaultFolder();
    void reportSaveFailure(const QString &description);

    outline::Workspace &m_ws;
    // What the last load did with unsaved work it found.
    UnsavedWork::Outcome m_leftover = UnsavedWork::Outcome::None;
    QStringList m_leftoverPictures;
    StartupImport m_startupImport;
};

} // namespace quillet::shell
