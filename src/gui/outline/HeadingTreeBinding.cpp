// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/outline/HeadingTreeBinding.h"

#include "core/outline/HeadingWalk.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBinding.h"
#include "gui/editors/HeadingDialog.h"
#include "gui/widgets/HeadingIcons.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTreeView>

namespace quillet::outline {

namespace {

// Runs `work` with the widget's redrawing switched off.
template<typename Work> void frozen(QWidget *widget, Work work)
{
    const bool wasEnabled = widget && widget->updatesEnabled();
    if (wasEnabled)
        widget->setUpdatesEnabled(false);
    struct Thaw
    {
        QWidget *widget;
        bool enable;
        ~Thaw()
        {
            if (enable)
                widget->setUpdatesEnabled(true);
        }
    } thaw {widget, wasEnabled};
    work();
}

} // namespace

HeadingTreeBinding::HeadingTreeBinding(
    QTreeView *tree, QAbstractItemView *list, Workspace &workspace, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_list(list)
    , m_ws(workspace)
{
    HeadingTreeModel &model = m_ws.tree();
    m_tree->setItemDelegate(new widgets::HeadingIconDelegate(m_tree));
    m_tree->setIconSize(QSize(16, 16));

    // Selecting only makes a heading current; listing waits for the click or
    // the key release, so arrow keys held down do not refill the list.
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](
            const QModelIndex &current) { m_ws.tree().setCurrent(m_ws.tree().nodeAt(current)); });
    m_tree->installEventFilter(this);
    // Kept: the filter also sees the viewport's last events while the view
    // is being destroyed, when asking the view for its viewport is unsafe.
    m_viewport = m_tree->viewport();
    m_viewport->installEventFilter(this);

    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        m_ws.tree().setExpanded(m_ws.tree().nodeAt(index), true);
    });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        m_ws.tree().setExpanded(m_ws.tree().nodeAt(index), false);
    });
    connect(&model, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &topLeft, const QModelIndex &, const QList<int> &roles) {
            if (roles.isEmpty() || roles.contains(HeadingTreeModel::ExpandedRole))
                followModelExpansion(topLeft);
        });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        for (const auto &top : m_ws.tree().topLevel())
            expandFlaggedHeadings(top.get());
    });
}

void HeadingTreeBinding::followModelExpansion(const QModelIndex &index)
{
    const HeadingNode *node = m_ws.tree().nodeAt(index);
    if (node && m_tree->isExpanded(index) != node->expanded)
        m_tree->setExpanded(index, node->expanded);
}

void HeadingTreeBinding::expandFlaggedHeadings(const HeadingNode *node)
{
    for (HeadingWalk walk(node); walk.next();) {
        if (walk.node()->expanded)
            m_tree->expand(m_ws.tree().indexOf(walk.node()));
    }
}

bool HeadingTreeBinding::eventFilter(QObject *watched, QEvent *event)
{
    const bool click = watched == m_viewport && event->type() == QEvent::MouseButtonRelease;
    const bool keyUp = watched == m_tree && event->type() == QEvent::KeyRelease
        && !static_cast<QKeyEvent *>(event)->isAutoRepeat();
    if (click || keyUp)
        listCurrentHeading(m_ws, m_list);
    return QObject::eventFilter(watched, event);
}

void listCurrentHeading(Workspace &workspace, QAbstractItemView *list)
{
    commands::reportEngineErrors(
        workspace, [&] { frozen(list, [&] { HeadingOperations(workspace).treeClicked(); }); });
}

void moveSelectedHeading(Workspace &workspace, QTreeView *tree, HeadingMove direction)
{
    frozen(tree, [&] { HeadingOperations(workspace).moveHeading(direction); });
}

void deleteSelectedHeading(Workspace &workspace, QTreeView *tree, QAbstractItemView *list)
{
    frozen(tree, [&] { HeadingOperations(workspace).deleteHeading(); });
    listCurrentHeading(workspace, list);
}

void showHeadingEditor(Workspace &workspace, bool editMode, QWidget *parent)
{
    editors::HeadingDialog::run(workspace, editMode, parent);
}

} // namespace quillet::outline
