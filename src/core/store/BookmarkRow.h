// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace quillet::store {

// Where a tbItems row stands between two Saves (its delFlag). Rows are never
// changed once saved: an edit adds a pending copy and marks the saved row
// removed, so Discard can bring the saved state back.
enum class RowState
{
    Committed = 0, // saved, and shown
    Added = 1, // pending since the last Save, shown
    Removed = -1 // saved, hidden until Discard brings it back or Save drops it
};

// The fields of one tbItems row. Null texts read as empty; `descriptionIsNull`
// keeps a Null description apart where pages need it.
struct BookmarkRow
{
    qint64 id = 0;
    QString headingKey; // tKey
    QString key; // lKey
    QString name; // urlName
    QString link; // urlLink
    QString date; // urlDate
    QString description; // urlDescrip
    bool descriptionIsNull = false;
    QString pictureFile; // imgFile
    RowState state = RowState::Committed;
    QByteArray thumbnail; // urlThumb

    // Shown in the list (committed or added).
    bool isLive() const { return state != RowState::Removed; }
};

} // namespace quillet::store
