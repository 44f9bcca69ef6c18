// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"

class QProgressBar;
class QLabel;

namespace quillet::platform {

// Drives a QProgressBar; wide counts are scaled into its int range.
class QtProgressView : public common::ProgressView
{
public:
    explicit QtProgressView(QProgressBar *bar)
        : m_bar(bar)
    {
    }
    void setMaximum(qint64 maximum) override;
    void setValue(qint64 value) override;
    void setVisible(bool visible) override;

private:
    QProgressBar *m_bar;
    qint64 m_maximum = 100;
};

class QtStatusView : public common::StatusView
{
public:
    explicit QtStatusView(QLabel *label)
        : m_label(label)
    {
    }
    void setStatusText(const QString &text) override;

private:
    QLabel *m_label;
};

} // namespace quillet::platform
