// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/ClientLayout.h"

#include <QWidget>

namespace quillet {
struct WindowSettings;
}

namespace quillet::outline {

class SplitterBar;

// picClient: holds the heading tree, the bookmark list and the description
// pane and places them by ClientLayout whenever its size or the view
// settings change. Its two splitter bars drgV and drgH move a ghost bar
// while dragged and store the new place in vPosition / hPosition when the
// button goes up.
class ClientArea : public QWidget
{
    Q_OBJECT
public:
    explicit ClientArea(QWidget *parent = nullptr);

    // The three panes become children of the area.
    void setPanes(QWidget *tree, QWidget *list, QWidget *pane);
    // The settings the layout reads (splitter places, Panel, Descrip) and the
    // splitters write; nothing is laid out before they are set.
    void setSettings(WindowSettings *settings);

    QWidget *verticalSplitter() const;
    QWidget *horizontalSplitter() const;
    QWidget *ghostBar() const { return m_ghost; }
    // The places last applied, in twips.
    const ClientLayout &currentLayout() const { return m_layout; }

    // Client resize handling: places everything again from the settings.
    void relayout();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class SplitterBar;
    void splitterPressed(SplitterBar *bar, QPoint twips);
    void splitterMoved(SplitterBar *bar, QPoint twips);
    void splitterReleased(SplitterBar *bar);
    void apply();
    QSize twipsSize() const { return toTwips(size()); }

    WindowSettings *m_settings = nullptr;
    QWidget *m_tree = nullptr;
    QWidget *m_list = nullptr;
    QWidget *m_pane = nullptr;
    SplitterBar *m_drgV = nullptr;
    SplitterBar *m_drgH = nullptr;
    QWidget *m_ghost = nullptr;
    QRect m_ghostRect; // twips
    SplitterBar *m_dragging = nullptr;
    ClientLayout m_layout;
};

} // namespace quillet::outline
