// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/snapshots/SnapshotDialog.h"

#include "core/outline/Workspace.h"
#include "core/snapshots/SnapshotRun.h"
#include "gui/platform/BrowserEngine.h"
#include "gui/platform/BrowserEngineLoader.h"
#include "gui/widgets/SearchWidgets.h"

#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillet::snapshots {

namespace {

constexpr int kTwipsPerPixel = 15;

const char *const kTextSizes[] = {"Smallest", "Smaller", "Medium", "Larger", "Largest"};

} // namespace

SnapshotDialog::SnapshotDialog(
    outline::Workspace &workspace, platform::BrowserEngine &engine, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSnap"));
    setWindowTitle(snapshotWindowTitle());
    m_renderer = engine.makePageRenderer(this);
    m_run = std::make_unique<SnapshotRun>(workspace, *m_renderer);
    buildWindow();
    buildMenus();
    showControls();
    connect(m_run.get(), &SnapshotRun::controlsChanged, this, &SnapshotDialog::showControls);
}

SnapshotDialog::~SnapshotDialog()
{
    // The run talks to the browser to the end.
    m_run.reset();
    m_renderer.reset();
}

void SnapshotDialog::buildWindow()
{
    buildEntryList();
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_renderer->view());
    m_pages->addWidget(m_entryList);
    buildLinkBox();
    buildItemPanel();
    m_startButton = widgets::makeButton(QStringLiteral("&Start"), "cmdStart", this);
    m_stopButton = widgets::makeButton(QStringLiteral("&Stop"), "cmdStop", this);
    connect(m_startButton, &QPushButton::clicked, this, [this] { m_run->startClicked(); });
    connect(m_stopButton, &QPushButton::clicked, this, [this] { m_run->stopClicked(); });

    auto *fields = new QHBoxLayout;
    fields->addWidget(m_itemPanel, 2);
    fields->addWidget(m_linkBox, 3);
    fields->addWidget(m_startButton);
    fields->addWidget(m_stopButton);

    QStatusBar *status = buildStatusBar();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addLayout(fields);
    layout->addWidget(m_pages, 1);
    layout->addWidget(status);
    resize(800, 600);
}

