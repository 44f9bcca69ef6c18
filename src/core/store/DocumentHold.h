// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

namespace quillet::store {

// The hold every Quillet process (the window, a second instance, the
// command-line companion) takes on a document before the engine opens it,
// and keeps until the last connection to the file has closed.
//
// The engine's own locks are fcntl locks, which belong to the process: they
// all vanish as soon as the process closes any descriptor of the file (a file
// dialog guessing a file's type, a copy, a check). The hold is a lock of the
// open file description (F_OFD_SETLK) on a descriptor of its own, so nothing
// else the process does with the file can drop it. It locks one byte far from
// the bytes the engine locks (0x40000000 to 0x40000201), so the two kinds
// never meet; unlike flock(), it is also honoured on network file systems.
//
// Within one process a hold is shared: taking it again on the same file
// gives the one already held, and the engine then decides whether a second
// connection may open. Its descriptor is closed only when its last owner
// lets go, after the connections that needed it have closed.
class DocumentHold
{
public:
    // The byte the hold locks.
    static constexpr qint64 kByte = 0x40000400;

    enum class Mode
    {
        Existing,
        CreateNew, // makes the file; fails when it exists
    };

    // Throws EngineError: FileInUse when another process holds the file,
    // DatabaseExists (CreateNew) or FileNotFound when it cannot be opened.
    static std::shared_ptr<DocumentHold> take(const QString &path, Mode mode = Mode::Existing);

    // True when this process holds the file at `path`. Looks at the file's
    // identity only; never opens it.
    static bool isHeldHere(const QString &path);

    ~DocumentHold();
    DocumentHold(const DocumentHold &) = delete;
    DocumentHold &operator=(const DocumentHold &) = delete;

private:
    struct Key
    {
        quint64 device = 0;
        quint64 inode = 0;
        auto operator<=>(const Key &) const = default;
    };
    DocumentHold(Key key, int descriptor);

    Key m_key;
    // Descriptors of the file, closed together at the end: closing one
    // earlier could drop the engine's locks on it.
    std::vector<int> m_descriptors;
};

} // namespace quillet::store
