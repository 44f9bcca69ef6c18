// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/RestoreDialog.h"

#include "core/common/Strings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillet::shell {

namespace {

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

RestoreDialog::RestoreDialog(
    outline::Workspace &workspace, DocumentLifecycle &lifecycle, QWidget *parent)
    : QDialog(parent)
    , m_session(workspace, lifecycle)
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QLatin1String(strings::kTitle) + QLatin1Char(' '));
    auto *grid = new QGridLayout(this);
    m_txtSrc = new QLineEdit(this);
    m_txtSrc->setObjectName(QStringLiteral("txtSrc"));
    m_txtDest = new QLineEdit(this);
    m_txtDest->setObjectName(QStringLiteral("txtDest"));
    QPushButton *cmdSrcView = button(QStringLiteral("..."), "cmdSrcView", this);
    m_cmdDestView = button(QStringLiteral("..."), "cmdDestView", this);
    grid->addWidget(new QLabel(QStringLiteral("Backup file:"), this), 0, 0);
    grid->addWidget(m_txtSrc, 0, 1);
    grid->addWidget(cmdSrcView, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Restore to:"), this), 1, 0);
    grid->addWidget(m_txtDest, 1, 1);
    grid->addWidget(m_cmdDestView, 1, 2);
    m_chkStart = new QCheckBox(QStringLiteral("Run after Restore"), this);
    m_chkStart->setObjectName(QStringLiteral("chkStart"));
    grid->addWidget(m_chkStart, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cmdStart = button(QStringLiteral("&Restore"), "cmdStart", this);
    QPushButton *cmdExit = button(QStringLiteral("&Exit"), "cmdExit", this);
    buttons->addWidget(m_cmdStart);
    buttons->addWidget(cmdExit);
    grid->addLayout(buttons, 3, 0, 1, 3);
    setMinimumWidth(460);

    m_cmdDestView->setEnabled(false);
    m_cmdStart->setEnabled(false);
    connect(m_txtSrc, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_session.setSource(text);
        updateEnabling();
    });
    connect(m_txtDest, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_session.setDestination(text);
        updateEnabling();
    });
    connect(m_chkStart, &QCheckBox::toggled, this,
        [this](bool checked) { m_session.runAfterRestore = checked; });
    connect(cmdSrcView, &QPushButton::clicked, this, &RestoreDialog::chooseSource);
    connect(m_cmdDestView, &QPushButton::clicked, this, &RestoreDialog::chooseFolder);
    connect(m_cmdStart, &QPushButton::clicked, this, [this] { m_session.restore(); });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

void RestoreDialog::updateEnabling()
{
    m_cmdStart->setEnabled(m_session.startEnabled());
}

void RestoreDialog::chooseSource()
{
    if (m_session.chooseSource())
        m_txtSrc->setText(m_session.source());
    m_cmdDestView->setEnabled(m_session.folderButtonEnabled());
}

void RestoreDialog::chooseFolder()
{
    if (!m_session.chooseFolder()) {
        m_cmdStart->setEnabled(false);
        return;
    }
    m_txtDest->setText(m_session.destination());
    m_cmdStart->setEnabled(true);
    m_cmdStart->setFocus();
}

} // namespace quillet::shell
