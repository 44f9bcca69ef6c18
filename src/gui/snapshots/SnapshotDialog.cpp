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
    m_pages->addWidget(m_lvwItem);
    buildLinkBox();
    buildItemPanel();
    m_cmdStart = widgets::makeButton(QStringLiteral("&Start"), "cmdStart", this);
    m_cmdStop = widgets::makeButton(QStringLiteral("&Stop"), "cmdStop", this);
    connect(m_cmdStart, &QPushButton::clicked, this, [this] { m_run->startClicked(); });
    connect(m_cmdStop, &QPushButton::clicked, this, [this] { m_run->stopClicked(); });

    auto *fields = new QHBoxLayout;
    fields->addWidget(m_picItem, 2);
    fields->addWidget(m_cboLink, 3);
    fields->addWidget(m_cmdStart);
    fields->addWidget(m_cmdStop);

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
    m_lvwItem = new QTreeWidget(this);
    m_lvwItem->setObjectName(QStringLiteral("lvwItem"));
    m_lvwItem->setRootIsDecorated(false);
    m_lvwItem->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvwItem->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Link")});
    m_lvwItem->header()->resizeSection(0, 2250 / kTwipsPerPixel);
    m_lvwItem->header()->resizeSection(1, 3000 / kTwipsPerPixel);
    for (const SnapshotEntry &entry : m_run->entries()) {
        auto *item = new QTreeWidgetItem(m_lvwItem, {entry.name, entry.link});
        item->setData(0, Qt::UserRole, entry.key);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
    connect(m_lvwItem, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (column == 0)
            m_run->setChecked(
                m_lvwItem->indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
    });
}

void SnapshotDialog::buildLinkBox()
{
    m_cboLink = new QComboBox(this);
    m_cboLink->setObjectName(QStringLiteral("cboLink"));
    m_cboLink->setEditable(true);
    m_cboLink->setInsertPolicy(QComboBox::NoInsert);
    connect(m_cboLink->lineEdit(), &QLineEdit::returnPressed, this,
        [this] { m_run->linkEntered(m_cboLink->currentText().trimmed()); });
}

void SnapshotDialog::buildItemPanel()
{
    m_picItem = new QWidget(this);
    m_picItem->setObjectName(QStringLiteral("picItem"));
    m_txtItem = new QLineEdit(m_picItem);
    m_txtItem->setObjectName(QStringLiteral("txtItem"));
    m_txtItem->setReadOnly(true);
    m_imgIcon = new QToolButton(m_picItem);
    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_imgIcon->setArrowType(Qt::UpArrow);
    m_imgIcon->setAutoRaise(true);
    connect(
        m_imgIcon, &QToolButton::pressed, this, [this] { m_imgIcon->setArrowType(Qt::DownArrow); });
    connect(
        m_imgIcon, &QToolButton::released, this, [this] { m_imgIcon->setArrowType(Qt::UpArrow); });
    connect(m_imgIcon, &QToolButton::clicked, this, [this] { m_run->toggleList(); });
    auto *itemRow = new QHBoxLayout(m_picItem);
    itemRow->setContentsMargins(0, 0, 0, 0);
    itemRow->setSpacing(0);
    itemRow->addWidget(m_txtItem, 1);
    itemRow->addWidget(m_imgIcon);
}

QStatusBar *SnapshotDialog::buildStatusBar()
{
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("staShow"));
    status->setSizeGripEnabled(false);
    m_staShow = new QLabel(status);
    m_staShow->setObjectName(QStringLiteral("staShowText"));
    m_proSnap = new QProgressBar(status);
    m_proSnap->setObjectName(QStringLiteral("proSnap"));
    m_proSnap->setTextVisible(false);
    m_proSnap->setMaximumWidth(200);
    status->addWidget(m_staShow, 1);
    status->addPermanentWidget(m_proSnap);
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
        m_lvwItem->selectAll();
}

void SnapshotDialog::showControls()
{
    const SnapshotControls &c = m_run->controls();
    m_txtItem->setText(c.itemName);
    if (m_cboLink->currentText() != c.link)
        m_cboLink->setEditText(c.link);
    m_cboLink->setEnabled(c.linkEnabled);
    m_picItem->setEnabled(c.itemPanelEnabled);
    m_cmdStart->setEnabled(c.startEnabled);
    m_cmdStart->setText(c.startCaption);
    m_cmdStop->setEnabled(c.stopEnabled);
    m_pages->setCurrentIndex(c.listShown ? 1 : 0);
    m_proSnap->setMaximum(std::max(1, c.progressMaximum));
    m_proSnap->setValue(c.progressValue);
    m_proSnap->setVisible(c.progressVisible);
    m_staShow->setText(c.status);
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
