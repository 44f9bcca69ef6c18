// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/outline/BookmarkClipboard.h"
#include "core/outline/BookmarkListModel.h"
#include "core/platform/DescriptionView.h"
#include "core/platform/DesktopServices.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QSet>
#include <functional>

namespace quillet::store {
class Database;
class Document;
} // namespace quillet::store

namespace quillet::outline {

class EditHistory;

// The bookmark list of the main window as logic: which heading is listed,
// which bookmark the description pane shows, the selection, and the
// operations on the listed bookmarks. The view shows `model()` with
// `selection()`; everything here also runs without a window.
class BookmarkList : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        store::Document *document = nullptr;
        BookmarkClipboard *clipboard = nullptr;
        platform::DescriptionView *description = nullptr;
        platform::DesktopServices *desktop = nullptr;
        common::ProgressView *progress = nullptr;
        common::StatusView *status = nullptr;
        std::function<QString()> imageFolder; // folder of attached pictures
        EditHistory *history = nullptr; // each command here is one step of it
    };

    explicit BookmarkList(Services services, QObject *parent = nullptr);

    BookmarkListModel &model() { return m_model; }
    QItemSelectionModel &selection() { return m_selection; }

    QString listedHeading() const { return m_listedHeading; }
    void setListedHeading(const QString &key) { m_listedHeading = key; }
    // The entry whose row the description pane shows; empty for none.
    QString currentBookmark() const { return m_currentBookmark; }

    // Fills the (empty) list with the heading's bookmarks, repairing empty and
    // duplicate keys, and selects `nameToSelect` (the last entry of that exact
    // name) or the first entry.
    void fill(const QString &headingKey, store::Database *db, const QString &nameToSelect = {});
    // Empties the list and blanks the pane.
    void clear();
    // Lists a heading (none when empty) with the entries of `selected` that
    // it still has selected, `current` (else the last of them) focused and
    // shown; the count status follows. Undo and Redo show their state so.
    void showHeading(const QString &headingKey, store::Database *db, const QStringList &selected,
        const QString &current);
    // clear() + fill() + the count status, as every refill does.
    void refill(const QString &headingKey, store::Database *db, const QString &nameToSelect = {});
    void blankDescription();
    void showListStatus(bool withCount);

    // The list's selected item: the focused entry when it is selected.
    int selectedRow() const;
    QString selectedKey() const;
    int selectedCount() const;
    // Keys of the selected entries, in list order.
    QStringList selectedBookmarks() const;
    void selectAll();
    void selectRow(int row, bool scrollTo = true);
    // A click or a key release over the list: the pane follows the selection.
    void syncDescriptionWithSelection();

    void deleteBookmarks(const QString &headingKey, bool refreshDescription);
    void openSelectedBookmarks(const QString &headingKey);
    void openRowLink(int row);
    void viewBookmarkPicture(const QString &headingKey, const QString &entryKey);

    // The main window's key handling: Delete (first press and auto-repeat)
    // and the key-held flag. Returns true when the key was used.
    bool keyPressed(int key, Qt::KeyboardModifiers modifiers);
    void keyReleased(int key);
    bool keyHeld() const { return m_keyHeld; }

    // Shows one row in the description pane and makes it current.
    void showEntry(const QString &key);

    // The bookmark clipboard: Cut and Copy take the selected entries of the
    // listed heading; Paste moves or copies them into `targetHeading`, which
    // the list shows.
    void cutBookmarks(const QString &headingKey);
    void copyBookmarks(const QString &headingKey);
    void pasteBookmarks(const QString &targetHeading);
    // The selected entries dragged onto another heading: always a move; they
    // leave the list and get their keys when that heading is next listed.
    void dropBookmarks(const QString &targetHeading);

Q_SIGNALS:
    // Ask the view to bring a row into sight.
    void scrollToRow(int row);

private:
    store::Database *database() const;
    void takeSelection(BookmarkClipboard::Mode mode, const QString &headingKey);
    QString freshListKey(QSet<QString> &given) const;
    void showSelectedIfNotCurrent();

    Services m_services;
    BookmarkListModel m_model;
    QItemSelectionModel m_selection;
    QString m_listedHeading;
    QString m_currentBookmark;
    bool m_keyHeld = false;
    bool m_pendingRefresh = false;
    bool m_syncQueued = false;
};

} // namespace quillet::outline
