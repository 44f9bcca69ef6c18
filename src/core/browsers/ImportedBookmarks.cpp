// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/ImportedBookmarks.h"

#include "core/outline/BookmarkNames.h"
#include "core/outline/BookmarkTransfer.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/ImportedHeadings.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/EngineError.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <map>

namespace quillet::browsers {

namespace {

// Entries between two progress updates, and between two looks at the window.
constexpr qint64 kEntriesPerStep = 2000;
// Up to this many existing headings, each one's names are read by its own
// query; beyond, one pass over the table reads them all.
constexpr int kNameQueriesPerHeading = 4;

// One folder with the heading it goes to.
struct Placement
{
    const ImportedFolder *folder;
    outline::HeadingNode *heading;
};

// Links that would run code or show inline content when opened: they are
// kept as text in the description. Browsers drop tabs and line breaks inside
// a link and blanks before it, so "java\nscript:" counts too.
bool runsWhenOpened(const QString &link)
{
    QString scheme;
    for (const QChar c : link) {
        if (c == u':')
            break;
        if (c.unicode() <= 0x20)
            continue;
        scheme += c.toLower();
        if (scheme.size() > 10)
            return false;
    }
    return scheme == u"javascript" || scheme == u"vbscript" || scheme == u"data";
}

class Importer
{
public:
    Importer(store::Database &db, outline::HeadingTreeModel &tree, common::ProgressView *progress,
        ImportResult &result)
        : m_db(db)
        , m_progress(progress)
        , m_result(result)
        , m_headings(tree)
    {
    }

    void run(outline::HeadingNode *parent, const ImportedFolder &root)
    {
        m_total = root.entryCount();
        if (m_progress) {
            m_progress->setMaximum(m_total);
            m_progress->setValue(0);
            m_progress->setVisible(true);
        }
        std::vector<Placement> placements;
        place(root, parent, placements);
        m_result.headingsAdded = m_headings.addedCount();
        readExistingNames();
        store::BookmarkTable table(m_db);
        const QString today = outline::todayText();
        for (const Placement &p : placements) {
            outline::BookmarkNameSet &names = m_names[p.heading->key];
            for (const ImportedBookmark &b : p.folder->bookmarks) {
                add(table, p.heading->key, names, b, today);
                step();
            }
        }
    }

    // Takes the headings made here out of the tree again.
    void removeAddedHeadings() { m_headings.removeAdded(); }

private:
    // Maps `top` and everything below to headings, making the missing ones;
    // folders in file order, each before the folders inside it.
    void place(
        const ImportedFolder &top, outline::HeadingNode *heading, std::vector<Placement> &out)
    {
        struct Level
        {
            const ImportedFolder *folder;
            outline::HeadingNode *heading;
            size_t next;
        };
        std::vector<Level> levels;
        const auto enter = [&](const ImportedFolder &folder, outline::HeadingNode *to) {
            out.push_back({&folder, to});
            if (!folder.bookmarks.empty() && !m_headings.wasAdded(to)
                && std::find(m_receivers.begin(), m_receivers.end(), to) == m_receivers.end())
                m_receivers.push_back(to);
            levels.push_back({&folder, to, 0});
        };
        enter(top, heading);
        while (!levels.empty()) {
            Level &level = levels.back();
            if (level.next == level.folder->folders.size()) {
                levels.pop_back();
                continue;
            }
            const ImportedFolder &sub = level.folder->folders[level.next++];
            outline::HeadingNode *parent = level.heading;
            QString title = sub.title.trimmed();
            if (title.isEmpty())
                title = QStringLiteral("(untitled)");
            outline::HeadingNode *child = m_headings.findOrAdd(parent, title);
            // Nothing lies under a new heading yet.
            if (m_headings.wasAdded(child))
                m_names.try_emplace(child->key);
            step();
            enter(sub, child);
        }
    }

    // The names under the existing headings that receive bookmarks.
    void readExistingNames()
    {
        if (m_receivers.empty())
            return;
        if (m_receivers.size() <= static_cast<size_t>(kNameQueriesPerHeading)) {
            for (const outline::HeadingNode *h : m_receivers)
                m_names.insert_or_assign(h->key, outline::BookmarkNameSet::read(m_db, h->key));
            return;
        }
        // Heading keys compare as the engine's text does: case folded.
        QHash<QString, QString> wanted;
        for (const outline::HeadingNode *h : m_receivers)
            wanted.insert(h->key.toCaseFolded(), h->key);
        for (const store::BookmarkRow &row : store::BookmarkTable(m_db).allLiveRows()) {
            const auto it = wanted.constFind(row.headingKey.toCaseFolded());
            if (it != wanted.constEnd() && !row.name.isEmpty())
                m_names[*it].insert(row.name);
        }
    }

