// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QWebEngineView;

namespace quillet::outline {
class Workspace;
}

namespace quillet::settings {

// frmUpdate: loads the vendor's version page, reads the published version
// from it (or from one of its frames) and tells the user whether a newer one
// exists. A page that cannot be loaded, or gives no version within 30
// seconds, is said in the window, which then waits for the user to leave.
class UpdateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UpdateDialog(outline::Workspace &workspace, QWidget *parent = nullptr);

    QWebEngineView *view() const { return m_webUpdate; }

private:
    void readVersion();
    void answer(const QString &published);
    void stopWaiting(const QString &why);

    outline::Workspace &m_ws;
    QLabel *m_title = nullptr;
    QWebEngineView *m_webUpdate = nullptr;
    QString m_site;
    // Frames may finish after the page; look again a few times.
    QTimer m_retry;
    int m_retriesLeft = 0;
    QTimer m_giveUp;
    bool m_answered = false;
};

} // namespace quillet::settings
