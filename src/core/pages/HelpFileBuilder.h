// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::pages {

// "Create chm file" (miTMakeCHM): compiles the whole document into a help
// file with chmcmd, copies it to the desktop folder and opens that folder.
class HelpFileBuilder
{
public:
    explicit HelpFileBuilder(outline::Workspace &workspace)
        : m_ws(workspace)
    {
    }

    // How long the compiler may run before it is stopped.
    int compileTimeoutMs = 30 * 60 * 1000;

    void makeChmFile();

    // What became of a compiler run.
    enum class Compiled
    {
        Done, // a non-empty help file and no "Error:" line
        NotStarted,
        Failed,
        TimedOut
    };
    // Runs `compiler` on "favorites.hhp" in `folder` and waits for it, the
    // windows repainting meanwhile, judging by the file `helpFile` it leaves.
    static Compiled compile(
        const QString &compiler, const QString &folder, const QString &helpFile, int timeoutMs);

    // Puts a copy of the compiled `helpFile` at `target` (the desktop's copy),
    // replacing an earlier one only once the copy is whole. Throws
    // store::EngineError saying what failed.
    static void copyHelpFile(const QString &helpFile, const QString &target);

private:
    // The compiler to run; empty when none was found or chosen.
    QString findCompiler();

    outline::Workspace &m_ws;
};

} // namespace quillet::pages
