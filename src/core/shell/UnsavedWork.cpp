// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/UnsavedWork.h"

#include "core/common/ProgressView.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"
#include "core/settings/PathNames.h"
#include "core/store/Database.h"
#include "core/store/RandomNumbers.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFileInfo>

namespace quillet::shell {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

QString describePendingWork(const store::PendingSummary &summary, int pictures)
{
    QStringList parts;
    auto count = [&parts](int n, const char *what) {
        if (n <= 0)
            return;
        QString part = QString::number(n);
        if (parts.isEmpty())
            part += n == 1 ? QStringLiteral(" bookmark") : QStringLiteral(" bookmarks");
        parts << part + QLatin1Char(' ') + QLatin1String(what);
    };
    count(summary.added, "added");
    count(summary.changed, "changed");
    count(summary.removed, "deleted");
    QString text = parts.size() > 1
        ? QStringList(parts.mid(0, parts.size() - 1)).join(QStringLiteral(", "))
            + QStringLiteral(" and ") + parts.last()
        : parts.value(0);
    if (pictures > 0)
        text += QStringLiteral(", with %1 %2")
                    .arg(pictures)
                    .arg(pictures == 1 ? QStringLiteral("picture") : QStringLiteral("pictures"));
    return text;
}

UnsavedWork::Outcome UnsavedWork::offer(store::Database &db, const QString &path)
{
    m_keptPictures.clear();
    // Closed settled by Quillet and unchanged since: nothing to look for.
    if (db.isSettled())
        return Outcome::None;
    store::PendingSummary summary = store::BookmarkTable(db).pendingSummary();
    if (summary.isEmpty()) {
        db.markSettled();
        return Outcome::None;
    }
    const QStringList pictures = existingPictures(summary);
    if (db.isReadOnly()) {
        // Neither kept nor discarded: the file cannot be written. Shown as
        // last saved, it keeps them for whoever can.
        store::BookmarkTable(db).showLastSavedOnly();
        m_ws.messageAfterRepaint(quotedPath(path)
                + QStringLiteral(" holds changes that were never saved: ")
                + describePendingWork(summary, int(pictures.size()))
                + QStringLiteral(". The file can not be written, so it shows as last saved."),
            MessageIcon::Exclamation);
        return Outcome::None;
    }

    QString text = quotedPath(path) + QStringLiteral(" holds changes that were never saved: ")
        + describePendingWork(summary, int(pictures.size()))
        + QStringLiteral(". Quillet stopped before they were saved or discarded.");
    const outline::HeadingNode *root = m_ws.tree().root();
    if (summary.orphaned > 0 && root)
        text += QStringLiteral("\n\n%1 of them belong to headings that were never saved; kept, "
                               "they go under the heading \"%2\".")
                    .arg(summary.orphaned)
                    .arg(outline::uniqueHeadingTitle(QLatin1String(kRecoveredTitle), root));
    text += QStringLiteral("\n\nDo you want to keep them as unsaved changes? "
                           "No discards them now.");
    const MessageAnswer answer
        = m_ws.messageAfterRepaint(text, MessageIcon::Exclamation, MessageButtons::YesNo);
    // Only a plain No throws work away.
    if (answer == MessageAnswer::No && discard(db, pictures, path))
        return Outcome::Discarded;
    keep(db, summary, path);
    m_keptPictures = pictures;
    return Outcome::Kept;
}

QStringList UnsavedWork::existingPictures(const store::PendingSummary &summary) const
{
    // Pictures count only while their files are there.
    const QString folder = m_ws.optionSettings().imageFolder;
    QStringList pictures;
    for (const QString &name : summary.pictures)
        if (QFileInfo(folder + QLatin1Char('/') + name).isFile())
            pictures << name;
    return pictures;
}

void UnsavedWork::keepAll(store::Database &db, const QString &path)
{
    const store::PendingSummary summary = store::BookmarkTable(db).pendingSummary();
    keep(db, summary, path);
    m_keptPictures = existingPictures(summary);
}

bool UnsavedWork::keep(
    store::Database &db, const store::PendingSummary &summary, const QString &path)
{
    outline::HeadingTreeModel &tree = m_ws.tree();
    outline::HeadingNode *root = tree.root();
    if (summary.orphaned == 0 || !root)
        return true;
    const QString key
        = store::assignRandomKey([&tree](const QString &k) { return !tree.containsKey(k); });
    outline::HeadingNode *heading = tree.appendHeading(root,
        outline::uniqueHeadingTitle(QLatin1String(kRecoveredTitle), root), key, store::kRootImage,
        store::kRootExpandedImage);
    try {
        store::BookmarkTable(db).adoptOrphanedRows(key);
        return true;
    } catch (const store::EngineError &e) {
        // The rows stay pending where they were; Save still settles them.
        if (heading)
            tree.removeHeading(heading);
        m_ws.messageAfterRepaint(QStringLiteral("Can not show the recovered bookmarks of ")
                + quotedPath(path) + QStringLiteral(": ") + e.description(),
            MessageIcon::Critical);
        return false;
    }
}

bool UnsavedWork::discard(store::Database &db, const QStringList &pictures, const QString &path)
{
    try {
        store::Transaction transaction(db);
        store::BookmarkTable table(db);
        table.dropOrphanedRows();
        table.undoPending();
        transaction.commit();
    } catch (const store::EngineError &e) {
        m_ws.messageAfterRepaint(QStringLiteral("Can not discard the unsaved changes of ")
                + quotedPath(path) + QStringLiteral(": ") + e.description()
                + QStringLiteral(" They are kept as unsaved changes."),
            MessageIcon::Critical);
        return false;
    }
    const QString folder = m_ws.optionSettings().imageFolder;
    for (const QString &name : pictures)
        store::deleteFileIfExists(folder + QLatin1Char('/') + name);
    return true;
}

} // namespace quillet::shell
