// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/favorites/FavoritesExchange.h"

#include "core/favorites/FavoritesFolders.h"
#include "core/outline/BookmarkNames.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/HeadingWalk.h"
#include "core/outline/ImportedHeadings.h"
#include "core/outline/Workspace.h"
#include "core/platform/ShellFolders.h"
#include "core/settings/IniFile.h"
#include "core/settings/PathNames.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/EngineError.h"
#include "core/store/Schema.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace quillet::favorites {

const char kSyncImportQuestion[]
    = "WARNING: Synchronization will clear the database and overwrite existing bookmarks!\r\n"
      "Please make a backup of your database before synchronizing!\r\n"
      "Do you want to continue with the synchronization?";
const char kSyncExportQuestion[]
    = "WARNING: Synchronization will delete all files and folders and overwrite existing "
      "bookmarks in IE Favorites before synchronizing!\r\n"
      "Do you want to continue with the synchronization?";
const char kNoFavoritesFolder[]
    = "There is no Favorites folder to synchronize from, so the document was left as it is.\r\n"
      "Quillet uses the folder named by QUILLET_FAVORITES, or else Favorites in your home "
      "folder.";

namespace {

using outline::HeadingNode;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

[[noreturn]] void cannotRead(const QByteArray &path, int error)
{
    throw store::EngineError(store::EngineErrorCode::Generic,
        QStringLiteral("Can not read '%1' (%2).")
            .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error))));
}

// A shortcut that cannot be read stops the import: its bookmark would come
// in without its link.
void requireReadableFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        cannotRead(path, errno);
    ::close(fd);
}

// Every folder of the listing could be listed whole; else the import would
// take a folder it cannot read for an empty one.
void requireReadableTree(const FolderListing &top)
{
    std::vector<const FolderListing *> pending {&top};
    while (!pending.empty()) {
        const FolderListing *listing = pending.back();
        pending.pop_back();
        if (listing->error != 0)
            cannotRead(listing->path, listing->error);
        for (const FolderListing &child : listing->children)
            pending.push_back(&child);
    }
}

const QString kSection = QStringLiteral("InternetShortcut");
const QString kUrlKey = QStringLiteral("URL");

// Long walks let the window repaint now and then; once per entry would cost
// more than the work itself on large folders.
class Yielder
{
public:
    Yielder() { m_timer.start(); }
    void operator()()
    {
        if (m_timer.elapsed() >= kIntervalMs) {
            common::yieldToEventLoop();
            m_timer.restart();
        }
    }

private:
    static constexpr qint64 kIntervalMs = 25;
    QElapsedTimer m_timer;
};

// The bar's value, one step per visited file, folder, heading or bookmark.
class Steps
{
public:
    explicit Steps(common::ProgressView *view)
        : m_view(view)
    {
    }
    void start(qint64 maximum)
    {
        if (!m_view)
            return;
        m_view->setMaximum(maximum);
        m_view->setValue(0);
        m_view->setVisible(true);
    }
    void step()
    {
        ++m_value;
        if (m_view)
            m_view->setValue(m_value);
    }

private:
    common::ProgressView *m_view;
    qint64 m_value = 0;
};

// ImportShortcutFiles and ImportFavoriteFolders over one listing.
class Importer
{
public:
    Importer(outline::Workspace &ws, store::Database &db, Steps &steps, Yielder &yield)
        : m_table(db)
        , m_steps(steps)
        , m_yield(yield)
        , m_existing(m_table.liveNamesByHeading())
        , m_headings(ws.tree())
    {
    }

    void importFiles(const FolderListing &folder, const HeadingNode *heading)
    {
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        outline::BookmarkNameSet &names = namesOf(heading->key);
        store::BookmarkRow row;
        row.headingKey = heading->key;
        row.key = QStringLiteral("");
        row.date = today;
        for (const FolderEntry &file : folder.files) {
            m_steps.step();
            m_yield();
            const QString name = file.name.trimmed();
            if (extensionOfName(name).trimmed().toUpper() != QLatin1String("URL"))
                continue;
            QString title = name.left(name.lastIndexOf(u'.')).trimmed();
            if (names.contains(title))
                continue;
            // The name on disk, not the trimmed one: Linux keeps outer blanks.
            const QByteArray path = folder.path + file.raw;
            requireReadableFile(path);
            row.link = readIniValueNative(kSection, kUrlKey, path);
            row.name = std::move(title);
            m_table.addPending(row);
            names.insert(row.name);
            ++m_added;
        }
    }

