// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <functional>
#include <memory>

namespace quillet::store {

// The one way a file is replaced. The new content goes into a work file in
// the folder of the file the target finally names (a symbolic link is
// followed and stays a link); commit() flushes and syncs it, renames it over
// that file in one step and syncs the folder. The old file is never removed
// first: a failure at any step before the rename leaves it as it was, the
// work file goes, and an EngineError says which step failed and why. The
// work file is held while the replacement lives; work files of the same
// destination left by killed runs (an hour old and held by nobody) are
// removed when a new replacement starts.
class FileReplacement
{
public:
    // Creates the empty work file next to the destination. Throws EngineError.
    explicit FileReplacement(const QString &target);
    // Without commit() the work file goes; the destination stays as it was.
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // The file replaced: the target with its symbolic links followed.
    const QString &destination() const { return m_destination; }
    // The work file, for writers that fill a file by its name (the engine).
    const QString &workPath() const { return m_work; }

    // The work file open for writing; write errors surface in commit() at
    // the latest.
    QIODevice &device();
    // Writes bytes to the work file; throws when they do not all go.
    void write(const QByteArray &bytes);
    // Fills the work file with a copy of `source`.
    void copyFrom(const QString &source);

    // Puts the work file in the destination's place. Throws EngineError.
    void commit();

    // Steps a replacement runs, in order.
    enum class Step
    {
        Create, // the work file
        Write, // its content
        Sync, // its content to disk
        Rename, // over the destination
        SyncFolder // the new name to disk
    };
    // Test seam: runs before each step of every replacement and may throw an
    // EngineError in place of a failing disk. Empty to remove it.
    using StepHook = std::function<void(Step, const QString &destination)>;
    static void setStepHook(StepHook hook);

private:
    void step(Step which);
    [[noreturn]] void fail(Step which, int error);
    void syncWorkFile();

    QString m_target;
    QString m_destination;
    QString m_work;
    int m_fd = -1;
    std::unique_ptr<QFile> m_file;
    bool m_committed = false;
};

// The file `path` names in the end: symbolic links in its last part followed
// (a link to a file not yet made names that file). Throws EngineError on a
// loop of links.
QString finalTarget(const QString &path);

} // namespace quillet::store
