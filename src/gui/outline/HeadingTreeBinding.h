// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/outline/HeadingOperations.h"

#include <QObject>

class QAbstractItemView;
class QTreeView;
class QWidget;

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {

// Ties treContent to the workspace's heading tree: the view's current row is
// the current heading, a click or a released key lists it, expanded flags
// follow the view both ways, and each heading shows its picture.
class HeadingTreeBinding : public QObject
{
    Q_OBJECT
public:
    HeadingTreeBinding(
        QTreeView *tree, QAbstractItemView *list, Workspace &workspace, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followModelExpansion(const QModelIndex &index);
    void expandFlaggedHeadings(const HeadingNode *node);

    QTreeView *m_tree;
    QObject *m_viewport = nullptr;
    QAbstractItemView *m_list;
    Workspace &m_ws;
};

// The toolbox commands on the heading tree.
void moveSelectedHeading(Workspace &workspace, QTreeView *tree, HeadingMove direction);
void deleteSelectedHeading(Workspace &workspace, QTreeView *tree, QAbstractItemView *list);
// The click handling: lists the current heading unless it is listed already,
// with the list's redrawing frozen while it refills.
void listCurrentHeading(Workspace &workspace, QAbstractItemView *list);
// miNAddHead and miNEdit: the heading editor in add or edit mode.
void showHeadingEditor(Workspace &workspace, bool editMode, QWidget *parent);

} // namespace quillet::outline
