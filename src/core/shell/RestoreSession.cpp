// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/RestoreSession.h"

#include "core/outline/TitledMessage.h"
#include "core/outline/Workspace.h"
#include "core/settings/PathNames.h"
#include "core/shell/DatabaseMaintenance.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/FileMaintenance.h"

#include <QFileInfo>

namespace quillet::shell {

using namespace store;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

const QString kRestoreTitle = QStringLiteral("Restore database");
const QString kInUse = QStringLiteral("The database your trying to restore may be in use");

} // namespace

bool RestoreSession::startEnabled() const
{
    return !m_source.trimmed().isEmpty() && !m_destination.trimmed().isEmpty();
}

QString RestoreSession::defaultDestinationName(const QString &backupPath)
{
    const QString name = fileNameOfPath(backupPath);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? name : name.left(dot)).trimmed() + QStringLiteral(".rdb");
}

bool RestoreSession::chooseSource()
{
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    const QString folder = DatabaseMaintenance::backupFolder(m_ws);
    common::yieldToEventLoop();
    const QString chosen = dialogs ? dialogs->openFile(kRestoreTitle, folder,
                               QStringLiteral("bookmarks backup file(*.dbk)|*.dbk|"))
                                   : QString();
    common::yieldToEventLoop();
    m_folderEnabled = false;
    if (chosen.isEmpty())
        return false;
    m_ws.windowSettings().backupDir = folderOfPath(chosen);
    if (extensionOfName(chosen).toLower() != QLatin1String("dbk")) {
        outline::titledMessage(m_ws, QStringLiteral("This is not a valid bookmarks backup file."),
            MessageIcon::Exclamation, kRestoreTitle);
        return false;
    }
    m_source = chosen;
    m_destinationName = defaultDestinationName(chosen);
    m_folderEnabled = true;
    return true;
}

bool RestoreSession::chooseFolder()
{
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    common::yieldToEventLoop();
    QString folder = dialogs
        ? dialogs->chooseFolder(QStringLiteral("Choose folder:"), m_ws.windowSettings().backupDir)
        : QString();
    if (folder.isEmpty())
        return false;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_destination = folder + m_destinationName;
    return true;
}

void RestoreSession::failed(const QString &text, int number)
{
    outline::titledMessage(
        m_ws, text, MessageIcon::Critical, QStringLiteral("Error_%1").arg(number));
}

bool RestoreSession::restore()
{
    const QString destination = m_destination.trimmed();
    const QString source = m_source.trimmed();
    if (source.isEmpty() || destination.isEmpty())
        return false;
    const QFileInfo info(destination);
    if (info.exists() || info.isSymLink()) {
        if (outline::titledMessage(m_ws,
                QLatin1Char('"') + destination
                    + QStringLiteral("\" already exists, do you want to replace it?"),
                MessageIcon::Exclamation, QStringLiteral("Backup database"), MessageButtons::YesNo)
            != MessageAnswer::Yes)
            return false;
        // A document held open (this one or another program's) is never
        // replaced under its holder; anything else is replaced only once
        // the restored file is complete.
        if (isInUse(destination, m_ws.document().path())
            || !QFileInfo(info.absolutePath()).isWritable()) {
            failed(kInUse, EngineErrorCode::FileInUse);
            return false;
        }
    }
    try {
        compactReadOnlyInto(source, destination);
    } catch (const EngineError &e) {
        failed(e.description() + kInUse, e.number());
        return false;
    }
    outline::titledMessage(m_ws,
        QStringLiteral("Your Database has now been successfully restored."),
        MessageIcon::Exclamation, kRestoreTitle);
    if (runAfterRestore)
        m_lifecycle.openDocumentFile(destination);
    return true;
}

} // namespace quillet::shell
