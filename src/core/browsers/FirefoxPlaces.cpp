// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/FirefoxPlaces.h"

#include "core/browsers/BookmarkFileReading.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <sqlite3.h>

namespace quillet::browsers {

namespace {

// Firefox's roots by guid, with the names its window shows; the tags root
// only repeats bookmarks by tag and is left out.
struct FirefoxRoot
{
    const char *guid;
    const char *title;
};
constexpr FirefoxRoot kFirefoxRoots[] = {
    {"menu________", "Bookmarks Menu"},
    {"toolbar_____", "Bookmarks Toolbar"},
    {"unfiled_____", "Other Bookmarks"},
    {"mobile______", "Mobile Bookmarks"},
};

// One row of moz_bookmarks with its place.
struct PlaceRow
{
    qint64 id = 0;
    int type = 0; // 1 bookmark, 2 folder, 3 separator
    QString guid;
    QString title;
    QString link;
    QString placeTitle;
    QString description;
    qint64 added = 0; // microseconds since 1970
};

QString columnText(sqlite3_stmt *s, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(s, column)) : QString();
}

class PlacesDatabase
{
public:
    explicit PlacesDatabase(const QString &path)
    {
        // A plain SQLite file: no key, so SQLCipher reads it as it is.
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr)
            != SQLITE_OK) {
            m_error = errorText();
            sqlite3_close(m_db);
            m_db = nullptr;
            return;
        }
        // The file comes from elsewhere: its schema may hold anything. Only
        // plain tables are read (see hasTable), nothing of the schema runs,
        // and the engine checks every page it reads. The engine SQLCipher
        // brings may predate some of these settings.
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
#ifdef SQLITE_DBCONFIG_DEFENSIVE
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
#endif
#ifdef SQLITE_DBCONFIG_TRUSTED_SCHEMA
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
#endif
#ifdef SQLITE_DBCONFIG_ENABLE_VIEW
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
#endif
        sqlite3_exec(
            m_db, "PRAGMA cell_size_check = ON; PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
    }
    ~PlacesDatabase()
    {
        sqlite3_close(m_db);
    }
    PlacesDatabase(const PlacesDatabase &) = delete;
    PlacesDatabase &operator=(const PlacesDatabase &) = delete;

    bool isOpen() const
    {
        return m_db != nullptr;
    }
    const QString &error() const
    {
        return m_error;
    }
    QString errorText() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
    }

    bool hasTable(const char *name)
    {
        bool found = false;
        query(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '%1'")
                  .arg(QLatin1String(name)),
            [&](sqlite3_stmt *) { found = true; });
        return found;
    }
    bool hasColumn(const char *table, const char *column)
    {
        bool found = false;
        query(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(table)),
            [&](sqlite3_stmt *s) { found = found || columnText(s, 1) == QLatin1String(column); });
        return found;
    }

    // Runs `sql`, handing each row to `row`; the engine's message on failure.
    std::optional<QString> query(const QString &sql, const std::function<void(sqlite3_stmt *)> &row)
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
            return errorText();
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            row(s);
        }
        sqlite3_finalize(s);
        if (rc != SQLITE_DONE)
            return errorText();
        return std::nullopt;
    }

private:
    sqlite3 *m_db = nullptr;
    QString m_error;
};

class PlacesTree
{
public:
    PlacesTree(std::vector<PlaceRow> rows, QHash<qint64, std::vector<int>> children)
        : m_rows(std::move(rows))
        , m_children(std::move(children))
    {
    }

    // The entries below folder `id` into `top`, which lies at `depth`.
    void fill(ImportedFolder &top, qint64 id, int depth)
    {
        struct Level
        {
            ImportedFolder *folder;
            const std::vector<int> *entries;
            size_t next;
            int depth;
        };
        std::vector<Level> levels;
        const auto enter = [&](ImportedFolder *folder, qint64 folderId, int folderDepth) {
            if (m_visited.contains(folderId))
                return; // a damaged file that loops
            m_visited.insert(folderId);
            const auto entries = m_children.constFind(folderId);
            if (entries != m_children.constEnd())
                levels.push_back({folder, &*entries, 0, folderDepth});
        };
        enter(&top, id, depth);
        while (!levels.empty()) {
            Level &level = levels.back();
            if (level.next == level.entries->size()) {
                levels.pop_back();
                continue;
            }
            const PlaceRow &row = m_rows[static_cast<size_t>((*level.entries)[level.next++])];
            ImportedFolder &folder = *level.folder;
            const int folderDepth = level.depth; // `level` is stale once another is entered
            if (row.type == 2) {
                if (folderDepth >= kMaxFolderDepth) {
                    m_tooDeep = true;
                    enter(&folder, row.id, folderDepth);
                    continue;
                }
                folder.folders.push_back({row.title, {}, {}});
                enter(&folder.folders.back(), row.id, folderDepth + 1);
            } else if (row.type == 1) {
                if (row.link.startsWith(QLatin1String("place:"))) {
                    ++m_queries;
                    continue;
                }
                const QString name = row.title.isEmpty() ? row.placeTitle : row.title;
                folder.bookmarks.push_back(
                    {name, row.link, dateOfSeconds(row.added / 1000000), row.description});
            }
        }
    }

