// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/OptionsDialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quillet::settings {

namespace {

template<typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The tab strip's frames: 6000 x 3400 twips.
constexpr int kFrameWidth = 6000 / 15;
constexpr int kFrameHeight = 3400 / 15;

} // namespace

OptionsDialog::OptionsDialog(OptionSettings &options, platform::FileDialogs *dialogs, QWidget *tree,
    QWidget *list, QWidget *parent)
    : QDialog(parent)
    , m_editor(options, dialogs)
    , m_tree(tree)
    , m_list(list)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("Options"));
    auto *layout = new QVBoxLayout(this);
    m_tabOption = named(new QTabWidget(this), "tabOption");
    m_tabOption->addTab(buildFontPage(), QStringLiteral("Font Setting"));
    m_tabOption->addTab(buildStartupPage(), QStringLiteral("Load on Startup"));
    m_tabOption->addTab(buildLocationPage(), QStringLiteral("Image Folder"));
    layout->addWidget(m_tabOption);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *apply = named(new QPushButton(QStringLiteral("Apply"), this), "cmdApply");
    auto *cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(apply, &QPushButton::clicked, this, &OptionsDialog::applyAndClose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The font boxes start from the tree's font, then the stored options.
    m_filling = true;
    m_fontNameBox->addItems(QFontDatabase::families());
    m_fontSizeBox->addItems(OptionsEditor::fontSizes());
    const QFont treeFont = m_tree ? m_tree->font() : font();
    m_fontNameBox->setCurrentText(treeFont.family());
    m_fontSizeBox->setCurrentText(QString::number(int(treeFont.pointSizeF())));
    m_sample->setFont(treeFont);
    m_filling = false;
    const int first = m_editor.firstTab();
    m_tabOption->setCurrentIndex(first);
    showTab(first);
    connect(m_tabOption, &QTabWidget::currentChanged, this, &OptionsDialog::showTab);
}

QWidget *OptionsDialog::buildFontPage()
{
    auto *page = named(new QFrame, "fraFont");
    page->setMinimumSize(kFrameWidth, kFrameHeight);
    auto *grid = new QGridLayout(page);
    m_fontNameBox = named(new QComboBox(page), "cboFontName");
    m_fontNameBox->setEditable(true);
    m_fontSizeBox = named(new QComboBox(page), "cboFontSize");
    m_fontSizeBox->setEditable(true);
    grid->addWidget(
        named(new QLabel(QStringLiteral("Interface font:"), page), "lblFontName"), 0, 0);
    grid->addWidget(m_fontNameBox, 0, 1);
    grid->addWidget(named(new QLabel(QStringLiteral("Size:"), page), "lblFontSize"), 0, 2);
    grid->addWidget(m_fontSizeBox, 0, 3);
    grid->addWidget(named(new QLabel(QStringLiteral("Sample:"), page), "lblFig"), 1, 0);
    auto *container = named(new QFrame(page), "lblContainer");
    container->setFrameShape(QFrame::StyledPanel);
    auto *centred = new QVBoxLayout(container);
    m_sample = named(new QLabel(QStringLiteral("ABCXYZabcxyz"), container), "lblSample");
    centred->addWidget(m_sample, 0, Qt::AlignCenter);
    grid->addWidget(container, 2, 0, 1, 4);
    auto *useDefault = named(new QPushButton(QStringLiteral("&Use default"), page), "cmdDefault");
    grid->addWidget(useDefault, 3, 3);
    grid->setRowStretch(2, 1);

    connect(m_fontNameBox, &QComboBox::currentTextChanged, this, [this](const QString &name) {
        if (m_filling)
            return;
        m_editor.copy.fontName = name;
        QFont sample = m_sample->font();
        sample.setFamily(name);
        m_sample->setFont(sample);
    });
    connect(m_fontSizeBox, &QComboBox::currentTextChanged, this, [this](const QString &size) {
        if (m_filling)
            return;
        m_editor.copy.fontSize = size;
        bool ok = false;
        const double points = size.trimmed().toDouble(&ok);
        if (ok && points > 0) {
            QFont sample = m_sample->font();
            sample.setPointSizeF(points);
            m_sample->setFont(sample);
        }
    });
    connect(useDefault, &QPushButton::clicked, this, &OptionsDialog::useDefaultFont);
    return page;
}

