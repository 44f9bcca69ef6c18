// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/DragAndDrop.h"

class QMimeData;

#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>
#include <functional>

namespace quillet::outline {

// treContent as a drop target: the heading under the pointer is highlighted
// while something is dragged over it, the view scrolls near its top and
// bottom edges, and a drop hands the heading's key to `onDrop`. A press
// makes the pressed heading the source of a heading drag.
// Cut, Copy and Paste are the window's commands on bookmarks, also while a
// view has the focus (item views would otherwise keep Ctrl+C for copying
// cell text).
bool leaveEditKeysToWindow(QEvent *event);

class HeadingTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit HeadingTreeView(DragState *drag, QWidget *parent = nullptr);

    std::function<void(const QString &targetKey)> onDrop;
    // Links dragged in from another program, dropped on heading `targetKey`.
    std::function<void(const QString &targetKey, const QMimeData &data)> onLinksDropped;
    QModelIndex dropHighlight() const { return m_highlight; }
    // The scroll zones, in pixels from the top and bottom edges.
    static int topScrollZone();
    static int bottomScrollZone();

protected:
    // Keys move the current heading into sight; auto-scroll, which would do
    // that, is off because it would also scroll during drags.
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    bool event(QEvent *event) override;

private:
    void setHighlight(const QModelIndex &index);
    void scrollTick();
    QString keyAt(const QPoint &pos) const;

    DragState *m_drag;
    bool m_foreign = false; // the drag brings links from another program
    QPersistentModelIndex m_highlight;
    QPoint m_lastPos;
    int m_scrollDirection = 0;
    QTimer m_tmrTemp;
};

// lvwBookmark as a drag source: a drag carries the selected bookmarks of the
// listed heading (the data moved is the program's own state). Links dragged
// in from other programs may be dropped on it; its own drags may not.
class BookmarkListView : public QTreeView
{
    Q_OBJECT
public:
    BookmarkListView(
        DragState *drag, std::function<QString()> listedHeading, QWidget *parent = nullptr);

    // Links from another program dropped on the list (its listed heading).
    std::function<void(const QMimeData &data)> onLinksDropped;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    DragState *m_drag;
    std::function<QString()> m_listedHeading;
};

} // namespace quillet::outline
