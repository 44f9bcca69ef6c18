// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/SystemClipboard.h"

namespace quillet::platform {

// The system clipboard through QGuiApplication::clipboard().
class QtSystemClipboard : public SystemClipboard
{
public:
    const QMimeData *content() const override;
    void setContent(QMimeData *data) override;
};

} // namespace quillet::platform