QWidget *OptionsDialog::buildStartupPage()
{
    auto *page = named(new QFrame, "fraStartup");
    auto *layout = new QVBoxLayout(page);
    const char *const names[] = {"optNull", "optFavorites", "optDefault"};
    const QString texts[] = {QStringLiteral("Null"), QStringLiteral("Import IE Favorites"),
        QStringLiteral("Load default file (.rdb)")};
    for (int i = 0; i < 3; ++i) {
        m_startupChoices[i] = named(new QRadioButton(texts[i], page), names[i]);
        layout->addWidget(m_startupChoices[i]);
        connect(m_startupChoices[i], &QRadioButton::clicked, this, [this, i] { chooseStartup(i); });
    }
    auto *file = new QHBoxLayout;
    m_fileEdit = named(new QLineEdit(page), "txtFile");
    m_fileButton = named(new QPushButton(QStringLiteral("..."), page), "cmdFile");
    file->addWidget(m_fileEdit);
    file->addWidget(m_fileButton);
    layout->addLayout(file);
    layout->addStretch();
    connect(m_fileEdit, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_editor.copy.startupFile = text; });
    connect(m_fileButton, &QPushButton::clicked, this, [this] {
        if (m_editor.chooseDefaultFile())
            m_fileEdit->setText(m_editor.copy.startupFile);
    });
    return page;
}

QWidget *OptionsDialog::buildLocationPage()
{
    auto *page = named(new QFrame, "fraLocation");
    auto *grid = new QGridLayout(page);
    m_pathEdit = named(new QLineEdit(page), "txtPath");
    auto *cmdPath = named(new QPushButton(QStringLiteral("..."), page), "cmdPath");
    grid->addWidget(named(new QLabel(QStringLiteral("Location:"), page), "lblLocation"), 0, 0);
    grid->addWidget(m_pathEdit, 0, 1);
    grid->addWidget(cmdPath, 0, 2);
    grid->addWidget(
        named(new QLabel(QStringLiteral("Notes:"), page), "lblHeading"), 1, 0, Qt::AlignTop);
    auto *note = named(new QLabel(QStringLiteral("The assigned folder is used for storing snaped "
                                                 "pictures. The action cannot move pictures "
                                                 "automatically,  and you need move them to the "
                                                 "new folder manually."),
                           page),
        "lblNote");
    note->setWordWrap(true);
    grid->addWidget(note, 1, 1, 1, 2);
    grid->setRowStretch(2, 1);
    connect(m_pathEdit, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_editor.copy.imageFolder = text; });
    connect(cmdPath, &QPushButton::clicked, this, [this] {
        if (m_editor.chooseImageFolder())
            m_pathEdit->setText(m_editor.copy.imageFolder);
    });
    return page;
}

void OptionsDialog::showTab(int index)
{
    const auto tab = static_cast<OptionsEditor::Tab>(index);
    m_editor.showTab(tab);
    if (tab == OptionsEditor::FontTab)
        showFontBoxes();
    else if (tab == OptionsEditor::StartupTab)
        showStartup();
    else
        m_pathEdit->setText(m_editor.copy.imageFolder);
}

void OptionsDialog::showFontBoxes()
{
    // Unset options leave the boxes at the tree's font.
    if (!m_editor.copy.fontName.isEmpty())
        m_fontNameBox->setCurrentText(m_editor.copy.fontName);
    if (!m_editor.copy.fontSize.isEmpty()) {
        bool ok = false;
        const double size = m_editor.copy.fontSize.trimmed().toDouble(&ok);
        m_fontSizeBox->setCurrentText(ok ? QString::number(size) : m_editor.copy.fontSize);
    }
}

void OptionsDialog::showStartup()
{
    const int choice = m_editor.copy.loadMethods;
    if (choice >= 0 && choice < 3)
        m_startupChoices[choice]->setChecked(true);
    const bool enabled = m_editor.fileBoxEnabled();
    m_fileEdit->setEnabled(enabled);
    m_fileButton->setEnabled(enabled);
    QPalette palette = m_fileEdit->palette();
    palette.setColor(
        QPalette::Base, enabled ? QColor(255, 255, 255) : this->palette().color(QPalette::Window));
    m_fileEdit->setPalette(palette);
    m_fileEdit->setText(m_editor.copy.startupFile);
}

void OptionsDialog::chooseStartup(int choice)
{
    m_editor.copy.loadMethods = choice;
    showStartup();
}

void OptionsDialog::useDefaultFont()
{
    // The boxes show the window's own font; the sample stays as it was.
    const QFont own = font();
    m_filling = true;
    m_fontNameBox->setCurrentText(own.family());
    m_fontSizeBox->setCurrentText(QString::number(int(own.pointSizeF())));
    m_filling = false;
    m_editor.copy.fontName = m_fontNameBox->currentText();
    m_editor.copy.fontSize = m_fontSizeBox->currentText();
}

void OptionsDialog::applyAndClose()
{
    const OptionsEditor::FontChange change = m_editor.apply();
    if (m_tree && m_list) {
        QFont treeFont = m_tree->font();
        if (change.name)
            treeFont.setFamily(m_editor.copy.fontName);
        bool ok = false;
        const double points = m_editor.copy.fontSize.trimmed().toDouble(&ok);
        // A size that is no number is stored but not applied.
        if (change.size && ok && points > 0)
            treeFont.setPointSizeF(points);
        m_tree->setFont(treeFont);
        m_list->setFont(treeFont);
    }
    accept();
}

} // namespace quillet::settings
