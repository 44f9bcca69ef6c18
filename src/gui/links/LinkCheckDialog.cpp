// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/links/LinkCheckDialog.h"

#include "core/links/LinkTimeout.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBinding.h"
#include "gui/widgets/FrozenUpdates.h"
#include "gui/widgets/SearchWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillet::links {

namespace {

// Rows that are not OK, when asked; all rows otherwise.
class ProblemsFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setProblemsOnly(bool on)
    {
        m_problemsOnly = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        return !m_problemsOnly
            || sourceModel()->index(row, 0, parent).data(LinkCheckModel::ProblemRole).toBool();
    }

private:
    bool m_problemsOnly = true;
};

LinkCheckOptions storedOptions()
{
    LinkCheckOptions options;
    options.timeoutMs = storedLinkTimeoutSeconds() * 1000;
    return options;
}

} // namespace

LinkCheckDialog::LinkCheckDialog(
    outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent)
    : QDialog(parent)
    , m_ws(workspace)
    , m_mainList(mainList)
    , m_session(workspace, storedOptions())
{
    setObjectName(QStringLiteral("frmCheckLinks"));
    setWindowTitle(widgets::searchCaption());
    buildWindow();
}

void LinkCheckDialog::buildWindow()
{
    auto *scopeLabel = new QLabel(QStringLiteral("Chec&k:"), this);
    m_scopeBox = new QComboBox(this);
    m_scopeBox->setObjectName(QStringLiteral("cboScope"));
    m_scopeBox->addItems(LinkCheckSession::scopeNames());
    scopeLabel->setBuddy(m_scopeBox);
    m_startButton = widgets::makeButton(QStringLiteral("&Start"), "cmdStart", this);
    m_startButton->setDefault(true);
    m_stopButton = widgets::makeButton(QStringLiteral("S&top"), "cmdStop", this);
    m_stopButton->setEnabled(false);
    auto *scopeRow = new QHBoxLayout;
    scopeRow->addWidget(scopeLabel);
    scopeRow->addWidget(m_scopeBox, 1);
    scopeRow->addWidget(m_startButton);
    scopeRow->addWidget(m_stopButton);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("proCheck"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("lblProgress"));
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_progressLabel);

    m_countsLabel = new QLabel(m_session.countsText(), this);
    m_countsLabel->setObjectName(QStringLiteral("lblCounts"));
    m_problemsOnlyBox = new QCheckBox(QStringLiteral("&Problems only"), this);
    m_problemsOnlyBox->setObjectName(QStringLiteral("chkProblems"));
    m_problemsOnlyBox->setChecked(true);
    auto *countsRow = new QHBoxLayout;
    countsRow->addWidget(m_countsLabel, 1);
    countsRow->addWidget(m_problemsOnlyBox);

    auto *filter = new ProblemsFilter(this);
    filter->setSourceModel(&m_session.model());
    m_filter = filter;
    m_linkList = widgets::makeReportList("lvwLinks", m_filter, 2700, 2700, this);
    m_linkList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_linkList->header()->resizeSection(LinkCheckModel::LinkColumn, 260);
    m_linkList->header()->setStretchLastSection(true);
    m_linkList->installEventFilter(this);

    auto *cmdOpen = widgets::makeButton(QStringLiteral("&Open"), "cmdOpen", this);
    auto *cmdGoTo = widgets::makeButton(QStringLiteral("&Go to bookmark"), "cmdGoTo", this);
    auto *cmdDelete = widgets::makeButton(QStringLiteral("&Delete"), "cmdDelete", this);
    auto *cmdUseNew = widgets::makeButton(QStringLiteral("&Use new link"), "cmdUseNew", this);
    auto *cmdClose = widgets::makeButton(QStringLiteral("&Close"), "cmdClose", this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(widgets::makeBanner(QStringLiteral("Check links"), this));
    layout->addLayout(scopeRow);
    layout->addLayout(progressRow);
    layout->addLayout(countsRow);
    layout->addWidget(m_linkList, 1);
    layout->addLayout(widgets::makeButtonRow({cmdOpen, cmdGoTo, cmdDelete, cmdUseNew, cmdClose}));

    connect(m_startButton, &QPushButton::clicked, this, &LinkCheckDialog::start);
    connect(m_stopButton, &QPushButton::clicked, this, [this] { m_session.stop(); });
    connect(m_problemsOnlyBox, &QCheckBox::toggled, this,
        [filter](bool on) { filter->setProblemsOnly(on); });
    connect(&m_session, &LinkCheckSession::progressChanged, this, &LinkCheckDialog::showProgress);
    connect(&m_session, &LinkCheckSession::runningChanged, this, &LinkCheckDialog::showRunning);
    connect(&m_session.model(), &LinkCheckModel::countsChanged, this,
        [this] { m_countsLabel->setText(m_session.countsText()); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        runOnSelection([this](const QList<int> &rows) { m_session.openRows(rows); }, false);
    });
    connect(cmdGoTo, &QPushButton::clicked, this, [this] {
        runOnSelection(
            [this](const QList<int> &rows) {
                if (!rows.isEmpty())
                    m_session.goTo(rows.first());
            },
            false);
    });
    connect(cmdDelete, &QPushButton::clicked, this, [this] {
        runOnSelection([this](const QList<int> &rows) { m_session.deleteRows(rows); }, true);
    });
    connect(cmdUseNew, &QPushButton::clicked, this, [this] {
        runOnSelection([this](const QList<int> &rows) { m_session.useNewLinks(rows); }, true);
    });
    connect(m_linkList, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        const int row = m_filter->mapToSource(index).row();
        commands::reportEngineErrors(m_ws, [&] { m_session.goTo(row); });
    });
    widgets::rejectOnClick(cmdClose, this);
    // A closed window checks no further.
    connect(this, &QDialog::finished, this, [this] { m_session.stop(); });

    resize(860, 480);
}

