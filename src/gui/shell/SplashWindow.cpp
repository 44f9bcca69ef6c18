// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/SplashWindow.h"

#include "core/common/Strings.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quillet::shell {

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QString::fromLatin1(strings::kTitle), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    title->setFont(big);
    m_lblVersion = new QLabel(QString::fromLatin1(strings::kVersion), this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblStatus = new QLabel(QString::fromLatin1(strings::kStepInitializing), this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_proLoad = new QProgressBar(this);
    m_proLoad->setObjectName(QStringLiteral("proLoad"));
    m_proLoad->setTextVisible(false);
    m_proLoad->setValue(0);
    layout->addWidget(title);
    layout->addWidget(m_lblVersion);
    layout->addStretch();
    layout->addWidget(m_lblStatus);
    layout->addWidget(m_proLoad);
    setFixedSize(360, 180);
}

void SplashWindow::setStep(const QString &text)
{
    m_lblStatus->setText(text);
}

} // namespace quillet::shell
