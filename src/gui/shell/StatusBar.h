// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace quillet::shell {

// staTip: panel 1 holds the status text, panel 2 the progress bar proShow,
// which is placed inside the panel (not managed by the bar's layout) and
// hidden except while a long operation runs.
class StatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    QLabel *textPanel() const { return m_panel1; }
    QWidget *progressPanel() const { return m_panel2; }
    QProgressBar *progressBar() const { return m_proShow; }

    // PlaceProgressBar: proShow inside panel 2.
    void placeProgressBar();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_panel1;
    QWidget *m_panel2;
    QProgressBar *m_proShow;
};

} // namespace quillet::shell
