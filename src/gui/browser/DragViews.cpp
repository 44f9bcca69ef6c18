#include "browser/DragViews.h"

#include "browser/HeadingTreeModel.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

namespace quillet::browser {

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kDragMime = QStringLiteral("application/x-quillet-drag");

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
    if (event->mimeData()->hasFormat(kDragMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void HeadingTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasFormat(kDragMime)) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    setHighlight(indexAt(pos));
    m_lastPos = pos;
    const int h = viewport()->height();
    if (pos.y() > 0 && pos.y() < topScrollZone()) {
        m_scrollDirection = -1;
        m_tmrTemp.start();
    } else if (pos.y() > h - bottomScrollZone() && pos.y() < h) {
        m_scrollDirection = 1;
        m_tmrTemp.start();
    } else {
        m_tmrTemp.stop();
    }
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
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onDrop)
        onDrop(target);
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
    setDragDropMode(QAbstractItemView::DragOnly);
}

void BookmarkListView::startDrag(Qt::DropActions supportedActions)
{
    if (m_drag) {
        m_drag->kind = DragKind::Bookmarks;
        m_drag->sourceHeading = m_listedHeading ? m_listedHeading() : QString();
    }
    runDrag(this, supportedActions | Qt::CopyAction | Qt::MoveAction);
}

} // namespace quillet::browser