    // The folders below `top`, each with its files, in listing order.
    void importFolders(const FolderListing &top, HeadingNode *heading)
    {
        struct Level
        {
            const FolderListing *folder;
            HeadingNode *heading;
            size_t next;
        };
        std::vector<Level> levels {{&top, heading, 0}};
        while (!levels.empty()) {
            Level &level = levels.back();
            if (level.next == level.folder->folders.size()) {
                levels.pop_back();
                continue;
            }
            const size_t i = level.next++;
            m_steps.step();
            m_yield();
            const QString title = level.folder->folders[i].name.trimmed();
            HeadingNode *child = m_headings.findOrAdd(level.heading, title);
            if (!child)
                continue;
            const FolderListing &sub = level.folder->children[i];
            importFiles(sub, child);
            levels.push_back({&sub, child, 0}); // `level` is stale from here
        }
    }

    int added() const { return m_added; }

    // Takes back the headings this import added (after a rollback).
    void removeAddedHeadings() { m_headings.removeAdded(); }

private:
    // BookmarkNameExists for one heading, from one read of the whole table.
    outline::BookmarkNameSet &namesOf(const QString &headingKey)
    {
        const QString folded = headingKey.toCaseFolded();
        auto it = m_names.find(folded);
        if (it != m_names.end())
            return it->second;
        outline::BookmarkNameSet &set = m_names[folded];
        for (const QString &name : m_existing.value(folded))
            set.insert(name);
        return set;
    }

    store::BookmarkTable m_table;
    Steps &m_steps;
    Yielder &m_yield;
    QHash<QString, QStringList> m_existing;
    std::map<QString, outline::BookmarkNameSet> m_names; // references stay valid
    outline::ImportedHeadings m_headings;
    int m_added = 0;
};

// ExportRootHeading, ExportHeadingFolders and ExportHeadingBookmarks. Each
// returns false at the first failure, which abandons the rest.
class Exporter
{
public:
    Exporter(const QHash<const HeadingNode *, std::vector<store::NamedLink> *> &rows, Steps &steps,
        Yielder &yield)
        : m_rows(rows)
        , m_steps(steps)
        , m_yield(yield)
    {
    }

    bool exportRoot(const QString &folder, const HeadingNode *root)
    {
        m_steps.step();
        if (!exportBookmarks(folder, root))
            return false;
        return exportFolders(folder, root);
    }

private:
    // Every heading below `root`, each as a folder inside its parent's.
    bool exportFolders(const QString &rootFolder, const HeadingNode *root)
    {
        std::vector<QString> folderAtDepth {rootFolder};
        outline::HeadingWalk walk(root);
        walk.next(); // the root's folder is the Favorites folder itself
        while (walk.next()) {
            const HeadingNode *heading = walk.node();
            const size_t depth = static_cast<size_t>(walk.depth());
            m_steps.step();
            m_yield();
            // The title is the folder's name unchanged; one that is not a
            // single name (holds "/", is "." or "..") could lead elsewhere.
            if (!isSinglePathComponent(heading->title))
                return false;
            const QString sub = folderAtDepth[depth - 1] + heading->title + u'/';
            if (!ensureRealFolder(QFile::encodeName(sub)) || !exportBookmarks(sub, heading))
                return false;
            folderAtDepth.resize(depth + 1);
            folderAtDepth[depth] = sub;
        }
        return true;
    }

