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

    m_lblPro = new QLabel(QStringLiteral("Please wait a moment..."), this);
    m_lblPro->setObjectName(QStringLiteral("lblPro"));
    m_lblPro->hide();
    m_lvwDups = widgets::makeReportList("lvwDups", &m_scan.model(), 3000, 5000, this);
    m_lvwDups->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The pointer turns into a hand over the group rows.
    m_lvwDups->setMouseTracking(true);
    m_lvwDups->viewport()->installEventFilter(this);

    m_cmdStart = widgets::makeButton(QStringLiteral("&Start scan"), "cmdStart", this);
    m_cmdDelete = widgets::makeButton(QStringLiteral("&Delete"), "cmdDelete", this);
    m_cmdExit = widgets::makeButton(QStringLiteral("&Exit"), "cmdExit", this);
    QHBoxLayout *buttons = widgets::makeButtonRow({m_cmdStart, m_cmdDelete, m_cmdExit});
    buttons->insertWidget(0, m_lblPro);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(widgets::makeBanner(QStringLiteral("Scan for duplicates"), this));
    layout->addWidget(m_lvwDups, 1);
    layout->addLayout(buttons);

    connect(&m_scan, &DuplicateScan::fillingChanged, m_lblPro, &QWidget::setVisible);
    connect(m_cmdStart, &QPushButton::clicked, this, &DuplicatesDialog::startScan);
    connect(m_cmdDelete, &QPushButton::clicked, this, &DuplicatesDialog::deleteSelected);
    widgets::rejectOnClick(m_cmdExit, this);
    connect(m_lvwDups, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        commands::reportEngineErrors(m_ws, [&] { m_scan.clickRow(index.row()); });
    });

    resize(600, 420);
}

bool DuplicatesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lvwDups->viewport() && event->type() == QEvent::MouseMove) {
        const QModelIndex index
            = m_lvwDups->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (index.isValid() && m_scan.model().at(index.row()).group)
            m_lvwDups->viewport()->setCursor(Qt::PointingHandCursor);
        else
            m_lvwDups->viewport()->unsetCursor();
    }
    return QDialog::eventFilter(watched, event);
}

void DuplicatesDialog::startScan()
{
    // The list does not redraw while it fills.
    const widgets::FrozenUpdates frozen(m_lvwDups);
    commands::reportEngineErrors(m_ws, [&] { m_scan.scan(); });
}

void DuplicatesDialog::deleteSelected()
{
    QList<int> rows;
    for (const QModelIndex &index : m_lvwDups->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        return;
    const widgets::FrozenUpdates frozen(m_lvwDups);
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
