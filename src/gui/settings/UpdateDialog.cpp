// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/UpdateDialog.h"

#include "core/common/ProgressView.h"
#include "core/common/Strings.h"
#include "core/outline/Workspace.h"
#include "core/settings/UpdateCheck.h"
#include "gui/platform/BrowserEngine.h"
#include "gui/platform/BrowserEngineLoader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet::settings {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

constexpr int kRetryMs = 250;
constexpr int kRetries = 20;

} // namespace

UpdateDialog::UpdateDialog(
    outline::Workspace &workspace, platform::BrowserEngine &engine, QWidget *parent)
    : QDialog(parent)
    , m_ws(workspace)
    , m_site(updateSite(workspace.optionSettings().updateSite))
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QLatin1Char(' ') + QLatin1String(strings::kTitle));
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(QStringLiteral("Checking for update, please wait a moment..."), this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setWordWrap(true);
    layout->addWidget(m_title);
    m_webUpdate = engine.makeScriptedPage(this);
    m_webUpdate->view()->setMinimumSize(320, 120);
    layout->addWidget(m_webUpdate->view());
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *exit = new QPushButton(QStringLiteral("&Exit"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (--m_retriesLeft <= 0)
            m_retry.stop();
        readVersion();
    });
    // No page, or no answer in time: said in the window instead of waiting.
    m_giveUp.setSingleShot(true);
    m_giveUp.setInterval(kUpdateAnswerTimeoutMs);
    connect(&m_giveUp, &QTimer::timeout, this, [this] { stopWaiting(noAnswerMessage()); });
    m_giveUp.start();
    m_webUpdate->load(QUrl(versionPageUrl(m_site)), [this](bool ok) {
        if (!ok) {
            stopWaiting(pageNotLoadedMessage());
            return;
        }
        m_retriesLeft = kRetries;
        m_retry.start();
        readVersion();
    });
}

UpdateDialog::~UpdateDialog() = default;

void UpdateDialog::stopWaiting(const QString &why)
{
    if (m_answered)
        return;
    m_answered = true;
    m_retry.stop();
    m_giveUp.stop();
    m_webUpdate->stop();
    m_title->setText(why);
}

void UpdateDialog::readVersion()
{
    if (m_answered)
        return;
    m_webUpdate->runScript(versionLookupScript(),
        [this](const QVariant &value) { answer(value.toString().trimmed()); });
}

void UpdateDialog::answer(const QString &published)
{
    const UpdateVerdict verdict = judgeVersion(published, QLatin1String(strings::kVersion));
    if (m_answered || verdict == UpdateVerdict::Wait)
        return;
    m_answered = true;
    m_retry.stop();
    m_giveUp.stop();
    if (verdict == UpdateVerdict::NewVersion) {
        if (m_ws.messageAfterRepaint(
                newVersionQuestion(published), MessageIcon::Exclamation, MessageButtons::YesNo)
                == MessageAnswer::Yes
            && m_ws.services().desktop)
            m_ws.services().desktop->openLink(downloadPageUrl(m_site));
    } else {
        m_ws.messageAfterRepaint(latestVersionMessage(), MessageIcon::Exclamation);
    }
    accept();
}

void runUpdateDialog(outline::Workspace &workspace, QWidget *parent)
{
    platform::BrowserEngine *engine = platform::browserEngineOrSay(workspace.services().messages);
    if (!engine)
        return;
    UpdateDialog dialog(workspace, *engine, parent);
    dialog.exec();
}

} // namespace quillet::settings
