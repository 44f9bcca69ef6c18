// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/StatusBar.h"

#include "core/common/Strings.h"
#include "core/outline/ClientLayout.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>

namespace quillet::shell {

namespace {
constexpr int kProgressPanelWidth = 3000; // twips
}

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("staTip"));
    setSizeGripEnabled(true);
    m_panel1 = new QLabel(QString::fromLatin1(strings::kStatusIdle), this);
    m_panel1->setObjectName(QStringLiteral("staTipPanel1"));
    auto *panel2 = new QFrame(this);
    panel2->setObjectName(QStringLiteral("staTipPanel2"));
    panel2->setFixedWidth(outline::toPixels(kProgressPanelWidth));
    m_panel2 = panel2;
    addWidget(m_panel1, 1);
    addPermanentWidget(m_panel2);
    m_panel2->installEventFilter(this);

    m_proShow = new QProgressBar(this);
    m_proShow->setObjectName(QStringLiteral("proShow"));
    m_proShow->setTextVisible(false);
    m_proShow->setVisible(false);
}

void StatusBar::placeProgressBar()
{
    using namespace outline;
    const QRect panel = m_panel2->geometry();
    const QRect twips(
        toTwips(panel.x()), toTwips(panel.y()), toTwips(panel.width()), toTwips(panel.height()));
    m_proShow->setGeometry(toPixels(progressBarRect(twips, toTwips(height()))));
    m_proShow->raise();
}

bool StatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel2 && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeProgressBar();
    return QStatusBar::eventFilter(watched, event);
}

} // namespace quillet::shell
