// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/editors/HeadingEditor.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet::outline {
class Workspace;
}

namespace quillet::editors {

// frmNode: adds headings beside or below the current heading (add mode) or
// changes the current heading's title and icon (edit mode).
class HeadingDialog : public QDialog
{
    Q_OBJECT
public:
    HeadingDialog(outline::Workspace &workspace, bool editMode, QWidget *parent = nullptr);

    // Prepares the controls; false when the dialog has nothing to show (edit
    // mode without a current heading) and must not open.
    bool setUp();

    // Sets up and runs the dialog modally.
    static void run(outline::Workspace &workspace, bool editMode, QWidget *parent);

private:
    void titleChanged(const QString &text);
    void iconChosen(int entry);
    void showChosenIcon();
    void add(bool asChild);
    void confirm();

    HeadingEditor m_editor;
    QLabel *m_banner;
    QLineEdit *m_nameEdit;
    QLabel *m_iconView;
    QComboBox *m_iconBox;
    QPushButton *m_headingButton;
    QPushButton *m_subHeadingButton;
    QPushButton *m_okButton;
    QPushButton *m_exitButton;
};

} // namespace quillet::editors
