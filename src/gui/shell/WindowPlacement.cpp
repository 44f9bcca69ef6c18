// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/WindowPlacement.h"

#include "core/outline/ClientLayout.h"
#include "core/settings/Settings.h"
#include "core/shell/ScreenFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quillet::shell {

using outline::toPixels;
using outline::toTwips;

WindowPlacement::WindowPlacement(QWidget *window, WindowSettings *settings)
    : QObject(window)
    , m_window(window)
    , m_settings(settings)
{
    // The stored place may come from another set of screens, or from a
    // hand-edited file: it is put where the user can reach it.
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect stored(toPixels(settings->left), toPixels(settings->top), toPixels(settings->width),
        toPixels(settings->height));
    window->setGeometry(fitToScreens(stored, screens, window->minimumSize()));
    window->installEventFilter(this);
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    // The show event comes before the window is mapped.
    if (watched == m_window && event->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        if (m_settings->cmdShow == 2)
            m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    }
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::store()
{
    if (!m_shown)
        return;
    const QRect normal = m_window->normalGeometry();
    if (normal.isValid()) {
        auto store = [](int &twips, int pixels) {
            if (toPixels(twips) != pixels)
                twips = toTwips(pixels);
        };
        store(m_settings->top, normal.top());
        store(m_settings->left, normal.left());
        store(m_settings->width, normal.width());
        store(m_settings->height, normal.height());
    }
    m_settings->cmdShow = m_window->isMaximized() || m_window->isMinimized() ? 2 : 0;
}

} // namespace quillet::shell
