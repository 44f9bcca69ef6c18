// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/shell/AddRequest.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quillet::shell {

// What `quillet` was asked on its command line. It is read before any window
// or display exists, so --help and --version answer on a bare terminal.
struct ProgramOptions
{
    bool help = false;
    bool version = false;
    QString error; // non-empty: the arguments do not parse
    // The arguments that name the document, in order (the caller joins them
    // as the start-up document's path).
    QStringList documentArguments;
    // --add URL [--title] [--heading], or a quillet: link.
    std::optional<AddRequest> add;
};

// The program's own options; the options Qt's application object takes for
// itself (-platform, -style, ...) are accepted and left to it.
ProgramOptions parseProgramOptions(const QStringList &arguments);

// The --help text ("Usage: quillet [options] [file]" and the options).
QString programHelpText();

// "quillet 3.0": the same form as quillet-cli's.
QString programVersionText();

} // namespace quillet::shell
