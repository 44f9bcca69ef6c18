// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

class QTextStream;

namespace quillet::cli {

// Exit statuses of quillet-cli; scripts tell the cases apart by them.
enum ExitStatus : int
{
    Success = 0,
    NothingFound = 1, // find listed no bookmark
    LinksDead = 1, // check-links found a dead link
    UsageError = 2, // a bad command line; the usage is printed
    DocumentInUse = 3, // Quillet or another program holds the document open
    Failed = 4, // anything else: a missing or foreign file, an engine or file error
    UnsavedWork = 5, // a write refused: the document holds a crashed session's unsaved work
};

// The text of --help.
QString usageText();

// Runs one quillet-cli command line (`arguments` without the program name).
// Bookmarks and --help go to `out`, messages to `err`. Returns the exit
// status.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// Flushes `out` and closes `stream` under it (standard output), checking
// both: output lost on a full disk or a closed pipe is a failure, said on
// `err`. Returns `status`, or Failed when any write failed.
int finishOutput(QTextStream &out, std::FILE *stream, QTextStream &err, int status);

} // namespace quillet::cli
