#include "shell/MainWindow.h"

#include "shell/StartupDocument.h"
#include "shell/Strings.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>

namespace quillet::shell {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_messages(this)
{
    setObjectName(QStringLiteral("frmMain"));
    buildWindow();
    m_statusView = std::make_unique<platform::QtStatusView>(m_statusPanel);
    m_progressView = std::make_unique<platform::QtProgressView>(m_proShow);
    m_workspace = std::make_unique<Workspace>(
        Workspace::Services{&m_messages, m_statusView.get(), m_progressView.get()});
    m_treContent->setModel(&m_workspace->tree());
    setWindowTitle(m_workspace->document().caption());
    connect(&m_workspace->document(), &store::Document::captionChanged, this,
            &QWidget::setWindowTitle);
}

MainWindow::~MainWindow()
{
    // Views first: they hold pointers into the workspace's models.
    m_treContent->setModel(nullptr);
}

void MainWindow::buildWindow()
{
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_treContent = new QTreeView(splitter);
    m_treContent->setObjectName(QStringLiteral("treContent"));
    m_treContent->setHeaderHidden(true);
    m_lvwBookmark = new QTreeView(splitter);
    m_lvwBookmark->setObjectName(QStringLiteral("lvwBookmark"));
    m_lvwBookmark->setRootIsDecorated(false);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    m_statusPanel = new QLabel(QString::fromLatin1(strings::kStatusIdle), this);
    m_statusPanel->setObjectName(QStringLiteral("staTipPanel1"));
    m_proShow = new QProgressBar(this);
    m_proShow->setObjectName(QStringLiteral("proShow"));
    m_proShow->setTextVisible(false);
    m_proShow->setMaximumWidth(200);
    m_proShow->setVisible(false);
    statusBar()->setObjectName(QStringLiteral("staTip"));
    statusBar()->addWidget(m_statusPanel, 1);
    statusBar()->addWidget(m_proShow);
    resize(900, 600);
}

void MainWindow::loadStartupDocument(const QStringList &arguments, platform::ProgressView *progress)
{
    Q_UNUSED(progress);
    platform::yieldToEventLoop();
    const QString path = commandLineDocument(arguments);
    switch (chooseStartupDocument(path, 0)) {
    default:
        m_workspace->newDocument(false);
        m_workspace->showIdleStatus();
        break;
    }
    m_treContent->expandAll();
}

bool MainWindow::closeDocumentForExit()
{
    m_workspace->document().closeAndDeleteUntitled();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !closeDocumentForExit()) {
        event->ignore();
        return;
    }
    m_closing = true;
    event->accept();
}

}  // namespace quillet::shell
