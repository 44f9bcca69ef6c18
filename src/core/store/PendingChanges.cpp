// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/PendingChanges.h"

#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/RowLog.h"
#include "core/store/Schema.h"

namespace quillet::store {

namespace {

void writeFormatVersion(Database &db)
{
    auto tips = db.openRecordset(QStringLiteral("tbTips"));
    if (tips->isEmpty())
        tips->addNew();
    else
        tips->edit();
    tips->setValue(QStringLiteral("Version"), QLatin1String(kFormatVersion));
    tips->update();
}

} // namespace

void resolvePendingChanges(Database &db, Resolution resolution,
    const std::vector<HeadingRow> &headings, common::ProgressView *progress)
{
    const common::HideProgressAtEnd hideBar(progress);

    const bool save = resolution == Resolution::Save;
    const qint64 steps = (save ? static_cast<qint64>(headings.size()) : 0) + 2;
    if (progress) {
        progress->setMaximum(steps);
        progress->setValue(0);
        progress->setVisible(true);
    }
    qint64 counter = 1;
    auto step = [&] {
        if (progress)
            progress->setValue(counter);
        ++counter;
    };

    Transaction transaction(db);
    BookmarkTable bookmarks(db);
    if (save) {
        step();
        writeFormatVersion(db);
        addMissingIndexes(db);
        replaceHeadingRows(db, headings, step);
        bookmarks.commitPending();
    } else {
        bookmarks.undoPending();
    }
    if (progress)
        progress->setValue(steps);
    transaction.commit();
    // Every pending row is settled: there is nothing left to undo.
    if (RowJournal *journal = db.rowJournal())
        journal->settled();
    // Saved means in the file itself and on disk, not only in the log. Inside
    // a caller's transaction the caller's commit decides.
    if (db.transactionDepth() == 0) {
        db.settleOnDisk();
        db.markSettled();
    }
}

} // namespace quillet::store
