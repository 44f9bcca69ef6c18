// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace quillet::store {
class Database;
}

namespace quillet::outline {

// One bookmark as it arrived under its new heading.
struct TransferredBookmark
{
    QString sourceKey;
    QString key; // its lKey under the target (empty when left to the next fill)
    QString name;
    QString link;
    QString date;
};

enum class TransferKind
{
    Move,
    Copy
};

// Moves or copies bookmarks of one heading (by lKey, in the given order) to
// another heading, as paste and drop do: a name that clashes in the target
// gets the next free " #n"; the date becomes today's; a pending row is
// moved in place, a committed one is superseded by a pending copy. `newKey` gives each arriving
// bookmark its lKey. Runs as one transaction: on an engine error nothing has changed and the error
// propagates. Keys no longer found under the source are skipped.
QList<TransferredBookmark> transferBookmarks(store::Database &db, const QString &sourceHeading,
    const QStringList &keys, const QString &targetHeading, TransferKind kind,
    const std::function<QString()> &newKey);

// Today as "yyyy-MM-dd".
QString todayText();

} // namespace quillet::outline
