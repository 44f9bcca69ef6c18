// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/BookmarkList.h"

#include "core/common/Strings.h"
#include "core/outline/BookmarkClipboard.h"
#include "core/outline/BookmarkTransfer.h"
#include "core/outline/EditHistory.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Document.h"
#include "core/store/RandomNumbers.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <optional>

namespace quillet::outline {

namespace {
constexpr int kProgressThreshold = 100;
}

BookmarkList::BookmarkList(Services services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_selection(&m_model)
{
    // The pane follows the selection whatever changed it (a click on empty
    // space, Ctrl+click, a command). Checked once the change is complete,
    // so the commands that show an entry themselves are not shown twice;
    // while a key is held the pane waits for its release.
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncQueued)
            return;
        m_syncQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_syncQueued = false;
                if (!m_keyHeld)
                    syncDescriptionWithSelection();
            },
            Qt::QueuedConnection);
    });
}

store::Database *BookmarkList::database() const
{
    return m_services.document ? m_services.document->database() : nullptr;
}

void BookmarkList::fill(const QString &headingKey, store::Database *db, const QString &nameToSelect)
{
    if (!db)
        return;
    m_listedHeading = headingKey;
    store::BookmarkTable bookmarks(*db);
    std::vector<store::ListedRow> rows = bookmarks.listedRows(headingKey);
    if (rows.empty()) {
        blankDescription();
        m_currentBookmark.clear();
        return;
    }
    const int n = static_cast<int>(rows.size());
    common::ProgressView *progress = m_services.progress;
    if (progress) {
        progress->setMaximum(n);
        progress->setVisible(n > kProgressThreshold);
    }

    std::vector<BookmarkEntry> entries;
    entries.reserve(static_cast<size_t>(n));
    QSet<QString> keys;
    keys.reserve(n);
    QString keyToSelect;
    // Key repairs are written at once, all of them together.
    std::optional<store::Transaction> repairs;
    int counter = 1;
    for (store::ListedRow &row : rows) {
        if (progress)
            progress->setValue(counter++);
        BookmarkEntry entry;
        entry.key = std::move(row.key);
        if (entry.key.isEmpty() || keys.contains(entry.key)) {
            entry.key = store::assignRandomKey([&](const QString &k) { return !keys.contains(k); });
            // A document open for viewing keeps the key in the list only.
            if (!db->isReadOnly()) {
                if (!repairs)
                    repairs.emplace(*db);
                bookmarks.setListKey(row.id, entry.key);
            }
        }
        keys.insert(entry.key);
        entry.name = std::move(row.name);
        entry.link = std::move(row.link);
        entry.date = std::move(row.date);
        if (!nameToSelect.isNull() && entry.name == nameToSelect)
            keyToSelect = entry.key;
        entries.push_back(std::move(entry));
    }
    if (repairs)
        repairs->commit();
    rows.clear();

    m_model.setEntries(std::move(entries));
    m_selection.clear();
    const int row = keyToSelect.isEmpty() ? 0 : m_model.rowOfKey(keyToSelect);
    selectRow(row, !keyToSelect.isEmpty());
    m_currentBookmark.clear();
    showEntry(m_model.entry(row).key);
    if (progress)
        progress->setVisible(false);
}

void BookmarkList::clear()
{
    m_selection.clear();
    m_model.clear();
    blankDescription();
}

void BookmarkList::refill(
    const QString &headingKey, store::Database *db, const QString &nameToSelect)
{
    clear();
    fill(headingKey, db, nameToSelect);
    showListStatus(true);
}

void BookmarkList::showHeading(const QString &headingKey, store::Database *db,
    const QStringList &selected, const QString &current)
{
    clear();
    m_listedHeading = headingKey;
    m_currentBookmark.clear();
    if (!headingKey.isEmpty())
        fill(headingKey, db);
    QList<int> rows;
    for (const QString &key : selected) {
        const int row = m_model.rowOfKey(key);
        if (row >= 0)
            rows << row;
    }
    if (!rows.isEmpty()) {
        std::sort(rows.begin(), rows.end());
        // Runs of neighbouring rows make one range each.
        QItemSelection selection;
        for (qsizetype i = 0; i < rows.size();) {
            qsizetype j = i;
            while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
                ++j;
            selection.select(m_model.index(rows[i], 0),
                m_model.index(rows[j], BookmarkListModel::ColumnCount - 1));
            i = j + 1;
        }
        int focus = m_model.rowOfKey(current);
        if (focus < 0 || !std::binary_search(rows.cbegin(), rows.cend(), focus))
            focus = rows.last();
        m_selection.setCurrentIndex(m_model.index(focus, 0), QItemSelectionModel::NoUpdate);
        m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
        Q_EMIT scrollToRow(focus);
        m_currentBookmark.clear();
        showEntry(m_model.entry(focus).key);
    } else if (m_model.count() > 0) {
        // Nothing was selected then.
        m_selection.clear();
        m_currentBookmark.clear();
        blankDescription();
    }
    showListStatus(true);
}

void BookmarkList::blankDescription()
{
    if (m_services.description)
        m_services.description->blank();
}

