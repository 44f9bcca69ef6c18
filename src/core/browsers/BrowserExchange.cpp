// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/BrowserExchange.h"

#include "core/browsers/BookmarkHtml.h"
#include "core/outline/TitledMessage.h"
#include "core/outline/Workspace.h"
#include "core/settings/PathNames.h"

#include <QDir>
#include <QFileInfo>

namespace quillet::browsers {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

const QString kImportTitle = QStringLiteral("Import browser bookmarks");
const QString kExportTitle = QStringLiteral("Export browser bookmarks");
// Problems listed in the closing message; the rest are counted.
constexpr int kProblemsShown = 15;

QString problemsText(const QStringList &problems)
{
    QStringList shown = problems.mid(0, kProblemsShown);
    if (problems.size() > kProblemsShown)
        shown << QStringLiteral("... and %1 more.").arg(problems.size() - kProblemsShown);
    return QStringLiteral("Some entries could not be read:\r\n")
        + shown.join(QStringLiteral("\r\n"));
}

} // namespace

QString BrowserExchange::chooseFile(const BookmarkSource &source)
{
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    if (!dialogs)
        return QString();
    common::yieldToEventLoop();
    return dialogs->openFile(kImportTitle, home.isEmpty() ? QDir::homePath() : home,
        QLatin1String(source.format->fileFilter));
}

int BrowserExchange::importBookmarks()
{
    store::Database *db = m_ws.document().database();
    outline::HeadingNode *heading = m_ws.tree().current();
    if (!db || !heading)
        return 0;
    const QList<BookmarkSource> found
        = findBrowserProfiles(home.isEmpty() ? QDir::homePath() : home);
    common::yieldToEventLoop();
    std::optional<BookmarkSource> source = m_dialogs.chooseSource(found);
    if (source && source->path.isEmpty()) {
        source->path = chooseFile(*source);
        // The file says what it is, whatever the dialog offered.
        if (!source->path.isEmpty())
            source->format = &guessBookmarkFormat(source->path);
    }
    if (!source || source->path.isEmpty()) {
        m_ws.showIdleStatus();
        return 0;
    }

    m_ws.setStatus(QStringLiteral("Status: Importing browser bookmarks..."));
    common::yieldToEventLoop();
    const QString headingKey = heading->key;
    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Import bookmarks"));
    const ImportResult result = browsers::importBookmarks(
        *db, m_ws.tree(), heading, *source->format, source->path, m_ws.services().progress);
    if (!result.ok()) {
        m_ws.showIdleStatus();
        outline::titledMessage(m_ws,
            QStringLiteral("Can not import ") + quotedPath(source->path) + QStringLiteral(". ")
                + result.error,
            MessageIcon::Critical, kImportTitle);
        return 0;
    }
    if (result.bookmarksAdded > 0 || result.headingsAdded > 0)
        m_ws.document().setModified(true);
    if (result.headingsAdded > 0)
        m_ws.tree().setExpanded(heading, true);
    m_ws.list().refill(headingKey, db);
    if (!result.problems.isEmpty())
        outline::titledMessage(
            m_ws, problemsText(result.problems), MessageIcon::Exclamation, kImportTitle);
    // Names are unique within a heading: a bookmark whose name is already
    // there stays out, whatever its link, and is counted as already there.
    m_ws.setStatus(QStringLiteral("Status: Idle - %1 bookmarks imported, %2 already there.")
                       .arg(result.bookmarksAdded)
                       .arg(result.bookmarksSkipped));
    return result.bookmarksAdded;
}

int BrowserExchange::exportBookmarks()
{
    store::Document &doc = m_ws.document();
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    const outline::HeadingNode *heading = m_ws.tree().current();
    if (!doc.database() || !dialogs || m_ws.tree().isEmpty())
        return 0;
    common::yieldToEventLoop();
    const std::optional<ExportScope> scope
        = m_dialogs.chooseExportScope(heading ? heading->title : QString());
    if (!scope) {
        m_ws.showIdleStatus();
        return 0;
    }
    const outline::HeadingNode *top = *scope == ExportScope::CurrentHeading ? heading : nullptr;
    common::yieldToEventLoop();
    QString target = dialogs->saveFile(kExportTitle, home.isEmpty() ? QDir::homePath() : home,
        QStringLiteral("bookmarks.html"), QLatin1String(exportFormat().fileFilter));
    if (!target.isEmpty() && QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".html");
    if (target.isEmpty()) {
        m_ws.showIdleStatus();
        return 0;
    }
    if (QFileInfo::exists(target)) {
        if (outline::titledMessage(m_ws,
                quotedPath(target) + QStringLiteral(" already exists, do you want to replace it?"),
                MessageIcon::Exclamation, kExportTitle, MessageButtons::YesNo)
            != MessageAnswer::Yes) {
            m_ws.showIdleStatus();
            return 0;
        }
        // The document, or another one held open, is never written over.
        if (outline::refuseReplacingInUse(m_ws, target, kExportTitle)) {
            m_ws.showIdleStatus();
            return 0;
        }
    }

    m_ws.setStatus(QStringLiteral("Status: Exporting browser bookmarks..."));
    common::yieldToEventLoop();
    const ExportResult result = exportBookmarkHtmlFile(
        *doc.database(), m_ws.tree(), top, target, m_ws.services().progress);
    if (!result.ok()) {
        m_ws.showIdleStatus();
        outline::titledMessage(m_ws,
            QStringLiteral("Can not export to ") + quotedPath(target) + QStringLiteral(". ")
                + result.error,
            MessageIcon::Critical, kExportTitle);
        return 0;
    }
    m_ws.setStatus(QStringLiteral("Status: Idle - %1 bookmarks exported.").arg(result.bookmarks));
    return result.bookmarks;
}

} // namespace quillet::browsers
