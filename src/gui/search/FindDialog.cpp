// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/FindDialog.h"

#include "core/outline/Workspace.h"
#include "gui/commands/CommandBinding.h"
#include "gui/widgets/FrozenUpdates.h"
#include "gui/widgets/SearchWidgets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillet::search {

FindDialog::FindDialog(outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent)
    : QDialog(parent)
    , m_ws(workspace)
    , m_mainList(mainList)
    , m_finder(workspace)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(widgets::searchCaption());
    buildWindow();
    updateEnabling();
}

void FindDialog::buildWindow()
{
    m_finder.results().setIcon(style()->standardIcon(QStyle::SP_FileLinkIcon));

    auto *lblSearch = new QLabel(QStringLiteral("Text to find:"), this);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    lblSearch->setBuddy(m_txtSearch);
    auto *lblOption = new QLabel(QStringLiteral("Search for:"), this);
    lblOption->setObjectName(QStringLiteral("lblOption"));
    m_cboOption = new QComboBox(this);
    m_cboOption->setObjectName(QStringLiteral("cboOption"));
    m_cboOption->addItems(BookmarkFinder::scopeNames());
    m_cboOption->setCurrentIndex(0);
    lblOption->setBuddy(m_cboOption);
    auto *fields = new QGridLayout;
    fields->addWidget(lblSearch, 0, 0);
    fields->addWidget(m_txtSearch, 0, 1);
    fields->addWidget(lblOption, 1, 0);
    fields->addWidget(m_cboOption, 1, 1);
    fields->setColumnStretch(1, 1);

    m_lvwResult = widgets::makeReportList("lvwResult", &m_finder.results(), 3000, 4000, this);
    m_lvwResult->setSelectionMode(QAbstractItemView::SingleSelection);

    m_cmdFind = widgets::makeButton(QStringLiteral("&Find"), "cmdFind", this);
    m_cmdClear = widgets::makeButton(QStringLiteral("&Clear results"), "cmdClear", this);
    m_cmdExit = widgets::makeButton(QStringLiteral("&Exit"), "cmdExit", this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(widgets::makeBanner(QStringLiteral("Search for bookmarks"), this));
    layout->addLayout(fields);
    layout->addWidget(m_lvwResult, 1);
    layout->addLayout(widgets::makeButtonRow({m_cmdFind, m_cmdClear, m_cmdExit}));

    connect(m_txtSearch, &QLineEdit::textChanged, this, &FindDialog::updateEnabling);
    m_txtSearch->installEventFilter(this);
    connect(m_cmdFind, &QPushButton::clicked, this, &FindDialog::runSearch);
    connect(m_cmdClear, &QPushButton::clicked, this, &FindDialog::clearResults);
    connect(m_cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lvwResult, &QAbstractItemView::doubleClicked, this, &FindDialog::jump);

    resize(520, 380);
}

void FindDialog::updateEnabling()
{
    m_cmdFind->setEnabled(BookmarkFinder::canFind(m_txtSearch->text()));
    m_cmdClear->setEnabled(m_finder.canClear());
}

bool FindDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !m_txtSearch->text().isEmpty()) {
            runSearch();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::runSearch()
{
    commands::reportEngineErrors(
        m_ws, [&] { m_finder.find(m_txtSearch->text(), m_cboOption->currentIndex()); });
    updateEnabling();
}

void FindDialog::clearResults()
{
    m_finder.clearResults();
    updateEnabling();
}

void FindDialog::jump(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    // The main list refills behind this window without flickering.
    const widgets::FrozenUpdates frozenMain(m_mainList);
    commands::reportEngineErrors(m_ws, [&] { m_finder.jumpTo(index.row()); });
}

void runFindDialog(outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent)
{
    FindDialog dialog(workspace, mainList, parent);
    dialog.exec();
}

} // namespace quillet::search
