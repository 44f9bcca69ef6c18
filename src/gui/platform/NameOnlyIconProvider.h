// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileIconProvider>

namespace quillet::platform {

// Icons and type names for the file dialogs, decided by the file's name
// alone. Qt's own provider reads each listed file to guess its type, and a
// descriptor of the open document closed anywhere in the program drops the
// engine's locks on it.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

} // namespace quillet::platform
