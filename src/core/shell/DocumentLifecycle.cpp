// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/DocumentLifecycle.h"

#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/PathNames.h"
#include "core/shell/StartupDocument.h"
#include "core/shell/UnsavedWork.h"
#include "core/shell/UntitledLeftovers.h"
#include "core/store/BookmarkTable.h"
#include "core/store/TrustedDocuments.h"
#include "core/store/FailureReasons.h"
#include "core/store/FileIdentity.h"
#include "core/store/FileMaintenance.h"
#include "core/store/FileReplacement.h"
#include "core/store/HeadingRows.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace quillet::shell {

using namespace store;

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

const QString kRdbFilter = QStringLiteral("rdb files(*.rdb)|*.rdb");

} // namespace

bool DocumentLifecycle::loadDocument(const QString &path, common::ProgressView *progress)
{
    m_ws.setStatus(QStringLiteral("Status: Loading file ..."));
    m_leftover = UnsavedWork::Outcome::None;
    m_leftoverPictures.clear();
    std::unique_ptr<Database> db;
    bool handedOver = false;
    try {
        db = openDocumentToLoad(path);
        outline::loadHeadingTree(*db, m_ws.tree(), progress);
        common::yieldToEventLoop();
        UnsavedWork leftover(m_ws);
        m_leftover = leftover.offer(*db, path);
        m_leftoverPictures = leftover.keptPictures();
        outline::HeadingNode *root = m_ws.tree().root();
        // The list reads through the document: hand the database over first.
        m_ws.document().setDatabase(std::move(db));
        handedOver = true;
        m_ws.list().fill(root->key, m_ws.document().database(), QString());
        if (progress)
            progress->setVisible(false);
        if (m_ws.document().database()->isReadOnly()) {
            m_ws.messageAfterRepaint(
                quotedPath(path) + QStringLiteral(" is open for viewing only. ") + readOnlyReason(),
                MessageIcon::Exclamation);
        }
        return true;
    } catch (const EngineError &e) {
        m_ws.messageAfterRepaint(QLatin1Char('\'') + path + QLatin1Char('\'')
                + QStringLiteral(" could not be loaded. ") + reasonOf(e),
            MessageIcon::Exclamation);
        if (handedOver)
            m_ws.document().closeDatabase();
        db.reset();
        if (progress)
            progress->setVisible(false);
        m_ws.showIdleStatus();
        return false;
    }
}

void DocumentLifecycle::adoptLoaded(const QString &path)
{
    Document &doc = m_ws.document();
    doc.setTitledName(path);
    if (m_leftover != UnsavedWork::Outcome::Kept)
        return;
    // Kept work is unsaved work: Save commits it, Discard removes it.
    doc.setModified(true);
    for (const QString &name : std::as_const(m_leftoverPictures))
        doc.registerPendingImageFile(name);
}

bool DocumentLifecycle::newDocument(bool showNewMarker)
{
    try {
        m_ws.document().createUntitled(showNewMarker);
    } catch (const EngineError &e) {
        m_ws.messageAfterRepaint(
            QStringLiteral("Can not create a new document: ") + reasonOf(e), MessageIcon::Critical);
        return false;
    }
    m_ws.tree().addRootHeading();
    m_ws.list().setListedHeading(QLatin1String(kRootKey));
    return true;
}

void DocumentLifecycle::recoverDocument(const QString &previousPath)
{
    m_ws.clearHeadingTree();
    if (!previousPath.isEmpty() && loadDocument(previousPath, m_ws.services().progress)) {
        adoptLoaded(previousPath);
        showCountStatus();
        return;
    }
    m_ws.clearHeadingTree();
    newDocument(false);
    m_ws.showIdleStatus();
}

QString DocumentLifecycle::readOnlyReason()
{
    return QStringLiteral("The file or its folder is read-only: changes can not be saved to it, "
                          "only to a new file with Save As.");
}

bool DocumentLifecycle::isViewedOnly()
{
    const Database *db = m_ws.document().database();
    return db && db->isReadOnly();
}

bool DocumentLifecycle::hasVanished()
{
    const Database *db = m_ws.document().database();
    return db && !db->isStillAtPath();
}

