// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QTimer>

class QWebEngineView;

namespace quillet::shell {
class Workspace;
}

namespace quillet::settings {

// frmUpdate: loads the vendor's version page, reads the published version
// from it (or from one of its frames) and tells the user whether a newer one
// exists. An unreachable page or one without a version says nothing: the
// window waits until the user leaves.
class UpdateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UpdateDialog(shell::Workspace &workspace, QWidget *parent = nullptr);

    QWebEngineView *view() const { return m_webUpdate; }

private:
    void readVersion();
    void answer(const QString &published);

    shell::Workspace &m_ws;
    QWebEngineView *m_webUpdate = nullptr;
    QString m_site;
    // Frames may finish after the page; look again a few times.
    QTimer m_retry;
    int m_retriesLeft = 0;
    bool m_answered = false;
};

} // namespace quillet::settings
