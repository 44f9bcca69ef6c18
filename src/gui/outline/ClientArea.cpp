// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/outline/ClientArea.h"

#include "core/settings/Settings.h"

#include <QMouseEvent>
#include <QPalette>

namespace quillet::outline {

// A splitter bar: reports left-button presses, moves and releases to its
// area in twips relative to itself.
class SplitterBar : public QWidget
{
public:
    SplitterBar(Qt::Orientation orientation, ClientArea *area)
        : QWidget(area)
        , m_area(area)
    {
        // Vertical bar (drgV) between tree and list, horizontal (drgH)
        // between list and pane.
        setCursor(orientation == Qt::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_area->splitterPressed(this, twips(event));
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (event->buttons() & Qt::LeftButton)
            m_area->splitterMoved(this, twips(event));
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_area->splitterReleased(this);
    }

private:
    static QPoint twips(const QMouseEvent *event)
    {
        const QPoint p = event->position().toPoint();
        return QPoint(toTwips(p.x()), toTwips(p.y()));
    }

    ClientArea *m_area;
};

ClientArea::ClientArea(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picClient"));
    m_drgV = new SplitterBar(Qt::Vertical, this);
    m_drgV->setObjectName(QStringLiteral("drgV"));
    m_drgH = new SplitterBar(Qt::Horizontal, this);
    m_drgH->setObjectName(QStringLiteral("drgH"));
    m_ghost = new QWidget(this);
    m_ghost->setObjectName(QStringLiteral("picGhost"));
    m_ghost->setAutoFillBackground(true);
    QPalette ghostPalette = m_ghost->palette();
    ghostPalette.setColor(QPalette::Window, palette().color(QPalette::Dark));
    m_ghost->setPalette(ghostPalette);
    m_ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_ghost->hide();
}

QWidget *ClientArea::verticalSplitter() const
{
    return m_drgV;
}

QWidget *ClientArea::horizontalSplitter() const
{
    return m_drgH;
}

void ClientArea::setPanes(QWidget *tree, QWidget *list, QWidget *pane)
{
    m_tree = tree;
    m_list = list;
    m_pane = pane;
    for (QWidget *widget : {tree, list, pane})
        widget->setParent(this);
    // drgH reaches under the list's bottom edge: the bars lie behind the
    // panes, the ghost in front of everything.
    m_drgV->lower();
    m_drgH->lower();
    m_ghost->raise();
    relayout();
}

void ClientArea::setSettings(WindowSettings *settings)
{
    m_settings = settings;
    relayout();
}

void ClientArea::relayout()
{
    if (!m_settings || !m_list || (window() && window()->isMinimized()))
        return;
    m_layout = layoutClient(twipsSize(), *m_settings);
    apply();
}

void ClientArea::apply()
{
    const bool tree = m_layout.treeShown;
    const bool pane = m_layout.descriptionShown;
    m_tree->setVisible(tree);
    m_drgV->setVisible(tree);
    m_pane->setVisible(pane);
    m_drgH->setVisible(pane);
    if (tree) {
        m_tree->setGeometry(toPixels(m_layout.tree));
        m_drgV->setGeometry(toPixels(m_layout.vSplitter));
    }
    if (pane) {
        m_drgH->setGeometry(toPixels(m_layout.hSplitter));
        m_pane->setGeometry(toPixels(m_layout.pane));
    }
    m_list->setGeometry(toPixels(m_layout.list));
}

void ClientArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void ClientArea::splitterPressed(SplitterBar *bar, QPoint twips)
{
    m_dragging = bar;
    m_ghostRect = bar == m_drgV ? verticalGhostAtPress(m_layout.vSplitter, twips.x())
                                : horizontalGhostAtPress(m_layout.hSplitter, twips.y());
    m_ghost->setGeometry(toPixels(m_ghostRect));
    m_ghost->raise();
    m_ghost->show();
}

void ClientArea::splitterMoved(SplitterBar *bar, QPoint twips)
{
    if (bar != m_dragging)
        return;
    const QSize room = twipsSize();
    if (bar == m_drgV)
        m_ghostRect.moveLeft(verticalGhostLeft(m_layout.vSplitter, twips.x(), room.width()));
    else
        m_ghostRect.moveTop(horizontalGhostTop(m_layout.hSplitter, twips.y(), room.height()));
    m_ghost->setGeometry(toPixels(m_ghostRect));
}

void ClientArea::splitterReleased(SplitterBar *bar)
{
    if (bar != m_dragging)
        return;
    m_dragging = nullptr;
    const QSize room = twipsSize();
    if (bar == m_drgV) {
        const int width = dropVerticalSplitter(m_layout, m_ghostRect.left(), room.width());
        if (m_settings)
            m_settings->vPosition = width;
    } else {
        const int height = dropHorizontalSplitter(m_layout, m_ghostRect.top(), room.height());
        if (m_settings)
            m_settings->hPosition = height;
    }
    apply();
    m_ghost->hide();
}

} // namespace quillet::outline
