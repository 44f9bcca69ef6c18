// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace quillet::shell {

// The document path given on the command line: the arguments after the
// program name joined by blanks, with every double quote removed. Empty when
// there is none.
QString commandLineDocument(const QStringList &arguments);

// How the first document is chosen.
enum class StartupChoice
{
    CommandLineFile, // the command-line file exists: load it
    Untitled, // LoadMethods 0: an empty untitled document
    ImportFavorites, // LoadMethods 1
    DefaultFile, // LoadMethods 2: load [Startup] File
};

StartupChoice chooseStartupDocument(const QString &commandLinePath, int loadMethods);

} // namespace quillet::shell