void SnapshotDialog::buildEntryList()
{
    m_entryList = new QTreeWidget(this);
    m_entryList->setObjectName(QStringLiteral("lvwItem"));
    m_entryList->setRootIsDecorated(false);
    m_entryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_entryList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Link")});
    m_entryList->header()->resizeSection(0, 2250 / kTwipsPerPixel);
    m_entryList->header()->resizeSection(1, 3000 / kTwipsPerPixel);
    for (const SnapshotEntry &entry : m_run->entries()) {
        auto *item = new QTreeWidgetItem(m_entryList, {entry.name, entry.link});
        item->setData(0, Qt::UserRole, entry.key);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
    connect(
        m_entryList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
            if (column == 0)
                m_run->setChecked(
                    m_entryList->indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
        });
}

void SnapshotDialog::buildLinkBox()
{
    m_linkBox = new QComboBox(this);
    m_linkBox->setObjectName(QStringLiteral("cboLink"));
    m_linkBox->setEditable(true);
    m_linkBox->setInsertPolicy(QComboBox::NoInsert);
    connect(m_linkBox->lineEdit(), &QLineEdit::returnPressed, this,
        [this] { m_run->linkEntered(m_linkBox->currentText().trimmed()); });
}

void SnapshotDialog::buildItemPanel()
{
    m_itemPanel = new QWidget(this);
    m_itemPanel->setObjectName(QStringLiteral("picItem"));
    m_itemName = new QLineEdit(m_itemPanel);
    m_itemName->setObjectName(QStringLiteral("txtItem"));
    m_itemName->setReadOnly(true);
    m_listButton = new QToolButton(m_itemPanel);
    m_listButton->setObjectName(QStringLiteral("imgIcon"));
    m_listButton->setArrowType(Qt::UpArrow);
    m_listButton->setAutoRaise(true);
    connect(m_listButton, &QToolButton::pressed, this,
        [this] { m_listButton->setArrowType(Qt::DownArrow); });
    connect(m_listButton, &QToolButton::released, this,
        [this] { m_listButton->setArrowType(Qt::UpArrow); });
    connect(m_listButton, &QToolButton::clicked, this, [this] { m_run->toggleList(); });
    auto *itemRow = new QHBoxLayout(m_itemPanel);
    itemRow->setContentsMargins(0, 0, 0, 0);
    itemRow->setSpacing(0);
    itemRow->addWidget(m_itemName, 1);
    itemRow->addWidget(m_listButton);
}

QStatusBar *SnapshotDialog::buildStatusBar()
{
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("staShow"));
    status->setSizeGripEnabled(false);
    m_statusText = new QLabel(status);
    m_statusText->setObjectName(QStringLiteral("staShowText"));
    m_progress = new QProgressBar(status);
    m_progress->setObjectName(QStringLiteral("proSnap"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumWidth(200);
    status->addWidget(m_statusText, 1);
    status->addPermanentWidget(m_progress);
    return status;
}

void SnapshotDialog::buildMenus()
{
    auto *bar = new QMenuBar(this);
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    QAction *exit = file->addAction(QStringLiteral("E&xit"), this, &QDialog::reject);
    exit->setObjectName(QStringLiteral("mnuExit"));

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    // The captions carry their key's name; the keys work anywhere in the
    // window through the shortcuts below.
    QAction *stop = view->addAction(
        QStringLiteral("&Stop                   Esc"), this, [this] { m_run->forceCapture(); });
    stop->setObjectName(QStringLiteral("mnuStop"));
    QAction *refresh = view->addAction(
        QStringLiteral("&Refresh              F5"), this, [this] { m_run->refresh(); });
    refresh->setObjectName(QStringLiteral("mnuRefresh"));
    QMenu *sizes = view->addMenu(QStringLiteral("Text size     "));
    auto *group = new QActionGroup(this);
    for (int level = 0; level < platform::PageRenderer::kTextZoomLevels; ++level) {
        QAction *size = sizes->addAction(
            QLatin1String(kTextSizes[level]), this, [this, level] { m_run->setTextZoom(level); });
        size->setObjectName(QStringLiteral("mnuTextSize%1").arg(level));
        size->setCheckable(true);
        size->setChecked(level == m_run->textZoom());
        group->addAction(size);
        m_textSizes << size;
    }
    QAction *all = view->addAction(
        QStringLiteral("Select all            Ctrl+A"), this, &SnapshotDialog::selectAll);
    all->setObjectName(QStringLiteral("mnuSelectAll"));
    layout()->setMenuBar(bar);

    const std::pair<QKeySequence, QAction *> keys[] = {
        {QKeySequence(Qt::Key_Escape), stop},
        {QKeySequence(Qt::Key_F5), refresh},
        {QKeySequence(Qt::CTRL | Qt::Key_A), all},
    };
    for (const auto &[key, action] : keys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
    }
}

void SnapshotDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc that the page did not take still captures; it never closes the
    // window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_run->forceCapture();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SnapshotDialog::selectAll()
{
    if (m_run->controls().listShown)
        m_entryList->selectAll();
}

void SnapshotDialog::showControls()
{
    const SnapshotControls &c = m_run->controls();
    m_itemName->setText(c.itemName);
    if (m_linkBox->currentText() != c.link)
        m_linkBox->setEditText(c.link);
    m_linkBox->setEnabled(c.linkEnabled);
    m_itemPanel->setEnabled(c.itemPanelEnabled);
    m_startButton->setEnabled(c.startEnabled);
    m_startButton->setText(c.startCaption);
    m_stopButton->setEnabled(c.stopEnabled);
    m_pages->setCurrentIndex(c.listShown ? 1 : 0);
    m_progress->setMaximum(std::max(1, c.progressMaximum));
    m_progress->setValue(c.progressValue);
    m_progress->setVisible(c.progressVisible);
    m_statusText->setText(c.status);
}

void SnapshotDialog::done(int result)
{
    m_run->close();
    QDialog::done(result);
}

void runSnapshotDialog(outline::Workspace &workspace, QWidget *parent)
{
    if (workspace.list().selectedCount() < 1)
        return;
    platform::BrowserEngine *engine = platform::browserEngineOrSay(workspace.services().messages);
    if (!engine)
        return;
    SnapshotDialog dialog(workspace, *engine, parent);
    dialog.exec();
}

} // namespace quillet::snapshots
