// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/shell/RestoreSession.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quillet::shell {

// frmRestore: the window of RestoreSession. It stays open after a restore;
// "Exit" closes it.
class RestoreDialog : public QDialog
{
    Q_OBJECT
public:
    RestoreDialog(
        outline::Workspace &workspace, DocumentLifecycle &lifecycle, QWidget *parent = nullptr);

    RestoreSession &session() { return m_session; }

private:
    void updateEnabling();
    void chooseSource();
    void chooseFolder();

    RestoreSession m_session;
    QLineEdit *m_sourceEdit = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QCheckBox *m_runAfterBox = nullptr;
    QPushButton *m_folderButton = nullptr;
    QPushButton *m_startButton = nullptr;
};

} // namespace quillet::shell