bool DocumentLifecycle::savesInPlace()
{
    return m_ws.document().database() && !m_ws.document().isUntitled() && !isViewedOnly()
        && !hasVanished();
}

void DocumentLifecycle::markSaved()
{
    m_ws.document().setModified(false);
    m_ws.document().clearPendingImageFiles();
}

QString DocumentLifecycle::vanishedQuestion()
{
    return quotedPath(m_ws.document().path())
        + QStringLiteral(" was deleted or replaced by another program. Nothing is lost: Quillet "
                         "still holds the document with all its changes.\n\nDo you want to save "
                         "it under a name of your choice (Save As)?");
}

bool DocumentLifecycle::save()
{
    Document &doc = m_ws.document();
    if (!doc.database())
        return false;
    if (isViewedOnly()) {
        return m_ws.messageAfterRepaint(quotedPath(doc.path())
                       + QStringLiteral(" can not be saved. ") + readOnlyReason()
                       + QStringLiteral("\n\nDo you want to save it under a name of your "
                                        "choice (Save As)?"),
                   MessageIcon::Exclamation, MessageButtons::YesNo)
            == MessageAnswer::Yes
            && fileSaveAs();
    }
    // Saved in place it would go to a file nobody can open again.
    if (hasVanished()) {
        return m_ws.messageAfterRepaint(
                   vanishedQuestion(), MessageIcon::Exclamation, MessageButtons::YesNo)
            == MessageAnswer::Yes
            && fileSaveAs();
    }
    try {
        outline::resolvePendingChanges(*doc.database(), &m_ws.tree(), Resolution::Save,
            m_ws.services().progress, m_ws.services().status);
        markSaved();
        return true;
    } catch (const EngineError &e) {
        // The file is as it was before the save; the work stays pending.
        doc.setModified(true);
        reportSaveFailure(reasonOf(e));
        return false;
    }
}

bool DocumentLifecycle::discard()
{
    Document &doc = m_ws.document();
    if (!doc.database())
        return false;
    try {
        outline::resolvePendingChanges(*doc.database(), nullptr, Resolution::Discard,
            m_ws.services().progress, m_ws.services().status);
        return true;
    } catch (const EngineError &e) {
        m_ws.messageAfterRepaint(QStringLiteral("Can not discard the changes of ")
                + quotedPath(doc.path()) + QStringLiteral(": ") + reasonOf(e),
            MessageIcon::Critical);
        return false;
    }
}

void DocumentLifecycle::reportSaveFailure(const QString &description)
{
    m_ws.messageAfterRepaint(QStringLiteral("Can not save file: ")
            + quotedPath(m_ws.document().path()) + QStringLiteral(". ") + description,
        MessageIcon::Critical);
}

DocumentLifecycle::Answer DocumentLifecycle::askSaveChanges()
{
    const MessageAnswer answer = m_ws.messageAfterRepaint(
        QStringLiteral("The current file has been modified, would you like to save it?"),
        MessageIcon::Exclamation, MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::No)
        return Answer::Discarded;
    if (answer != MessageAnswer::Yes)
        return Answer::Cancelled;
    if (m_ws.document().isUntitled())
        return fileSaveAs() ? Answer::Saved : Answer::Cancelled;
    // A save that failed must not let the caller close the document.
    return save() ? Answer::Saved : Answer::Cancelled;
}

