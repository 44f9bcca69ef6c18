// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/MessageBoxes.h"

class QWidget;

namespace quillet::platform {

// Message boxes shown with QMessageBox over the main window.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *owner = nullptr)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget *owner) { m_owner = owner; }
    MessageAnswer show(const QString &text, MessageIcon icon, MessageButtons buttons,
        const QString &title) override;

private:
    QWidget *m_owner;
};

} // namespace quillet::platform
