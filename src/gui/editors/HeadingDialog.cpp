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

    m_lblTitle = new QLabel(this);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont banner = m_lblTitle->font();
    banner.setBold(true);
    banner.setPointSizeF(banner.pointSizeF() * 1.3);
    m_lblTitle->setFont(banner);

    m_txtHeading = new QLineEdit(this);
    m_txtHeading->setObjectName(QStringLiteral("txtHeading"));
    m_imgIcon = new QLabel(this);
    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_imgIcon->setFixedSize(32, 32);
    m_imgIcon->setAlignment(Qt::AlignCenter);
    m_imgcboIcon = new QComboBox(this);
    m_imgcboIcon->setObjectName(QStringLiteral("imgcbo_Icon"));
    m_imgcboIcon->setIconSize(QSize(16, 16));

    m_cmdHeading = button(QStringLiteral("cmdHeading"), QStringLiteral("Add heading"), this);
    m_cmdSubHeading
        = button(QStringLiteral("cmdSubHeading"), QStringLiteral("Add subHeading"), this);
    m_cmdOK = button(QStringLiteral("cmdOK"), QStringLiteral("&OK"), this);
    m_cmdExit = button(QStringLiteral("cmdExit"), QStringLiteral("Exit"), this);
    m_cmdHeading->setEnabled(false);
    m_cmdSubHeading->setEnabled(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Heading:"), m_txtHeading);
    form->addRow(QStringLiteral("Icon:"), m_imgIcon);
    form->addRow(QStringLiteral("Icon for the category:"), m_imgcboIcon);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {m_cmdHeading, m_cmdSubHeading, m_cmdOK, m_cmdExit})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblTitle);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(m_txtHeading, &QLineEdit::textChanged, this, &HeadingDialog::titleChanged);
    connect(m_imgcboIcon, &QComboBox::activated, this, &HeadingDialog::iconChosen);
    connect(m_cmdHeading, &QPushButton::clicked, this, [this] { add(false); });
    connect(m_cmdSubHeading, &QPushButton::clicked, this, [this] { add(true); });
    connect(m_cmdOK, &QPushButton::clicked, this, &HeadingDialog::confirm);
    connect(m_cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

bool HeadingDialog::setUp()
{
    if (!m_editor.setUp())
        return false;
    m_lblTitle->setText(m_editor.banner());
    if (m_editor.editMode()) {
        m_cmdHeading->hide();
        m_cmdSubHeading->hide();
        m_cmdOK->setDefault(true);
    } else {
        m_cmdOK->hide();
    }
    m_imgcboIcon->clear();
    const widgets::HeadingIcons &icons = widgets::HeadingIcons::instance();
    for (const HeadingEditor::IconEntry &entry : m_editor.iconEntries())
        m_imgcboIcon->addItem(icons.icon(entry.picture), entry.text, entry.key);
    m_imgcboIcon->setCurrentIndex(m_editor.chosenEntry());
    showChosenIcon();
    m_txtHeading->setText(m_editor.initialTitle());
    titleChanged(m_txtHeading->text());
    m_txtHeading->setFocus();
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
        m_cmdOK->setEnabled(state.ok);
        return;
    }
    m_cmdHeading->setEnabled(state.heading);
    m_cmdSubHeading->setEnabled(state.subHeading);
    if (state.focusTitle)
        m_txtHeading->setFocus();
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
    m_imgIcon->setPixmap(icon.pixmap(QSize(32, 32), devicePixelRatioF()));
}

void HeadingDialog::add(bool asChild)
{
    if (!m_editor.addHeading(m_txtHeading->text(), asChild))
        return;
    // Clearing the box disables both add buttons until the next title.
    m_txtHeading->clear();
}

void HeadingDialog::confirm()
{
    if (m_editor.confirmEdit(m_txtHeading->text()))
        accept();
}

} // namespace quillet::editors
