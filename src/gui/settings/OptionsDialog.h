// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/OptionsEditor.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace quillet::settings {

// frmOption: the window of OptionsEditor. Apply stores what changed and puts
// a changed font on the heading tree and the bookmark list at once.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    OptionsDialog(OptionSettings &options, platform::FileDialogs *dialogs, QWidget *tree,
        QWidget *list, QWidget *parent = nullptr);

    OptionsEditor &editor() { return m_editor; }

private:
    QWidget *buildFontPage();
    QWidget *buildStartupPage();
    QWidget *buildLocationPage();
    void showTab(int index);
    void showFontBoxes();
    void showStartup();
    void chooseStartup(int choice);
    void useDefaultFont();
    void applyAndClose();

    OptionsEditor m_editor;
    QWidget *m_tree;
    QWidget *m_list;
    bool m_filling = false;
    QTabWidget *m_tabOption = nullptr;
    QComboBox *m_fontNameBox = nullptr;
    QComboBox *m_fontSizeBox = nullptr;
    QLabel *m_sample = nullptr;
    QRadioButton *m_startupChoices[3] = {};
    QLineEdit *m_fileEdit = nullptr;
    QPushButton *m_fileButton = nullptr;
    QLineEdit *m_pathEdit = nullptr;
};

} // namespace quillet::settings
