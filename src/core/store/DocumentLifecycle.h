#pragma once

#include "platform/ProgressView.h"

#include <QString>
#include <QStringList>

namespace quillet::shell {
class Workspace;
}

namespace quillet::store {

// The File commands and the save prompt: New, Open, the recent files, Save,
// Save As and closing at exit, over the workspace's one open document.
class DocumentLifecycle
{
public:
    explicit DocumentLifecycle(shell::Workspace &workspace)
        : m_ws(workspace)
    {
    }

    // Answers of the save prompt.
    enum Answer
    {
        Cancelled = -1,
        Discarded = 0,
        Saved = 1
    };

    // Opens the file into the (cleared) tree and lists the root heading's
    // bookmarks; on failure says so and leaves nothing open.
    bool loadDocument(const QString &path, platform::ProgressView *progress);

    void newDocument(bool showNewMarker);
    void fileNew();
    void fileOpen();
    void openDocumentFile(const QString &path);
    void fileSave();
    bool fileSaveAs();
    int askSaveChanges();
    bool closeDocumentForExit();
    void addRecentFile(const QString &path);
    void deletePendingImageFiles();

    // Chooses and opens the first document at start-up.
    void loadStartupDocument(const QStringList &arguments, platform::ProgressView *progress);

    // Save and Discard of the current document as one step each. A failure
    // is shown and reported as false; nothing of the user's work is lost.
    bool save();
    bool discard();

private:
    enum class Prompt
    {
        None,
        Answered
    };
    bool closeStep(Prompt prompt, int answer);
    void openChosenFile(const QString &path, Prompt prompt, int answer);
    void loadOrStartEmpty(const QString &path, platform::ProgressView *progress);
    void showCountStatus();
    QString defaultFolder();
    void reportSaveFailure(const QString &description);

    shell::Workspace &m_ws;
};

} // namespace quillet::store