void LinkCheckDialog::setScope(CheckScope scope)
{
    m_scopeBox->setCurrentIndex(static_cast<int>(scope));
}

void LinkCheckDialog::start()
{
    commands::reportEngineErrors(
        m_ws, [&] { m_session.start(static_cast<CheckScope>(m_scopeBox->currentIndex())); });
    m_linkList->setFocus();
}

void LinkCheckDialog::showProgress(int done, int total)
{
    m_progress->setRange(0, std::max(1, total));
    m_progress->setValue(done);
    m_progressLabel->setText(QStringLiteral("%1 of %2 links").arg(done).arg(total));
}

void LinkCheckDialog::showRunning(bool running)
{
    m_stopButton->setEnabled(running);
    if (!running && m_stopButton->hasFocus())
        m_linkList->setFocus();
}

QList<int> LinkCheckDialog::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_linkList->selectionModel()->selectedRows())
        rows << m_filter->mapToSource(index).row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void LinkCheckDialog::runOnSelection(
    const std::function<void(const QList<int> &)> &action, bool changesList)
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const widgets::FrozenUpdates frozenMain(changesList ? m_mainList : nullptr);
    commands::reportEngineErrors(m_ws, [&] { action(rows); });
}

bool LinkCheckDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_linkList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return QDialog::eventFilter(watched, event);
        if (key->key() == Qt::Key_Delete) {
            runOnSelection([this](const QList<int> &rows) { m_session.deleteRows(rows); }, true);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            runOnSelection([this](const QList<int> &rows) { m_session.openRows(rows); }, false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void runLinkCheckDialog(outline::Workspace &workspace, QAbstractItemView *mainList, QWidget *parent,
    std::optional<CheckScope> startNow)
{
    LinkCheckDialog dialog(workspace, mainList, parent);
    if (startNow) {
        dialog.setScope(*startNow);
        // Once the window shows, so a message about an empty scope has it
        // as its parent.
        QMetaObject::invokeMethod(&dialog, &LinkCheckDialog::start, Qt::QueuedConnection);
    }
    dialog.exec();
}

} // namespace quillet::links