    void add(store::BookmarkTable &table, const QString &headingKey,
        outline::BookmarkNameSet &names, const ImportedBookmark &b, const QString &today)
    {
        store::BookmarkRow row;
        row.headingKey = headingKey;
        row.link = b.link.trimmed();
        row.name = b.name.trimmed();
        if (row.name.isEmpty())
            row.name = row.link;
        row.date = b.date.isEmpty() ? today : b.date;
        row.description = b.description;
        if (runsWhenOpened(row.link)) {
            row.description
                += (row.description.isEmpty() ? QString() : QStringLiteral("\r\n")) + row.link;
            row.link.clear();
            ++m_result.linksKeptAsText;
        }
        QHash<QString, QString> &given = m_given[headingKey];
        if (names.contains(row.name)) {
            // A bookmark that was there is kept and the new one skipped. Two of
            // one name in the file both come, the second numbered, unless
            // they share the link too.
            const auto it = given.constFind(row.name.toCaseFolded());
            if (it == given.constEnd() || *it == row.link) {
                ++m_result.bookmarksSkipped;
                return;
            }
            row.name = names.uniqueName(row.name);
        }
        table.addPending(row);
        names.insert(row.name);
        given.insert(row.name.toCaseFolded(), row.link);
        ++m_result.bookmarksAdded;
    }

    void step()
    {
        ++m_done;
        if (m_done % kEntriesPerStep == 0) {
            if (m_progress)
                m_progress->setValue(m_done);
            common::yieldToEventLoop();
        }
    }

    store::Database &m_db;
    common::ProgressView *m_progress;
    ImportResult &m_result;
    qint64 m_total = 0;
    qint64 m_done = 0;
    outline::ImportedHeadings m_headings;
    std::vector<const outline::HeadingNode *> m_receivers; // existing, with bookmarks coming
    std::map<QString, outline::BookmarkNameSet> m_names;
    // Per heading: the names this import gave (case folded), with their links.
    std::map<QString, QHash<QString, QString>> m_given;
};

} // namespace

QString dateOfSeconds(qint64 seconds)
{
    constexpr qint64 kDay = 86400;
    constexpr qint64 kLast = 253402214400; // 9999-12-31
    if (seconds <= 0 || seconds > kLast)
        return QString();
    // Asking the time zone is slow and files hold thousands of times: each
    // UTC day's offset is asked once, and a day with a clock change is left
    // to the full conversion.
    static QHash<qint64, std::pair<int, int>> offsets;
    static QHash<qint64, QString> texts;
    const qint64 utcDay = seconds / kDay;
    auto it = offsets.constFind(utcDay);
    if (it == offsets.constEnd()) {
        if (offsets.size() > 100000)
            offsets.clear();
        it = offsets.insert(utcDay,
            {QDateTime::fromSecsSinceEpoch(utcDay * kDay).offsetFromUtc(),
                QDateTime::fromSecsSinceEpoch(utcDay * kDay + kDay - 1).offsetFromUtc()});
    }
    if (it->first != it->second)
        return QDateTime::fromSecsSinceEpoch(seconds).date().toString(Qt::ISODate);
    const qint64 local = seconds + it->first;
    const qint64 localDay = local >= 0 ? local / kDay : (local - kDay + 1) / kDay;
    auto text = texts.constFind(localDay);
    if (text == texts.constEnd()) {
        if (texts.size() > 100000)
            texts.clear();
        text = texts.insert(localDay, QDate(1970, 1, 1).addDays(localDay).toString(Qt::ISODate));
    }
    return *text;
}

qint64 ImportedFolder::entryCount() const
{
    qint64 count = 0;
    std::vector<const ImportedFolder *> pending {this};
    while (!pending.empty()) {
        const ImportedFolder *folder = pending.back();
        pending.pop_back();
        count += static_cast<qint64>(folder->bookmarks.size() + folder->folders.size());
        for (const ImportedFolder &sub : folder->folders)
            pending.push_back(&sub);
    }
    return count;
}

ImportResult importIntoHeading(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, const ReadBookmarks &read, common::ProgressView *progress)
{
    ImportResult result;
    result.problems = read.problems;
    result.error = read.error;
    if (!result.ok())
        return result;
    if (!parent) {
        result.error = QStringLiteral("No heading is selected.");
        return result;
    }
    common::HideProgressAtEnd hide(progress);
    Importer importer(db, tree, progress, result);
    try {
        store::Transaction transaction(db);
        importer.run(parent, read.root);
        transaction.commit();
    } catch (const store::EngineError &e) {
        importer.removeAddedHeadings();
        const QStringList problems = result.problems;
        result = ImportResult();
        result.problems = problems;
        result.error = e.description();
    }
    return result;
}

} // namespace quillet::browsers
