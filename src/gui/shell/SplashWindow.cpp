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
    m_version = new QLabel(QString::fromLatin1(strings::kVersion), this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_status = new QLabel(QString::fromLatin1(strings::kStepInitializing), this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("proLoad"));
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    layout->addWidget(title);
    layout->addWidget(m_version);
    layout->addStretch();
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    setFixedSize(360, 180);
}

void SplashWindow::setStep(const QString &text)
{
    m_status->setText(text);
}

} // namespace quillet::shell
