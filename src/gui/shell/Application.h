// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace quillet::shell {

// The start-up sequence: single instance, picture codecs, splash window,
// main window with the first document; then the event loop. Returns the
// process exit code.
int runApplication(int argc, char **argv);

} // namespace quillet::shell
