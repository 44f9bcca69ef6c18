// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkTable.h"

#include <QString>
#include <QStringList>

namespace quillet::store {
class Database;
}

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {

// "3 bookmarks added, 1 changed and 2 deleted", with ", and 2 pictures"
// when there are any.
QString describePendingWork(const store::PendingSummary &summary, int pictures);

// Work that a session left in its document without Save or Discard: it was
// killed, or the machine stopped. A document holds pending rows only while
// it is open, so whatever it holds when it opens is such work. The user is
// told once and chooses: keep it as unsaved changes (Save then saves it,
// Discard removes it, as if the session had gone on) or discard it now.
class UnsavedWork
{
public:
    explicit UnsavedWork(outline::Workspace &workspace)
        : m_ws(workspace)
    {
    }

    enum class Outcome
    {
        None, // nothing was pending
        Kept,
        Discarded
    };

    // Runs when `db` has just been opened from `path` and its heading tree
    // loaded into the workspace, before any bookmark is listed. Kept rows
    // whose heading was never saved go under a new heading, "Recovered"
    // made unique under the root; discarded ones go with the rest.
    Outcome offer(store::Database &db, const QString &path);

    // Keeps whatever `db` holds pending, without asking (the user chose to
    // open a document that a stopped session left).
    void keepAll(store::Database &db, const QString &path);

    // The picture files of the kept work, to be deleted if it is discarded
    // later (names in the image folder).
    const QStringList &keptPictures() const { return m_keptPictures; }

    static constexpr const char *kRecoveredTitle = "Recovered";

private:
    bool keep(store::Database &db, const store::PendingSummary &summary, const QString &path);
    QStringList existingPictures(const store::PendingSummary &summary) const;
    bool discard(store::Database &db, const QStringList &pictures, const QString &path);

    outline::Workspace &m_ws;
    QStringList m_keptPictures;
};

} // namespace quillet::shell
