// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

namespace quillet::widgets {

// Keeps a widget from redrawing while it lives, so a list that changes row
// by row is drawn once at the end. A widget already frozen, or none, is left
// as it is.
class FrozenUpdates
{
public:
    explicit FrozenUpdates(QWidget *widget)
    {
        if (widget && widget->updatesEnabled()) {
            m_widget = widget;
            widget->setUpdatesEnabled(false);
        }
    }
    ~FrozenUpdates()
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(true);
    }
    FrozenUpdates(const FrozenUpdates &) = delete;
    FrozenUpdates &operator=(const FrozenUpdates &) = delete;

private:
    QPointer<QWidget> m_widget;
};

} // namespace quillet::widgets
