// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/HelpFileBuilder.h"

#include "core/common/ProgressView.h"
#include "core/outline/Workspace.h"
#include "core/pages/HelpProject.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/Registry.h"
#include "core/store/BookmarkTable.h"
#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace quillet::pages {

namespace {

const QString kProjectFile = QStringLiteral("favorites.hhp");

bool isFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void removeFilesIn(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
}

} // namespace

QString HelpFileBuilder::findCompiler()
{
    QString folder = settings::helpCompilerFolder().trimmed();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString fromRegistry
        = folder.isEmpty() ? QString() : folder + settings::helpCompilerFileName();
    if (isFile(fromRegistry))
        return fromRegistry;

    QString &remembered = m_ws.optionSettings().hhcPath;
    if (isFile(remembered))
        return remembered;

    const auto answer
        = m_ws.messageAfterRepaint(QStringLiteral("\"%1\" not found. Do you want to set the "
                                                  "location of the Help Compiler?")
                                       .arg(settings::helpCompilerFileName()),
            platform::MessageIcon::Exclamation, platform::MessageButtons::OkCancel);
    if (answer != platform::MessageAnswer::Ok)
        return QString();

    QString &initial = m_ws.windowSettings().defaultDir;
    if (initial.isEmpty() || !QFileInfo(initial).isDir())
        initial = platform::desktopFolder();
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    const QString chosen = dialogs ? dialogs->openFile(QStringLiteral("Select Help Compiler"),
                               initial + QLatin1Char('/') + settings::helpCompilerFileName(),
                               QStringLiteral("Help compiler (chmcmd)|chmcmd|All files (*)|*"))
                                   : QString();
    if (!isFile(chosen))
        return QString();
    remembered = chosen;
    return chosen;
}

HelpFileBuilder::Compiled HelpFileBuilder::compile(
    const QString &compiler, const QString &folder, const QString &helpFile, int timeoutMs)
{
    const QString output = folder + QLatin1Char('/') + helpFile;
    // A help file left by an earlier, failed run must not pass for this one.
    QFile::remove(output);

    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(compiler, {kProjectFile});
    if (!process.waitForStarted())
        return Compiled::NotStarted;

    // The window repaints while the compiler works; clicks and keys wait.
    QByteArray messages;
    const QDeadlineTimer deadline(timeoutMs);
    while (!process.waitForFinished(50)) {
        messages += process.readAll();
        common::yieldToEventLoop();
        if (process.state() == QProcess::NotRunning)
            break;
        if (deadline.hasExpired()) {
            process.kill();
            process.waitForFinished();
            return Compiled::TimedOut;
        }
    }
    messages += process.readAll();

    // Its exit code says little: judge by the file and its messages.
    static const QRegularExpression errorLine(QStringLiteral("^\\s*Error:"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    if (QFileInfo(output).size() <= 0 || QString::fromLocal8Bit(messages).contains(errorLine))
        return Compiled::Failed;
    return Compiled::Done;
}

void HelpFileBuilder::copyHelpFile(const QString &helpFile, const QString &target)
{
    store::FileReplacement copy(target);
    copy.copyFrom(helpFile);
    copy.commit();
}

void HelpFileBuilder::makeChmFile()
{
    common::yieldToEventLoop();
    store::Database *db = m_ws.document().database();
    if (!db)
        return;
    const QString compiler = findCompiler();
    if (compiler.isEmpty())
        return;

    common::ProgressView *progress = m_ws.services().progress;
    const common::HideProgressAtEnd hideBar(progress);
    const QString helpFile = helpFileName(m_ws.document().isUntitled(), m_ws.document().fileName());
    const QString folder = chmWorkFolder();
    store::BookmarkTable table(*db);
    HelpProjectWriter writer(m_ws.tree(), table, folder, progress, m_ws.services().status);
    const bool built = writer.build(helpFile);
    if (built && QFileInfo::exists(folder + QLatin1Char('/') + kProjectFile)) {
        const Compiled result = compile(compiler, folder, helpFile, compileTimeoutMs);
        bool copied = false;
        if (result == Compiled::Done) {
            const QString desktopFolder = platform::desktopFolder();
            const QString target = desktopFolder + QLatin1Char('/') + helpFile;
            // An earlier copy on the desktop stays until the new one is whole.
            try {
                copyHelpFile(folder + QLatin1Char('/') + helpFile, target);
                copied = true;
            } catch (const store::EngineError &e) {
                m_ws.message(QStringLiteral("Can not create chm file.\n") + e.description(),
                    platform::MessageIcon::Exclamation);
            }
            if (copied) {
                common::yieldToEventLoop();
                if (platform::DesktopServices *desktop = m_ws.services().desktop)
                    desktop->openFile(desktopFolder);
            }
        } else if (result == Compiled::TimedOut) {
            m_ws.message(QStringLiteral("Can not create chm file.\nThe help compiler took too "
                                        "long and was stopped."),
                platform::MessageIcon::Exclamation);
        } else {
            m_ws.message(
                QStringLiteral("Can not create chm file."), platform::MessageIcon::Exclamation);
        }
        // A failed build keeps its files for a look; a finished one leaves
        // the folder empty.
        if (copied || result == Compiled::NotStarted)
            removeFilesIn(folder);
    }
    m_ws.showIdleStatus();
}

} // namespace quillet::pages
