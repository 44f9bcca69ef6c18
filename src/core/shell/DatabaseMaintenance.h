// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/store/HeadingRows.h"

#include <QString>
#include <functional>
#include <vector>

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {

// Backup and Compact of the Tools menu. Both work through the connection that
// holds the document and never close it: its pending rows, tree and flags
// stay as they were, whatever happens.
class DatabaseMaintenance
{
public:
    explicit DatabaseMaintenance(outline::Workspace &workspace)
        : m_ws(workspace)
    {
    }

    // Steps a failure can come from, in the order they run.
    enum class Step
    {
        Copy, // the document into a work file
        Settle, // Save applied to the work file
        Compact, // the backup into a work file next to its target; the document in place
        Replace // the backup's work file renamed over the target
    };
    // Test seam: runs before each step and may throw EngineError.
    std::function<void(Step)> beforeStep;

    // miTDBBackup: asks for a ".dbk" name and writes the document, as shown
    // on screen and saved, into it compacted.
    void backup();
    // miTDBCompact: compacts the document's own file.
    void compact();

    static QString backupTarget(const QString &chosen); // ".dbk" appended unless present
    // config.ini's backup folder, the desktop when it is no folder.
    static QString backupFolder(outline::Workspace &workspace);

    // Writes a backup file: `copy` fills a fresh work file in _tmp with the
    // document, which is settled as Save leaves it, with `headings` as its
    // tree, and compacted into `target`. The work file goes whatever
    // happens; `step` (may be empty) runs before each step.
    static void writeBackupFile(const std::function<void(const QString &work)> &copy,
        const QString &target, const std::vector<store::HeadingRow> &headings,
        common::ProgressView *progress, const std::function<void(Step)> &step);

private:
    void step(Step which);
    bool confirmReplace(const QString &target);
    // Runs `work` under `status`, saying how it went.
    void run(const QString &status, const std::function<void()> &work, const QString &success,
        const QString &failure, const QString &title);
    void writeBackup(const QString &target);

    outline::Workspace &m_ws;
};

} // namespace quillet::shell