    bool exportBookmarks(const QString &folder, const HeadingNode *heading)
    {
        const std::vector<store::NamedLink> *rows = m_rows.value(heading);
        if (!rows)
            return true;
        for (const store::NamedLink &row : *rows) {
            m_steps.step();
            m_yield();
            if (row.nameIsNull || row.linkIsNull)
                return false;
            // A name that cannot be a file name there gives no file and no
            // error; a link in the file's place is never written through.
            if (isSinglePathComponent(row.name + QStringLiteral(".url")))
                writeIniValue(kSection, kUrlKey, row.link,
                    folder + row.name + QStringLiteral(".url"), IniLinks::Refuse);
        }
        return true;
    }

    const QHash<const HeadingNode *, std::vector<store::NamedLink> *> &m_rows;
    Steps &m_steps;
    Yielder &m_yield;
};

// The tree as it was before a failed synchronisation emptied it.
void restoreTree(outline::Workspace &ws, const std::vector<store::HeadingRow> &rows)
{
    ws.clearHeadingTree();
    outline::HeadingTreeModel &tree = ws.tree();
    for (const store::HeadingRow &row : rows) {
        HeadingNode *parent
            = row.parentKey == QLatin1String("0") ? nullptr : tree.findByKey(row.parentKey);
        tree.appendHeading(parent, row.title, row.key, row.image, row.expandedImage);
    }
    if (HeadingNode *root = tree.root()) {
        tree.setCurrent(root);
        ws.list().fill(root->key, ws.document().database());
    }
}

} // namespace

QString favoritesFolderPath()
{
    const QString folder = platform::getSpecialFolder(platform::kFavoritesFolderId);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QString();
    return folder;
}

void FavoritesExchange::importFavorites(common::ProgressView *progress)
{
    const QString folder = favoritesFolderPath();
    store::Database *db = m_ws.document().database();
    HeadingNode *root = m_ws.tree().root();
    if (folder.isEmpty() || !db || !root)
        return;

    Yielder yield;
    FolderListing listing;
    const qint64 total = listFavoritesTree(QFile::encodeName(folder), listing, std::ref(yield));
    requireReadableTree(listing);
    if (total == 0)
        return;
    Steps steps(progress);
    steps.start(total);
    const common::HideProgressAtEnd hide(progress);

    store::TransactionIfNone transaction(*db);
    Importer importer(m_ws, *db, steps, yield);
    try {
        importer.importFiles(listing, root);
        importer.importFolders(listing, root);
        transaction.commit();
    } catch (...) {
        importer.removeAddedHeadings();
        throw;
    }
    if (importer.added() > 0)
        m_ws.document().setModified(true);

    m_ws.tree().setCurrent(root);
    m_ws.list().clear();
    m_ws.list().fill(root->key, db);
}

void FavoritesExchange::exportFavorites(common::ProgressView *progress)
{
    const QString folder = favoritesFolderPath();
    store::Database *db = m_ws.document().database();
    const HeadingNode *root = m_ws.tree().root();
    if (folder.isEmpty() || !db || !root)
        return;
    store::BookmarkTable table(*db);
    if (table.countLive() == 0)
        return; // no live bookmark: nothing at all is written

    // Every row of the exported headings, read in one pass over the table.
    std::vector<const HeadingNode *> headings;
    for (outline::HeadingWalk walk(root); walk.next();)
        headings.push_back(walk.node());
    QStringList keys;
    keys.reserve(qsizetype(headings.size()));
    for (const HeadingNode *heading : headings)
        keys << heading->key;
    std::vector<std::vector<store::NamedLink>> rows = table.liveLinksOf(keys);
    QHash<const HeadingNode *, std::vector<store::NamedLink> *> rowsOf;
    qint64 total = qint64(headings.size());
    for (size_t i = 0; i < headings.size(); ++i) {
        rowsOf.insert(headings[i], &rows[i]);
        total += qint64(rows[i].size());
    }

    Steps steps(progress);
    steps.start(total);
    const common::HideProgressAtEnd hide(progress);
    Yielder yield;
    Exporter(rowsOf, steps, yield).exportRoot(folder, root);
}

void FavoritesExchange::resetDocumentTables(outline::Workspace &ws)
{
    ws.clearHeadingTree();
    ws.tree().addRootHeading();
    ws.list().setListedHeading(QLatin1String(store::kRootKey));
    if (store::Database *db = ws.document().database())
        store::resetDocumentTables(*db);
}

