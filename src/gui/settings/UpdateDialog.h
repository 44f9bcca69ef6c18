// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

class QLabel;

namespace quillet::platform {
class BrowserEngine;
class ScriptedPageView;
} // namespace quillet::platform

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
    UpdateDialog(
        outline::Workspace &workspace, platform::BrowserEngine &engine, QWidget *parent = nullptr);
    ~UpdateDialog() override;

private:
    void readVersion();
    void answer(const QString &published);
    void stopWaiting(const QString &why);

    outline::Workspace &m_ws;
    QLabel *m_title = nullptr;
    std::unique_ptr<platform::ScriptedPageView> m_webUpdate;
    QString m_site;
    // Frames may finish after the page; look again a few times.
    QTimer m_retry;
    int m_retriesLeft = 0;
    QTimer m_giveUp;
    bool m_answered = false;
};

// miHUpdate: the update check, loading the browser engine the first time (a
// message says so when it cannot be loaded).
void runUpdateDialog(outline::Workspace &workspace, QWidget *parent);

} // namespace quillet::settings
