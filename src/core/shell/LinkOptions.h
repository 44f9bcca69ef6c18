// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/shell/AddRequest.h"

#include <QStringList>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace quillet::shell {

// The command line's ways to hand Quillet a link: `--add URL [--title TEXT]
// [--heading PATH]`, or a quillet: link as the desktop's URL handler passes it.
void addLinkOptions(QCommandLineParser &parser);

struct LinkArguments
{
    std::optional<AddRequest> request;
    QString error; // the arguments do not make one request
    // The positional arguments that are no quillet: link; file: URLs (a
    // desktop entry's %u) as local paths.
    QStringList documentArguments;
};

// Reads what addLinkOptions added from a parser that has parsed.
LinkArguments linkArguments(const QCommandLineParser &parser);

// argv without the link options and quillet: links, for the application
// object: Qt would take "--title" for its own.
std::vector<char *> withoutLinkArguments(int argc, char **argv);

} // namespace quillet::shell
