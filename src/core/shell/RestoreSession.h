// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {

class DocumentLifecycle;

// The restore window's state and buttons, without the window: a backup file
// is compacted into a ".rdb" document in a chosen folder and opened when asked.
class RestoreSession
{
public:
    RestoreSession(outline::Workspace &workspace, DocumentLifecycle &lifecycle)
        : m_ws(workspace)
        , m_lifecycle(lifecycle)
    {
    }

    const QString &source() const { return m_source; }
    const QString &destination() const { return m_destination; }
    // Typed into the text boxes.
    void setSource(const QString &text) { m_source = text; }
    void setDestination(const QString &text) { m_destination = text; }
    bool runAfterRestore = false;

    bool folderButtonEnabled() const { return m_folderEnabled; }
    // Restore is possible once both boxes hold something.
    bool startEnabled() const;

    // cmdSrcView and cmdDestView; true when a choice was taken.
    bool chooseSource();
    bool chooseFolder();
    // cmdStart; true when the backup was restored.
    bool restore();

    // "name.dbk" -> "name.rdb": up to the last dot, trimmed.
    static QString defaultDestinationName(const QString &backupPath);

private:
    void failed(const QString &text, int number);

    outline::Workspace &m_ws;
    DocumentLifecycle &m_lifecycle;
    QString m_source;
    QString m_destination;
    QString m_destinationName;
    bool m_folderEnabled = false;
};

} // namespace quillet::shell
