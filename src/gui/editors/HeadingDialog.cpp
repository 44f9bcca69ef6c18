// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/HeadingDialog.h"

#include "core/common/Strings.h"
#include "gui/widgets/HeadingIcons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet::editors {

namespace {

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

HeadingDialog::HeadingDialog(outline::Workspace &workspace, bool editMode, QWidget *parent)
    : QDialog(parent)
    , m_editor(workspace, editMode, widgets::HeadingIcons::instance().count())
{
    setObjectName(QStringLiteral("frmNode"));
    setWindowTitle(QLatin1String(strings::kTitle) + QLatin1Char(' '));
    setModal(true);

    m_banner = new QLabel(this);
    m_banner->setObjectName(QStringLiteral("lblTitle"));
    QFont banner = m_banner->font();
    banner.setBold(true);
    banner.setPointSizeF(banner.pointSizeF() * 1.3);
    m_banner->setFont(banner);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("txtHeading"));
    m_iconView = new QLabel(this);
    m_iconView->setObjectName(QStringLiteral("imgIcon"));
    m_iconView->setFixedSize(32, 32);
    m_iconView->setAlignment(Qt::AlignCenter);
    m_iconBox = new QComboBox(this);
    m_iconBox->setObjectName(QStringLiteral("imgcbo_Icon"));
    m_iconBox->setIconSize(QSize(16, 16));

    m_headingButton = button(QStringLiteral("cmdHeading"), QStringLiteral("Add heading"), this);
    m_subHeadingButton
        = button(QStringLiteral("cmdSubHeading"), QStringLiteral("Add subHeading"), this);
    m_okButton = button(QStringLiteral("cmdOK"), QStringLiteral("&OK"), this);
    m_exitButton = button(QStringLiteral("cmdExit"), QStringLiteral("Exit"), this);
    m_headingButton->setEnabled(false);
    m_subHeadingButton->setEnabled(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Heading:"), m_nameEdit);
    form->addRow(QStringLiteral("Icon:"), m_iconView);
    form->addRow(QStringLiteral("Icon for the category:"), m_iconBox);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {m_headingButton, m_subHeadingButton, m_okButton, m_exitButton})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_banner);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(m_nameEdit, &QLineEdit::textChanged, this, &HeadingDialog::titleChanged);
    connect(m_iconBox, &QComboBox::activated, this, &HeadingDialog::iconChosen);
    connect(m_headingButton, &QPushButton::clicked, this, [this] { add(false); });
    connect(m_subHeadingButton, &QPushButton::clicked, this, [this] { add(true); });
    connect(m_okButton, &QPushButton::clicked, this, &HeadingDialog::confirm);
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool HeadingDialog::setUp()
{
    if (!m_editor.setUp())
        return false;
    m_banner->setText(m_editor.banner());
    if (m_editor.editMode()) {
        m_headingButton->hide();
        m_subHeadingButton->hide();
        m_okButton->setDefault(true);
    } else {
        m_okButton->hide();
    }
    m_iconBox->clear();
    const widgets::HeadingIcons &icons = widgets::HeadingIcons::instance();
    for (const HeadingEditor::IconEntry &entry : m_editor.iconEntries())
        m_iconBox->addItem(icons.icon(entry.picture), entry.text, entry.key);
    m_iconBox->setCurrentIndex(m_editor.chosenEntry());
    showChosenIcon();
    m_nameEdit->setText(m_editor.initialTitle());
    titleChanged(m_nameEdit->text());
    m_nameEdit->setFocus();
    return true;
}

void HeadingDialog::run(outline::Workspace &workspace, bool editMode, QWidget *parent)
{
    HeadingDialog dialog(workspace, editMode, parent);
    if (dialog.setUp())
        dialog.exec();
}

void HeadingDialog::titleChanged(const QString &text)
{
    const HeadingEditor::Enabling state = m_editor.enabling(text);
    if (m_editor.editMode()) {
        m_okButton->setEnabled(state.ok);
        return;
    }
    m_headingButton->setEnabled(state.heading);
    m_subHeadingButton->setEnabled(state.subHeading);
    if (state.focusTitle)
        m_nameEdit->setFocus();
}

void HeadingDialog::iconChosen(int entry)
{
    if (entry < 0)
        return;
    m_editor.chooseEntry(entry);
    showChosenIcon();
}

void HeadingDialog::showChosenIcon()
{
    const QIcon icon = widgets::HeadingIcons::instance().icon(m_editor.chosenIcon());
    m_iconView->setPixmap(icon.pixmap(QSize(32, 32), devicePixelRatioF()));
}

void HeadingDialog::add(bool asChild)
{
    if (!m_editor.addHeading(m_nameEdit->text(), asChild))
        return;
    // Clearing the box disables both add buttons until the next title.
    m_nameEdit->clear();
}

void HeadingDialog::confirm()
{
    if (m_editor.confirmEdit(m_nameEdit->text()))
        accept();
}

} // namespace quillet::editors
