// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-cli: Quillet's document commands for scripts, without windows.
#include "core/cli/CliCommands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = quillet::cli::run(app.arguments().mid(1), out, err);
    err.flush();
    return quillet::cli::finishOutput(out, stdout, err, status);
}