DocumentLifecycle::Answer DocumentLifecycle::askIfModified()
{
    // Closing a vanished document loses even its saved work: always asked.
    if (hasVanished()) {
        switch (m_ws.messageAfterRepaint(
            vanishedQuestion(), MessageIcon::Exclamation, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            return fileSaveAs() ? Answer::Saved : Answer::Cancelled;
        case MessageAnswer::No:
            return Answer::Discarded;
        default:
            return Answer::Cancelled;
        }
    }
    return m_ws.document().isModified() ? askSaveChanges() : Answer::NotAsked;
}

bool DocumentLifecycle::closeStep(Answer answer)
{
    Document &doc = m_ws.document();
    if (hasVanished() || isViewedOnly()) {
        // Its path names another file now, or none, or one that cannot be
        // written: nothing there is touched.
        doc.closeDatabase();
        if (answer == Answer::Discarded)
            deletePendingImageFiles();
        return true;
    }
    if (answer == Answer::Discarded) {
        if (doc.isUntitled()) {
            doc.closeAndDeleteUntitled();
        } else {
            // A discard that failed would leave the rejected changes in the
            // file to be saved later: keep the document open instead.
            if (!discard())
                return false;
            doc.closeDatabase();
        }
        deletePendingImageFiles();
        return true;
    }
    if (answer == Answer::NotAsked && doc.isUntitled())
        doc.closeAndDeleteUntitled();
    else
        doc.closeDatabase();
    return true;
}

void DocumentLifecycle::fileNew()
{
    Document &doc = m_ws.document();
    QString previous;
    if (doc.isModified()) {
        const Answer answer = askSaveChanges();
        if (answer == Answer::Cancelled)
            return;
        previous = doc.isUntitled() ? QString() : doc.path(); // Save As may have named it
        if (!closeStep(answer))
            return;
    } else if (doc.isUntitled()) {
        return;
    } else {
        previous = doc.path();
        doc.closeDatabase();
    }
    doc.clearPendingImageFiles();
    m_ws.clearHeadingTree();
    common::yieldToEventLoop();
    if (!newDocument(true))
        recoverDocument(previous);
    m_ws.clipboard().clear();
    m_ws.showIdleStatus();
}

QString DocumentLifecycle::defaultFolder()
{
    QString &folder = m_ws.windowSettings().defaultDir;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = platform::desktopFolder();
    return folder;
}

void DocumentLifecycle::fileOpen()
{
    m_ws.clipboard().clear();
    const Answer answer = askIfModified();
    if (answer == Answer::Cancelled)
        return;
    const QString folder = defaultFolder();
    common::yieldToEventLoop();
    if (!m_ws.services().fileDialogs)
        return;
    const QString path
        = m_ws.services().fileDialogs->openFile(QStringLiteral("Open"), folder, kRdbFilter);
    if (path.isEmpty())
        return;
    // Qt's dialogs do not remember where the user was.
    m_ws.windowSettings().defaultDir = folderOfPath(path);
    openChosenFile(path, answer);
}

void DocumentLifecycle::openChosenFile(const QString &path, Answer answer)
{
    Document &doc = m_ws.document();
    std::optional<EngineError> failure;
    if (!canLoadDocument(path, &failure)) {
        m_ws.messageAfterRepaint(QStringLiteral("Can not open file: ") + quotedPath(path)
                + QStringLiteral(". ") + (failure ? reasonOf(*failure) : QString()),
            MessageIcon::Critical);
        return;
    }
    m_ws.clipboard().clear();
    if (path == doc.path())
        return;
    const QString previous = doc.isUntitled() ? QString() : doc.path();
    if (!closeStep(answer))
        return;
    doc.clearPendingImageFiles();
    m_ws.clearHeadingTree();
    if (loadDocument(path, m_ws.services().progress)) {
        adoptLoaded(path);
        addRecentFile(path);
        showCountStatus();
    } else {
        m_ws.messageAfterRepaint(
            QStringLiteral("Can not load file: ") + quotedPath(path) + QStringLiteral(". "),
            MessageIcon::Critical);
        m_ws.clearHeadingTree();
        if (newDocument(false))
            m_ws.showIdleStatus();
        else
            recoverDocument(previous);
    }
    m_ws.clipboard().clear();
}

void DocumentLifecycle::openDocumentFile(const QString &entry)
{
    QString path = entry;
    // Recent files on the desktop are stored by name alone.
    if (!QDir::isAbsolutePath(path))
        path = platform::getSpecialFolder(platform::kDesktopFolderId) + path;
    if (!QFileInfo::exists(path)) {
        m_ws.messageAfterRepaint(
            QStringLiteral("File not found: ") + quotedPath(path) + QStringLiteral(". "),
            MessageIcon::Exclamation);
        return;
    }
    const Answer answer = askIfModified();
    if (answer == Answer::Cancelled)
        return;
    openChosenFile(path, answer);
}

void DocumentLifecycle::showCountStatus()
{
    m_ws.list().showListStatus(true);
}

void DocumentLifecycle::fileSave()
{
    Document &doc = m_ws.document();
    if (doc.isUntitled()) {
        fileSaveAs();
        showCountStatus();
    } else if (doc.isModified()) {
        save();
    }
}

bool DocumentLifecycle::fileSaveAs()
{
    const QString target = chooseSaveAsTarget();
    if (target.isEmpty())
        return false;
    Document &doc = m_ws.document();
    SaveAsSource source;
    source.path = doc.path();
    source.untitled = doc.isUntitled();
    source.modified = doc.isModified();
    // A document whose file went away is copied from the connection that
    // still holds it; its old path is left alone.
    source.vanished = hasVanished();
    source.viewedOnly = isViewedOnly();
    // The old file stays held until it is settled; the connection alone
    // would let another process in while the file is copied.
    const std::shared_ptr<DocumentHold> keepOld = doc.database() ? doc.database()->hold() : nullptr;
    if (!source.vanished)
        doc.closeDatabase();

    std::unique_ptr<Database> newDb;
    try {
        newDb = writeSavedCopy(target, source);
    } catch (const EngineError &e) {
        try {
            if (!source.vanished)
                doc.setDatabase(openDocumentDatabase(source.path));
        } catch (const EngineError &) {
            // Reported below; the commands check for an open database.
        }
        m_ws.messageAfterRepaint(QStringLiteral("Can not save file: ") + quotedPath(target)
                + QStringLiteral(". ") + reasonOf(e),
            MessageIcon::Critical);
        return false;
    }

    settleOldFile(source);
    doc.clearPendingImageFiles();
    doc.setDatabase(std::move(newDb));
    doc.setTitledName(target);
    showCountStatus();
    m_ws.clipboard().clear();
    addRecentFile(target);
    return true;
}

QString DocumentLifecycle::chooseSaveAsTarget()
{
    Document &doc = m_ws.document();
    platform::FileDialogs *dialogs = m_ws.services().fileDialogs;
    if (!dialogs)
        return QString();
    for (;;) {
        const QString folder = defaultFolder();
        common::yieldToEventLoop();
        QString target
            = dialogs->saveFile(QStringLiteral("Save As"), folder, QString(), kRdbFilter);
        if (target.isEmpty())
            return QString();
        // A name typed without extension would be hidden by the Open
        // dialog's filter; any other extension is kept as typed.
        if (extensionOfName(fileNameOfPath(target)).isEmpty())
            target += target.endsWith(QLatin1Char('.')) ? QStringLiteral("rdb")
                                                        : QStringLiteral(".rdb");
        m_ws.windowSettings().defaultDir = folderOfPath(target);
        if (!QFileInfo::exists(target))
            return target;
        if (m_ws.messageAfterRepaint(
                quotedPath(target) + QStringLiteral(" already exists, Do you want to replace it?"),
                MessageIcon::Exclamation, MessageButtons::YesNo)
            != MessageAnswer::Yes)
            continue;
        if (samePath(target, doc.path())) {
            // Saving onto itself, by whatever name, saves in place under the
            // document's own name; nothing new was written.
            if ((doc.isModified() || doc.isUntitled()) && save())
                doc.setTitledName(doc.path());
            return QString();
        }
        // A file another connection holds is never replaced under its holder,
        // who would go on writing to a file nobody sees. Any other is only
        // replaced once the new one is complete.
        if (!isHeldOpen(target) && !QFileInfo(target).isDir())
            return target;
        m_ws.messageAfterRepaint(
            quotedPath(target) + QStringLiteral(" already open."), MessageIcon::Critical);
    }
}

std::unique_ptr<Database> DocumentLifecycle::writeSavedCopy(
    const QString &target, const SaveAsSource &source)
{
    Document &doc = m_ws.document();
    // The copy is settled under a work name and renamed to the target when
    // complete: a crash never leaves a target holding unsaved rows, and a
    // failure leaves an old target as it was.
    FileReplacement replacement(target);
    if (source.vanished)
        doc.database()->exportCopy(replacement.workPath(), openConnectString());
    else
        replacement.copyFrom(source.path);
    // Held from before the rename, so the target is never free for others.
    const std::shared_ptr<DocumentHold> keepNew = DocumentHold::take(replacement.workPath());
    if (isTrustedDocumentFile(source.path))
        trustClosedDocument(replacement.workPath());
    {
        // Settled before the old file is touched, so a failure leaves the
        // changes pending in it.
        std::unique_ptr<Database> settling = openDocumentDatabase(replacement.workPath());
        if (source.viewedOnly) {
            // Pending rows in a file that cannot be written are another
            // session's; the copy gets the document as shown.
            Transaction transaction(*settling);
            BookmarkTable table(*settling);
            table.dropOrphanedRows();
            table.undoPending();
            transaction.commit();
        }
        outline::resolvePendingChanges(*settling, &m_ws.tree(), Resolution::Save,
            m_ws.services().progress, m_ws.services().status);
    }
    const bool trusted = isTrustedDocumentFile(replacement.workPath());
    replacement.commit();
    if (trusted)
        trustClosedDocument(replacement.destination());
    return openDocumentDatabase(target);
}

void DocumentLifecycle::settleOldFile(const SaveAsSource &source)
{
    if (source.vanished) {
        m_ws.document().closeDatabase();
    } else if (source.untitled) {
        deleteFileIfExists(source.path);
    } else if (source.modified && !source.viewedOnly) {
        // The old file keeps its last saved state.
        try {
            auto old = openDocumentDatabase(source.path);
            outline::resolvePendingChanges(*old, nullptr, Resolution::Discard, nullptr, nullptr);
        } catch (const EngineError &e) {
            // The new file has everything; say that the old one still holds
            // its unsaved rows.
            m_ws.messageAfterRepaint(QStringLiteral("Can not discard the changes of ")
                    + quotedPath(source.path) + QStringLiteral(": ") + reasonOf(e),
                MessageIcon::Exclamation);
        }
    }
}

bool DocumentLifecycle::closeDocumentForExit()
{
    m_ws.clipboard().clear();
    const Answer answer = askIfModified();
    if (answer == Answer::Cancelled || !closeStep(answer))
        return false;
    m_ws.document().closeDatabase();
    return true;
}

void DocumentLifecycle::addRecentFile(const QString &path)
{
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return;
    const QString name = fileNameOfPath(trimmed);
    const QString folder = folderOfPath(trimmed) + QLatin1Char('/');
    QString desktop = platform::desktopFolder().trimmed().toUpper();
    if (!desktop.endsWith(QLatin1Char('/')))
        desktop += QLatin1Char('/');
    const QString entry = folder.toUpper() == desktop ? name : folder + name;

    auto &mru = m_ws.windowSettings().mru;
    if (entry.compare(mru[0], Qt::CaseInsensitive) == 0)
        return;
    if (entry.compare(mru[1], Qt::CaseInsensitive) != 0)
        mru[2] = mru[1];
    mru[1] = mru[0];
    mru[0] = entry;
    m_ws.notifyRecentFilesChanged();
}

void DocumentLifecycle::deletePendingImageFiles()
{
    Document &doc = m_ws.document();
    const QStringList files = doc.pendingImageFiles();
    if (files.isEmpty())
        return;
    common::ProgressView *progress = m_ws.services().progress;
    if (progress) {
        progress->setMaximum(files.size());
        progress->setVisible(true);
    }
    m_ws.setStatus(QStringLiteral("Status: Deleting temporary image files ..."));
    const QString folder = m_ws.optionSettings().imageFolder;
    for (int i = 0; i < files.size(); ++i) {
        if (progress)
            progress->setValue(i + 1);
        deleteFileIfExists(folder + QLatin1Char('/') + files.at(i));
    }
    if (progress)
        progress->setVisible(false);
    m_ws.showIdleStatus();
    doc.clearPendingImageFiles();
}

bool DocumentLifecycle::loadOrStartEmpty(const QString &path, common::ProgressView *progress)
{
    if (loadDocument(path, progress)) {
        adoptLoaded(path);
        showCountStatus();
        addRecentFile(path);
        return true;
    }
    m_ws.clearHeadingTree();
    const bool started = newDocument(false);
    m_ws.showIdleStatus();
    return started;
}

bool DocumentLifecycle::importFavoritesAtStartup(common::ProgressView *progress)
{
    if (!newDocument(false))
        return false;
    try {
        // What the document starts with is no step to undo.
        const outline::EditHistory::Scope step(&m_ws.history(), QString());
        if (m_startupImport)
            m_startupImport(progress);
        m_ws.history().clear();
    } catch (const EngineError &e) {
        // Nothing was imported; the empty document stays.
        m_ws.messageAfterRepaint(
            QStringLiteral("Can not import the Favorites folder: ") + e.description(),
            MessageIcon::Critical);
    }
    showCountStatus();
    return true;
}

bool DocumentLifecycle::offerUntitledLeftovers(common::ProgressView *progress)
{
    const std::vector<UntitledLeftover> leftovers = collectUntitledLeftovers();
    if (leftovers.empty())
        return false;
    const UntitledLeftover &newest = leftovers.front();
    const QString others = leftovers.size() > 1
        ? QStringLiteral(" No deletes it and the %1 older ones.").arg(leftovers.size() - 1)
        : QStringLiteral(" No deletes it.");
    const MessageAnswer answer = m_ws.messageAfterRepaint(
        QStringLiteral("Quillet stopped before an untitled document was saved: the one last "
                       "changed on %1 holds %2 %3.\n\nDo you want to open it as an unsaved "
                       "document?")
                .arg(QLocale().toString(newest.lastModified, QLocale::ShortFormat))
                .arg(newest.bookmarks)
                .arg(newest.bookmarks == 1 ? QStringLiteral("bookmark")
                                           : QStringLiteral("bookmarks"))
            + others,
        MessageIcon::Exclamation, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        if (answer == MessageAnswer::No)
            for (const UntitledLeftover &leftover : leftovers)
                deleteUntitledFile(leftover.path);
        return false;
    }
    return openUntitledLeftover(newest.path, progress);
}

bool DocumentLifecycle::openUntitledLeftover(const QString &path, common::ProgressView *progress)
{
    m_ws.setStatus(QStringLiteral("Status: Loading file ..."));
    try {
        std::unique_ptr<Database> db = openDocumentDatabase(path);
        // Never saved, it has no headings on file: its bookmarks lie under
        // the root, or under headings that only the stopped session knew.
        if (countHeadingRows(*db) == 0)
            m_ws.tree().addRootHeading();
        else
            outline::loadHeadingTree(*db, m_ws.tree(), progress);
        UnsavedWork leftover(m_ws);
        leftover.keepAll(*db, path);
        Document &doc = m_ws.document();
        doc.adoptUntitled(std::move(db), path);
        doc.setModified(true);
        for (const QString &name : leftover.keptPictures())
            doc.registerPendingImageFile(name);
        m_ws.list().fill(m_ws.tree().root()->key, doc.database(), QString());
    } catch (const EngineError &e) {
        m_ws.document().closeDatabase();
        m_ws.clearHeadingTree();
        m_ws.messageAfterRepaint(
            QLatin1Char('\'') + path + QStringLiteral("' could not be loaded. ") + reasonOf(e),
            MessageIcon::Exclamation);
        if (progress)
            progress->setVisible(false);
        return false;
    }
    if (progress)
        progress->setVisible(false);
    showCountStatus();
    return true;
}

bool DocumentLifecycle::loadStartupDocument(
    const QStringList &arguments, common::ProgressView *progress)
{
    common::yieldToEventLoop();
    if (offerUntitledLeftovers(progress))
        return true;
    const QString path = shell::commandLineDocument(arguments);
    switch (shell::chooseStartupDocument(path, m_ws.optionSettings().loadMethods)) {
    case shell::StartupChoice::CommandLineFile:
        return loadOrStartEmpty(path, progress);
    case shell::StartupChoice::DefaultFile:
        return loadOrStartEmpty(m_ws.optionSettings().startupFile, progress);
    case shell::StartupChoice::ImportFavorites:
        return importFavoritesAtStartup(progress);
    case shell::StartupChoice::Untitled:
        break;
    }
    const bool started = newDocument(false);
    m_ws.showIdleStatus();
    return started;
}

} // namespace quillet::shell