    bool tooDeep() const { return m_tooDeep; }
    int queries() const { return m_queries; }

private:
    std::vector<PlaceRow> m_rows;
    QHash<qint64, std::vector<int>> m_children;
    QSet<qint64> m_visited;
    int m_queries = 0;
    bool m_tooDeep = false;
};

ReadBookmarks readPlacesCopy(const QString &path)
{
    PlacesDatabase db(path);
    if (!db.isOpen())
        return readFailure(db.error());
    if (!db.hasTable("moz_bookmarks") || !db.hasTable("moz_places"))
        return readFailure(QStringLiteral("This is not a Firefox bookmark file (places.sqlite)."));
    // Descriptions: the annotations of older profiles, the places' own
    // column in newer ones.
    QStringList descriptions;
    if (db.hasTable("moz_items_annos") && db.hasTable("moz_anno_attributes"))
        descriptions << QStringLiteral(
            "(SELECT a.content FROM moz_items_annos a JOIN moz_anno_attributes n "
            "ON n.id = a.anno_attribute_id WHERE a.item_id = b.id "
            "AND n.name = 'bookmarkProperties/description')");
    if (db.hasColumn("moz_places", "description"))
        descriptions << QStringLiteral("p.description");
    // coalesce() wants two arguments at least.
    descriptions << QStringLiteral("NULL") << QStringLiteral("NULL");
    const QString sql = QStringLiteral(
        "SELECT b.id, b.type, b.parent, b.title, b.dateAdded, b.guid, p.url, p.title, "
        "coalesce(%1) FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
        "ORDER BY b.parent, b.position, b.id")
                            .arg(descriptions.join(QLatin1String(", ")));
    std::vector<PlaceRow> rows;
    QHash<qint64, std::vector<int>> children;
    QHash<QString, qint64> idOfGuid;
    const std::optional<QString> error = db.query(sql, [&](sqlite3_stmt *s) {
        PlaceRow row;
        row.id = sqlite3_column_int64(s, 0);
        row.type = sqlite3_column_int(s, 1);
        row.title = columnText(s, 3);
        row.added = sqlite3_column_int64(s, 4);
        row.guid = columnText(s, 5);
        row.link = columnText(s, 6);
        row.placeTitle = columnText(s, 7);
        row.description = columnText(s, 8);
        idOfGuid.insert(row.guid, row.id);
        children[sqlite3_column_int64(s, 2)].push_back(static_cast<int>(rows.size()));
        rows.push_back(std::move(row));
    });
    if (error)
        return readFailure(*error);
    PlacesTree tree(std::move(rows), std::move(children));
    ReadBookmarks read;
    for (const FirefoxRoot &root : kFirefoxRoots) {
        const auto id = idOfGuid.constFind(QLatin1String(root.guid));
        if (id == idOfGuid.constEnd())
            continue;
        ImportedFolder folder {QLatin1String(root.title), {}, {}};
        tree.fill(folder, *id, 1);
        if (!folder.bookmarks.empty() || !folder.folders.empty())
            read.root.folders.push_back(std::move(folder));
    }
    if (tree.tooDeep())
        read.problems << tooDeepProblem();
    if (tree.queries() > 0)
        read.problems << QStringLiteral("%1 saved searches (place: links) were left out.")
                             .arg(tree.queries());
    return read;
}

} // namespace

ReadBookmarks readFirefoxPlaces(const QString &path)
{
    // A running Firefox holds the file locked, and its newest changes may
    // still sit in the write-ahead log: both are copied and read together.
    QTemporaryDir work;
    if (!work.isValid())
        return readFailure(QStringLiteral("No work folder could be made: ") + work.errorString());
    const QString copy = work.filePath(QStringLiteral("places.sqlite"));
    if (!QFile::copy(path, copy))
        return readFailure(QStringLiteral("Can not read '%1'.").arg(path));
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo::exists(wal) && !QFile::copy(wal, copy + QStringLiteral("-wal")))
        return readFailure(QStringLiteral("Can not read '%1'.").arg(wal));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return readPlacesCopy(copy);
}

bool looksLikeFirefoxPlaces(QByteArrayView start)
{
    return start.startsWith("SQLite format 3");
}

} // namespace quillet::browsers
