// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/QtProgressView.h"

#include <QLabel>
#include <QProgressBar>

namespace quillet::platform {

namespace {
// No bar is wider than this many pixels: finer steps would only cost
// repaints.
constexpr qint64 kBarRange = 1000;
} // namespace

void QtProgressView::setMaximum(qint64 maximum)
{
    m_maximum = qMax<qint64>(1, maximum);
    m_bar->setRange(0, static_cast<int>(qMin(m_maximum, kBarRange)));
}

void QtProgressView::setValue(qint64 value)
{
    value = qBound<qint64>(0, value, m_maximum);
    const qint64 scaled = m_maximum > kBarRange ? value * kBarRange / m_maximum : value;
    if (scaled != m_bar->value())
        m_bar->setValue(static_cast<int>(scaled));
}

void QtProgressView::setVisible(bool visible)
{
    m_bar->setVisible(visible);
}

void QtStatusView::setStatusText(const QString &text)
{
    m_label->setText(text);
}

} // namespace quillet::platform
