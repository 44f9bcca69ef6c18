// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/outline/DragViews.h"

#include "core/outline/HeadingTreeModel.h"
#include "core/outline/LinkMimeData.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

namespace quillet::outline {

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kDragMime = ownDragFormat();

// Another program's drag that holds links (refused ones too: dropping them
// tells why nothing came).
bool bringsLinks(const QMimeData *data)
{
    return data && !readIncomingLinks(*data).isEmpty();
}

// A drop of links copies: the other program keeps what it gave.
void acceptCopy(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

// The moving data is the program's own state; the drag object only marks
// the gesture as one of ours.
void runDrag(QWidget *source, Qt::DropActions actions)
{
    auto *drag = new QDrag(source);
    auto *data = new QMimeData;
    data->setData(kDragMime, QByteArray());
    drag->setMimeData(data);
    drag->exec(actions, Qt::MoveAction);
}

} // namespace

bool leaveEditKeysToWindow(QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut)
        || key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return true;
    }
    return false;
}

bool HeadingTreeView::event(QEvent *event)
{
    if (leaveEditKeysToWindow(event))
        return false;
    return QTreeView::event(event);
}

bool BookmarkListView::event(QEvent *event)
{
    if (leaveEditKeysToWindow(event))
        return false;
    return QTreeView::event(event);
}

HeadingTreeView::HeadingTreeView(DragState *drag, QWidget *parent)
    : QTreeView(parent)
    , m_drag(drag)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setAutoScroll(false); // scrolling while dragging follows our own zones
    m_tmrTemp.setParent(this); // findable by name, like the window's other parts
    m_tmrTemp.setObjectName(QStringLiteral("tmrTemp"));
    m_tmrTemp.setInterval(100);
    connect(&m_tmrTemp, &QTimer::timeout, this, &HeadingTreeView::scrollTick);
}

int HeadingTreeView::topScrollZone()
{
    return 100 / kTwipsPerPixel;
}

int HeadingTreeView::bottomScrollZone()
{
    return 200 / kTwipsPerPixel;
}

QString HeadingTreeView::keyAt(const QPoint &pos) const
{
    return indexAt(pos).data(HeadingTreeModel::KeyRole).toString();
}

void HeadingTreeView::setHighlight(const QModelIndex &index)
{
    if (m_highlight == index)
        return;
    m_highlight = index;
    viewport()->update();
}

void HeadingTreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    if (current.isValid() && state() != DraggingState && !m_tmrTemp.isActive())
        scrollTo(current);
}

void HeadingTreeView::mousePressEvent(QMouseEvent *event)
{
    // A highlight left over from a drag is cleared by the next press, which
    // does nothing else.
    if (m_highlight.isValid()) {
        setHighlight({});
        return;
    }
    QTreeView::mousePressEvent(event);
    const QString key = keyAt(event->position().toPoint());
    if (!key.isEmpty() && m_drag) {
        m_drag->kind = DragKind::Heading;
        m_drag->sourceHeading = key;
    }
}

void HeadingTreeView::startDrag(Qt::DropActions supportedActions)
{
    if (!currentIndex().isValid())
        return;
    runDrag(this, supportedActions | Qt::CopyAction | Qt::MoveAction);
}

void HeadingTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    m_foreign = false;
    if (event->mimeData()->hasFormat(kDragMime)) {
        event->acceptProposedAction();
    } else if (bringsLinks(event->mimeData())) {
        m_foreign = true;
        acceptCopy(event);
    } else {
        event->ignore();
    }
}

void HeadingTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!m_foreign && !event->mimeData()->hasFormat(kDragMime)) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    setHighlight(indexAt(pos));
    m_lastPos = pos;
    const int h = viewport()->height();
    int direction = 0;
    if (pos.y() > 0 && pos.y() < topScrollZone())
        direction = -1;
    else if (pos.y() > h - bottomScrollZone() && pos.y() < h)
        direction = 1;
    m_scrollDirection = direction;
    // Restarting at every move would hold a slowly moving drag still: the
    // timer keeps ticking while the pointer stays in a zone.
    if (direction == 0)
        m_tmrTemp.stop();
    else if (!m_tmrTemp.isActive())
        m_tmrTemp.start();
    if (m_foreign)
        acceptCopy(event);
    else
        event->acceptProposedAction();
}

void HeadingTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setHighlight({});
    m_tmrTemp.stop();
    event->accept();
}

void HeadingTreeView::scrollTick()
{
    setHighlight(indexAt(m_lastPos));
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->value() + m_scrollDirection * bar->singleStep());
}

void HeadingTreeView::dropEvent(QDropEvent *event)
{
    m_tmrTemp.stop();
    const QString target = keyAt(event->position().toPoint());
    // Our own data decides what moves; the view must not remove anything.
    acceptCopy(event);
    if (event->mimeData()->hasFormat(kDragMime)) {
        if (onDrop)
            onDrop(target);
    } else if (!target.isEmpty() && onLinksDropped) {
        onLinksDropped(target, *event->mimeData());
    }
    m_foreign = false;
    setHighlight({});
}

void HeadingTreeView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    if (!m_highlight.isValid())
        return;
    QPainter painter(viewport());
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlpha(90);
    const QRect rect = visualRect(m_highlight).adjusted(0, 0, -1, -1);
    painter.fillRect(rect, fill);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect);
}

BookmarkListView::BookmarkListView(
    DragState *drag, std::function<QString()> listedHeading, QWidget *parent)
    : QTreeView(parent)
    , m_drag(drag)
    , m_listedHeading(std::move(listedHeading))
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
}

void BookmarkListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasFormat(kDragMime) && bringsLinks(event->mimeData()))
        acceptCopy(event);
    else
        event->ignore();
}

void BookmarkListView::dragMoveEvent(QDragMoveEvent *event)
{
    // Accepted at the enter; anywhere on the list is the listed heading.
    if (event->mimeData()->hasFormat(kDragMime))
        event->ignore();
    else
        acceptCopy(event);
}

void BookmarkListView::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasFormat(kDragMime)) {
        event->ignore();
        return;
    }
    acceptCopy(event);
    if (onLinksDropped)
        onLinksDropped(*event->mimeData());
}

void BookmarkListView::startDrag(Qt::DropActions supportedActions)
{
    if (m_drag) {
        m_drag->kind = DragKind::Bookmarks;
        m_drag->sourceHeading = m_listedHeading ? m_listedHeading() : QString();
    }
    runDrag(this, supportedActions | Qt::CopyAction | Qt::MoveAction);
}

} // namespace quillet::outline
