// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace quillet {
struct WindowSettings;
}

namespace quillet::shell {

// The main window's place and state from config.ini and back.
// The stored place (Top, Left, Width, Height in twips) becomes the window's
// normal geometry at once; iCmdShow 2 maximises it when it is first shown
// (setting the state earlier would create the native window before its
// time).
class WindowPlacement : public QObject
{
public:
    WindowPlacement(QWidget *window, WindowSettings *settings);

    // At shutdown: the normal geometry (so neither maximising nor minimising
    // changes the stored place; a value whose pixels did not change keeps its
    // twips) and iCmdShow 2 for a maximised or minimised window, else 0. A
    // window that was never shown leaves the settings as they were.
    void store();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    WindowSettings *m_settings;
    bool m_shown = false;
};

} // namespace quillet::shell
