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
    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("txtSearch"));
    lblSearch->setBuddy(m_searchEdit);
    auto *lblOption = new QLabel(QStringLiteral("Search for:"), this);
    lblOption->setObjectName(QStringLiteral("lblOption"));
    m_scopeBox = new QComboBox(this);
    m_scopeBox->setObjectName(QStringLiteral("cboOption"));
    m_scopeBox->addItems(BookmarkFinder::scopeNames());
    m_scopeBox->setCurrentIndex(0);
    lblOption->setBuddy(m_scopeBox);
    auto *fields = new QGridLayout;
    fields->addWidget(lblSearch, 0, 0);
    fields->addWidget(m_searchEdit, 0, 1);
    fields->addWidget(lblOption, 1, 0);
    fields->addWidget(m_scopeBox, 1, 1);
    fields->setColumnStretch(1, 1);

    m_resultList = widgets::makeReportList("lvwResult", &m_finder.results(), 3000, 4000, this);
    m_resultList->setSelectionMode(QAbstractItemView::SingleSelection);

    m_findButton = widgets::makeButton(QStringLiteral("&Find"), "cmdFind", this);
    m_clearButton = widgets::makeButton(QStringLiteral("&Clear results"), "cmdClear", this);
    m_exitButton = widgets::makeButton(QStringLiteral("&Exit"), "cmdExit", this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(widgets::makeBanner(QStringLiteral("Search for bookmarks"), this));
    layout->addLayout(fields);
    layout->addWidget(m_resultList, 1);
    layout->addLayout(widgets::makeButtonRow({m_findButton, m_clearButton, m_exitButton}));

    connect(m_searchEdit, &QLineEdit::textChanged, this, &FindDialog::updateEnabling);
    m_searchEdit->installEventFilter(this);
    connect(m_findButton, &QPushButton::clicked, this, &FindDialog::runSearch);
    connect(m_clearButton, &QPushButton::clicked, this, &FindDialog::clearResults);
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_resultList, &QAbstractItemView::doubleClicked, this, &FindDialog::jump);

    resize(520, 380);
}

void FindDialog::updateEnabling()
{
    m_findButton->setEnabled(BookmarkFinder::canFind(m_searchEdit->text()));
    m_clearButton->setEnabled(m_finder.canClear());
}

bool FindDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_searchEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !m_searchEdit->text().isEmpty()) {
            runSearch();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::runSearch()
{
    commands::reportEngineErrors(
        m_ws, [&] { m_finder.find(m_searchEdit->text(), m_scopeBox->currentIndex()); });
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
