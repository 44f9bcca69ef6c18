// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/DuplicatesDialog.h"

#include "core/outline/Workspace.h"
#include "gui/commands/CommandBinding.h"
#include "gui/widgets/FrozenUpdates.h"
#include "gui/widgets/SearchWidgets.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillet::search {

DuplicatesDialog::DuplicatesDialog(
    outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent)
    : QDialog(parent)
    , m_ws(workspace)
    , m_mainList(mainList)
    , m_scan(workspace)
{
    setObjectName(QStringLiteral("frmDups"));
    setWindowTitle(widgets::searchCaption());
    buildWindow();
}

void DuplicatesDialog::buildWindow()
{
    m_scan.model().setIcon(style()->standardIcon(QStyle::SP_DirLinkIcon));

    m_waitLabel = new QLabel(QStringLiteral("Please wait a moment..."), this);
    m_waitLabel->setObjectName(QStringLiteral("lblPro"));
    m_waitLabel->hide();
    m_duplicateList = widgets::makeReportList("lvwDups", &m_scan.model(), 3000, 5000, this);
    m_duplicateList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The pointer turns into a hand over the group rows.
    m_duplicateList->setMouseTracking(true);
    m_duplicateList->viewport()->installEventFilter(this);

    m_startButton = widgets::makeButton(QStringLiteral("&Start scan"), "cmdStart", this);
    m_deleteButton = widgets::makeButton(QStringLiteral("&Delete"), "cmdDelete", this);
    m_exitButton = widgets::makeButton(QStringLiteral("&Exit"), "cmdExit", this);
    QHBoxLayout *buttons = widgets::makeButtonRow({m_startButton, m_deleteButton, m_exitButton});
    buttons->insertWidget(0, m_waitLabel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(widgets::makeBanner(QStringLiteral("Scan for duplicates"), this));
    layout->addWidget(m_duplicateList, 1);
    layout->addLayout(buttons);

    connect(&m_scan, &DuplicateScan::fillingChanged, m_waitLabel, &QWidget::setVisible);
    connect(m_startButton, &QPushButton::clicked, this, &DuplicatesDialog::startScan);
    connect(m_deleteButton, &QPushButton::clicked, this, &DuplicatesDialog::deleteSelected);
    widgets::rejectOnClick(m_exitButton, this);
    connect(m_duplicateList, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        commands::reportEngineErrors(m_ws, [&] { m_scan.clickRow(index.row()); });
    });

    resize(600, 420);
}

bool DuplicatesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_duplicateList->viewport() && event->type() == QEvent::MouseMove) {
        const QModelIndex index
            = m_duplicateList->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (index.isValid() && m_scan.model().at(index.row()).group)
            m_duplicateList->viewport()->setCursor(Qt::PointingHandCursor);
        else
            m_duplicateList->viewport()->unsetCursor();
    }
    return QDialog::eventFilter(watched, event);
}

void DuplicatesDialog::startScan()
{
    // The list does not redraw while it fills.
    const widgets::FrozenUpdates frozen(m_duplicateList);
    commands::reportEngineErrors(m_ws, [&] { m_scan.scan(); });
}

void DuplicatesDialog::deleteSelected()
{
    QList<int> rows;
    for (const QModelIndex &index : m_duplicateList->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        return;
    const widgets::FrozenUpdates frozen(m_duplicateList);
    const widgets::FrozenUpdates frozenMain(m_mainList);
    commands::reportEngineErrors(m_ws, [&] { m_scan.deleteRows(rows); });
}

void runDuplicatesDialog(
    outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent)
{
    DuplicatesDialog dialog(workspace, mainList, parent);
    dialog.exec();
}

} // namespace quillet::search
