// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::common {

// The application home holds the settings files, the untitled documents
// (_tmp), the pane's html folder, the help-file project and the work files.
// $QUILLET_HOME wins; otherwise $XDG_DATA_HOME/quillet (~/.local/share/quillet).
// The folder is created when missing. The path never ends in a separator.
QString appHome();

// appHome() + "/" + name, for files and folders inside the home.
QString homePath(const QString &name);

} // namespace quillet::common