void BookmarkList::showListStatus(bool withCount)
{
    if (!m_services.status)
        return;
    m_services.status->setStatusText(withCount
            ? QStringLiteral("Status: Idle - %1 bookmarks found.").arg(m_model.count())
            : QString::fromLatin1(strings::kStatusIdle));
}

int BookmarkList::selectedRow() const
{
    const QModelIndex current = m_selection.currentIndex();
    if (current.isValid() && m_selection.isRowSelected(current.row(), {}))
        return current.row();
    return -1;
}

QString BookmarkList::selectedKey() const
{
    const int row = selectedRow();
    return row >= 0 ? m_model.entry(row).key : QString();
}

int BookmarkList::selectedCount() const
{
    return static_cast<int>(m_selection.selectedRows().size());
}

QStringList BookmarkList::selectedBookmarks() const
{
    if (m_model.count() == 0 || !m_selection.hasSelection())
        return {}; // every edit asks (for its undo step): the common case is quick
    QList<int> rows;
    for (const QModelIndex &index : m_selection.selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList keys;
    keys.reserve(rows.size());
    for (int row : rows)
        keys << m_model.entry(row).key;
    return keys;
}

void BookmarkList::selectAll()
{
    if (m_model.count() == 0)
        return;
    const QItemSelection all(m_model.index(0, 0),
        m_model.index(m_model.count() - 1, BookmarkListModel::ColumnCount - 1));
    m_selection.select(all, QItemSelectionModel::Select);
}

void BookmarkList::selectRow(int row, bool scrollTo)
{
    if (row < 0 || row >= m_model.count())
        return;
    m_selection.setCurrentIndex(
        m_model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (scrollTo)
        Q_EMIT scrollToRow(row);
}

void BookmarkList::showEntry(const QString &key)
{
    store::Database *db = database();
    if (!db || key.isEmpty())
        return;
    m_currentBookmark = key;
    if (!m_services.description)
        return;
    if (const auto row = store::BookmarkTable(*db).findLive(m_listedHeading, key))
        m_services.description->showBookmark(*row);
    else
        m_services.description->blank();
}

void BookmarkList::syncDescriptionWithSelection()
{
    if (m_listedHeading.isEmpty())
        return;
    const QString key = selectedKey();
    if (!key.isEmpty()) {
        if (key != m_currentBookmark)
            showEntry(key);
    } else if (!m_currentBookmark.isEmpty()) {
        blankDescription();
        m_currentBookmark.clear();
    }
}

void BookmarkList::deleteBookmarks(const QString &headingKey, bool refreshDescription)
{
    store::Database *db = database();
    if (headingKey.isEmpty() || !db || selectedCount() == 0)
        return;
    const QStringList keys = selectedBookmarks();
    const EditHistory::Scope step(m_services.history,
        keys.size() == 1 ? QStringLiteral("Delete bookmark") : QStringLiteral("Delete bookmarks"));
    if (m_services.clipboard)
        m_services.clipboard->clear();
    const int firstRow = m_model.rowOfKey(keys.first());

    // One pass over the heading's rows; all or nothing.
    {
        const QSet<QString> doomed(keys.cbegin(), keys.cend());
        store::Transaction transaction(*db);
        store::BookmarkTable bookmarks(*db);
        for (const store::BookmarkRow &row : bookmarks.liveRows(headingKey)) {
            if (doomed.contains(row.key))
                bookmarks.remove({row.id, row.state});
        }
        transaction.commit();
    }
    for (const QString &key : keys)
        m_model.removeKey(key);

    // The entry that moved up into the first deleted place is selected next.
    if (m_model.count() > 0) {
        const int row = qMin(firstRow, m_model.count() - 1);
        selectRow(row, true);
        const QString key = m_model.entry(row).key;
        if (refreshDescription)
            showEntry(key);
        else
            m_currentBookmark = key;
    } else {
        m_currentBookmark.clear();
        blankDescription();
    }
    if (m_services.document)
        m_services.document->setModified(true);
    showListStatus(true);
}

void BookmarkList::openSelectedBookmarks(const QString &headingKey)
{
    common::yieldToEventLoop();
    if (headingKey.isEmpty() || selectedCount() == 0 || !m_services.desktop)
        return;
    QList<int> rows;
    for (const QModelIndex &index : m_selection.selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    for (int row : rows)
        openRowLink(row);
}

void BookmarkList::openRowLink(int row)
{
    if (row < 0 || row >= m_model.count() || !m_services.desktop)
        return;
    const QString link = m_model.entry(row).link;
    if (!link.isEmpty())
        m_services.desktop->openLink(link);
}

void BookmarkList::viewBookmarkPicture(const QString &headingKey, const QString &entryKey)
{
    store::Database *db = database();
    if (headingKey.isEmpty() || entryKey.isEmpty() || !db || !m_services.desktop)
        return;
    const auto row
        = store::BookmarkTable(*db).findLive(headingKey, entryKey, store::Thumbnail::Skip);
    if (!row)
        return;
    const QString file = row->pictureFile;
    if (file.isEmpty() || !m_services.imageFolder)
        return;
    const QString path = m_services.imageFolder() + QLatin1Char('/') + file;
    if (!QFileInfo(path).isFile())
        return;
    m_services.desktop->openFile(path);
}

bool BookmarkList::keyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    bool used = false;
    if (key == Qt::Key_Delete && m_model.count() > 0) {
        if (!m_keyHeld) {
            deleteBookmarks(m_listedHeading, true);
        } else {
            // Held down: delete on, and bring the pane up to date at release.
            deleteBookmarks(m_listedHeading, false);
            m_pendingRefresh = true;
        }
        used = true;
    }
    m_keyHeld = true;
    return used;
}

void BookmarkList::keyReleased(int key)
{
    if (key != Qt::Key_Delete)
        return;
    m_keyHeld = false;
    if (!m_pendingRefresh || m_listedHeading.isEmpty())
        return;
    m_pendingRefresh = false;
    const QString selected = selectedKey();
    if (!selected.isEmpty()) {
        showEntry(selected);
    } else {
        blankDescription();
        m_currentBookmark.clear();
    }
}

void BookmarkList::takeSelection(BookmarkClipboard::Mode mode, const QString &headingKey)
{
    BookmarkClipboard *clipboard = m_services.clipboard;
    if (!clipboard)
        return;
    clipboard->clear();
    if (headingKey.isEmpty() || selectedCount() == 0)
        return;
    clipboard->take(mode, headingKey, selectedBookmarks());
}

void BookmarkList::cutBookmarks(const QString &headingKey)
{
    takeSelection(BookmarkClipboard::Mode::Cut, headingKey);
}

void BookmarkList::copyBookmarks(const QString &headingKey)
{
    takeSelection(BookmarkClipboard::Mode::Copy, headingKey);
}

QString BookmarkList::freshListKey(QSet<QString> &given) const
{
    const QString key = store::assignRandomKey(
        [&](const QString &k) { return !m_model.containsKey(k) && !given.contains(k); });
    given.insert(key);
    return key;
}

void BookmarkList::showSelectedIfNotCurrent()
{
    const QString key = selectedKey();
    if (!key.isEmpty() && key != m_currentBookmark)
        showEntry(key);
}

void BookmarkList::pasteBookmarks(const QString &targetHeading)
{
    BookmarkClipboard *clipboard = m_services.clipboard;
    store::Database *db = database();
    if (!clipboard || clipboard->isEmpty() || targetHeading.isEmpty() || !db)
        return;
    const bool cut = clipboard->mode() == BookmarkClipboard::Mode::Cut;
    if (cut && clipboard->sourceHeading() == targetHeading) {
        clipboard->clear(); // a cut pasted where it came from moves nothing
        return;
    }
    const EditHistory::Scope step(m_services.history,
        clipboard->keys().size() == 1 ? QStringLiteral("Paste bookmark")
                                      : QStringLiteral("Paste bookmarks"));
    QSet<QString> given;
    // All or nothing: a paste that fails leaves every row as it was.
    const QList<TransferredBookmark> arrived
        = transferBookmarks(*db, clipboard->sourceHeading(), clipboard->keys(), targetHeading,
            cut ? TransferKind::Move : TransferKind::Copy, [&] { return freshListKey(given); });
    std::vector<BookmarkEntry> entries;
    entries.reserve(static_cast<size_t>(arrived.size()));
    for (const TransferredBookmark &b : arrived)
        entries.push_back({b.key, b.name, b.link, b.date});
    m_model.addEntries(std::move(entries));
    // Each arrival is selected in turn; the last one stays selected.
    if (!arrived.isEmpty())
        selectRow(m_model.rowOfKey(arrived.last().key), true);
    if (m_services.document && !arrived.isEmpty())
        m_services.document->setModified(true);
    if (cut)
        clipboard->clear();
    showSelectedIfNotCurrent();
    showListStatus(true);
}

void BookmarkList::dropBookmarks(const QString &targetHeading)
{
    store::Database *db = database();
    if (!db || targetHeading.isEmpty() || targetHeading == m_listedHeading || selectedCount() == 0)
        return;
    const QStringList keys = selectedBookmarks();
    const EditHistory::Scope step(m_services.history,
        keys.size() == 1 ? QStringLiteral("Move bookmark") : QStringLiteral("Move bookmarks"));
    if (m_services.clipboard)
        m_services.clipboard->clear();
    const int firstRow = m_model.rowOfKey(keys.first());
    const QList<TransferredBookmark> moved
        = transferBookmarks(*db, m_listedHeading, keys, targetHeading, TransferKind::Move, {});
    for (const TransferredBookmark &b : moved)
        m_model.removeKey(b.sourceKey);
    if (m_model.count() > 0) {
        selectRow(qMin(firstRow, m_model.count() - 1), true);
        showEntry(selectedKey());
    } else {
        m_currentBookmark.clear();
        blankDescription();
    }
    showListStatus(true);
    if (m_services.document)
        m_services.document->setModified(true);
}

} // namespace quillet::outline
