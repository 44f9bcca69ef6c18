// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace quillet::shell {

// The small window shown while Quillet starts: version, step text and the
// progress of the first document load.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    void setStep(const QString &text);
    QProgressBar *progressBar() const { return m_progress; }

private:
    QLabel *m_version;
    QLabel *m_status;
    QProgressBar *m_progress;
};

} // namespace quillet::shell