void FavoritesExchange::synchronizeFromFavorites()
{
    // Emptying the document with nothing to fill it from would lose it all
    // (and save the loss at once when titled).
    if (favoritesFolderPath().isEmpty()) {
        m_ws.messageAfterRepaint(QString::fromLatin1(kNoFavoritesFolder), MessageIcon::Exclamation);
        return;
    }
    if (m_ws.messageAfterRepaint(QString::fromLatin1(kSyncImportQuestion), MessageIcon::Exclamation,
            MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    store::Database *db = m_ws.document().database();
    if (!db)
        return;
    const auto idleAtEnd = qScopeGuard([this] { m_ws.showIdleStatus(); });
    // The emptying forgets every step, and the import that follows is none.
    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Synchronize"));

    m_ws.setStatus(QStringLiteral("Status: Cleaning..."));
    m_ws.clipboard().clear();
    const std::vector<store::HeadingRow> before = outline::headingRows(m_ws.tree());
    // Emptying, import and the save of a titled document as one transaction:
    // a failure leaves the document as it was, and the emptied heading table
    // never reaches the file without the imported headings.
    const bool saveNow = m_lifecycle.savesInPlace();
    try {
        store::Transaction transaction(*db);
        resetDocumentTables(m_ws);
        m_ws.setStatus(QStringLiteral("Status: Importing IE Favorites..."));
        importFavorites(m_ws.services().progress);
        if (saveNow)
            outline::resolvePendingChanges(*db, &m_ws.tree(), store::Resolution::Save,
                m_ws.services().progress, m_ws.services().status);
        transaction.commit();
    } catch (const store::EngineError &e) {
        // Nothing was emptied or imported: say why.
        restoreTree(m_ws, before);
        m_ws.message(e.description(), MessageIcon::Critical);
        return;
    } catch (...) {
        restoreTree(m_ws, before);
        throw;
    }

    if (saveNow) {
        m_lifecycle.markSaved();
        return;
    }
    m_ws.document().setModified(true);
    // A titled document that cannot be saved where it is: Save offers a name
    // of the user's choice.
    if (!m_ws.document().isUntitled())
        m_lifecycle.save();
}

void FavoritesExchange::synchronizeToFavorites()
{
    if (m_ws.messageAfterRepaint(QString::fromLatin1(kSyncExportQuestion), MessageIcon::Exclamation,
            MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    m_ws.clipboard().clear();
    const QString folder = favoritesFolderPath();
    if (folder.isEmpty())
        return;
    const auto idleAtEnd = qScopeGuard([this] { m_ws.showIdleStatus(); });
    m_ws.setStatus(QStringLiteral("Status: Deleting Favorites folder..."));
    Yielder yield;
    clearFolder(folder, std::ref(yield));
    m_ws.setStatus(QStringLiteral("Status: Exporting IE Favorites..."));
    common::yieldToEventLoop();
    exportFavorites(m_ws.services().progress);
}

void FavoritesExchange::importCommand()
{
    m_ws.clipboard().clear();
    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Import Favorites"));
    importFavorites(m_ws.services().progress);
    m_ws.list().showListStatus(true);
}

void FavoritesExchange::exportCommand()
{
    m_ws.clipboard().clear();
    common::yieldToEventLoop();
    exportFavorites(m_ws.services().progress);
}

void FavoritesExchange::syncImportCommand()
{
    m_ws.clipboard().clear();
    synchronizeFromFavorites();
    m_ws.list().showListStatus(true);
}

void FavoritesExchange::syncExportCommand()
{
    m_ws.clipboard().clear();
    synchronizeToFavorites();
}

void installStartupImport(outline::Workspace &workspace, shell::DocumentLifecycle &lifecycle)
{
    lifecycle.setStartupImport([&workspace, &lifecycle](common::ProgressView *progress) {
        FavoritesExchange(workspace, lifecycle).importFavorites(progress);
    });
}

} // namespace quillet::favorites
