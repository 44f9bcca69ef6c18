// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/DatabaseMaintenance.h"

#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/TitledMessage.h"
#include "core/outline/Workspace.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/PathNames.h"
#include "core/store/FileMaintenance.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFileInfo>

namespace quillet::shell {

using namespace store;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

const QString kBackupTitle = QStringLiteral("Backup database");
const QString kCompactTitle = QStringLiteral("Compact database");

} // namespace

QString DatabaseMaintenance::backupTarget(const QString &chosen)
{
    return extensionOfName(chosen).toLower() == QLatin1String("dbk")
        ? chosen
        : chosen + QStringLiteral(".dbk");
}

QString DatabaseMaintenance::backupFolder(outline::Workspace &workspace)
{
    QString &folder = workspace.windowSettings().backupDir;
    if (!QFileInfo(folder).isDir())
        folder = platform::desktopFolder();
    return folder;
}

void DatabaseMaintenance::step(Step which)
{
    if (beforeStep)
        beforeStep(which);
}

bool DatabaseMaintenance::confirmReplace(const QString &target)
{
    if (outline::titledMessage(m_ws,
            quotedPath(target) + QStringLiteral(" already exists, do you want to replace it?"),
            MessageIcon::Exclamation, kBackupTitle, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return false;
    // The old backup is only replaced once the new one is complete; a file
    // that is open, here or elsewhere, is not replaced at all.
    return !outline::refuseReplacingInUse(
        m_ws, target, QStringLiteral("Error_%1").arg(EngineErrorCode::FileInUse));
}

void DatabaseMaintenance::backup()
{
    Document &doc = m_ws.document();
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    if (!doc.database() || !dialogs)
        return;
    const QString folder = backupFolder(m_ws);
    common::yieldToEventLoop();
    const QString chosen = dialogs->saveFile(kBackupTitle, folder, QStringLiteral("bookmarks"),
        QStringLiteral("bookmarks backup file(*.dbk)|*.dbk|"));
    const QString target = chosen.isEmpty() ? QString() : backupTarget(chosen);
    if (!chosen.isEmpty())
        m_ws.windowSettings().backupDir = folderOfPath(chosen);
    if (target.isEmpty() || (QFileInfo::exists(target) && !confirmReplace(target))) {
        m_ws.showIdleStatus();
        return;
    }
    run(
        QStringLiteral("Status: Backuping database..."), [this, target] { writeBackup(target); },
        QStringLiteral("Your bookmarks have now been successfully backed up."),
        QStringLiteral("Can not back up to ") + quotedPath(target), kBackupTitle);
}

void DatabaseMaintenance::run(const QString &status, const std::function<void()> &work,
    const QString &success, const QString &failure, const QString &title)
{
    m_ws.setStatus(status);
    common::yieldToEventLoop();
    try {
        work();
        outline::titledMessage(m_ws, success, MessageIcon::Exclamation, title);
    } catch (const EngineError &e) {
        // The document stayed open and as it was; an old target too.
        outline::titledMessage(
            m_ws, failure + QStringLiteral(". ") + e.description(), MessageIcon::Critical, title);
    }
    m_ws.showIdleStatus();
}

void DatabaseMaintenance::writeBackup(const QString &target)
{
    // Copied through the connection that holds the document: it is never
    // closed, so nobody can take or change it in between. The copy is settled
    // in the program's work folder; the document file itself is only read.
    Database &db = *m_ws.document().database();
    writeBackupFile([&db](const QString &work) { db.exportCopy(work, openConnectString()); },
        target, outline::headingRows(m_ws.tree()), m_ws.services().progress,
        [this](Step which) { step(which); });
}

void DatabaseMaintenance::writeBackupFile(const std::function<void(const QString &)> &copy,
    const QString &target, const std::vector<HeadingRow> &headings, common::ProgressView *progress,
    const std::function<void(Step)> &step)
{
    const auto before = [&step](Step which) {
        if (step)
            step(which);
    };
    const QString work = newTempDatabaseName();
    try {
        before(Step::Copy);
        copy(work);
        {
            before(Step::Settle);
            std::unique_ptr<Database> settled = openDocumentDatabase(work);
            resolvePendingChanges(*settled, Resolution::Save, headings, progress);
        }
        before(Step::Compact);
        compactInto(work, target, [&before] { before(Step::Replace); });
    } catch (...) {
        deleteFileIfExists(work);
        throw;
    }
    deleteFileIfExists(work);
}

void DatabaseMaintenance::compact()
{
    Database *db = m_ws.document().database();
    if (!db)
        return;
    common::yieldToEventLoop();
    // Compacted in place, in one transaction, through the connection that
    // holds the document: the file is never closed or replaced, so a document
    // opened through a link stays the file it names.
    run(
        QStringLiteral("Status: Compacting database ..."),
        [this, db] {
            step(Step::Compact);
            db->compactInPlace();
        },
        QStringLiteral("Your bookmarks have now been successfully compacted."),
        QStringLiteral("Can not compact ") + quotedPath(m_ws.document().path()), kCompactTitle);
}

} // namespace quillet::shell
