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
    m_sourceEdit = new QLineEdit(this);
    m_sourceEdit->setObjectName(QStringLiteral("txtSrc"));
    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setObjectName(QStringLiteral("txtDest"));
    QPushButton *cmdSrcView = button(QStringLiteral("..."), "cmdSrcView", this);
    m_folderButton = button(QStringLiteral("..."), "cmdDestView", this);
    grid->addWidget(new QLabel(QStringLiteral("Backup file:"), this), 0, 0);
    grid->addWidget(m_sourceEdit, 0, 1);
    grid->addWidget(cmdSrcView, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Restore to:"), this), 1, 0);
    grid->addWidget(m_folderEdit, 1, 1);
    grid->addWidget(m_folderButton, 1, 2);
    m_runAfterBox = new QCheckBox(QStringLiteral("Run after Restore"), this);
    m_runAfterBox->setObjectName(QStringLiteral("chkStart"));
    grid->addWidget(m_runAfterBox, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_startButton = button(QStringLiteral("&Restore"), "cmdStart", this);
    QPushButton *cmdExit = button(QStringLiteral("&Exit"), "cmdExit", this);
    buttons->addWidget(m_startButton);
    buttons->addWidget(cmdExit);
    grid->addLayout(buttons, 3, 0, 1, 3);
    setMinimumWidth(460);

    m_folderButton->setEnabled(false);
    m_startButton->setEnabled(false);
    connect(m_sourceEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_session.setSource(text);
        updateEnabling();
    });
    connect(m_folderEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_session.setDestination(text);
        updateEnabling();
    });
    connect(m_runAfterBox, &QCheckBox::toggled, this,
        [this](bool checked) { m_session.runAfterRestore = checked; });
    connect(cmdSrcView, &QPushButton::clicked, this, &RestoreDialog::chooseSource);
    connect(m_folderButton, &QPushButton::clicked, this, &RestoreDialog::chooseFolder);
    connect(m_startButton, &QPushButton::clicked, this, [this] { m_session.restore(); });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

void RestoreDialog::updateEnabling()
{
    m_startButton->setEnabled(m_session.startEnabled());
}

void RestoreDialog::chooseSource()
{
    if (m_session.chooseSource())
        m_sourceEdit->setText(m_session.source());
    m_folderButton->setEnabled(m_session.folderButtonEnabled());
}

void RestoreDialog::chooseFolder()
{
    if (!m_session.chooseFolder()) {
        m_startButton->setEnabled(false);
        return;
    }
    m_folderEdit->setText(m_session.destination());
    m_startButton->setEnabled(true);
    m_startButton->setFocus();
}

} // namespace quillet::shell
