// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/DocumentHold.h"

#include "core/store/EngineError.h"

#include <QFile>
#include <QMutex>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::store {

namespace {

struct Registry
{
    QMutex mutex;
    std::map<std::pair<quint64, quint64>, std::weak_ptr<DocumentHold>> holds;
};

Registry &registry()
{
    static Registry r;
    return r;
}

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Locks the hold's byte on `fd`: 0 when taken, else the errno.
int lockByte(int fd, short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = DocumentHold::kByte;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

} // namespace

DocumentHold::DocumentHold(Key key, int descriptor)
    : m_key(key)
    , m_descriptors {descriptor}
{
}

DocumentHold::~DocumentHold()
{
    Registry &r = registry();
    QMutexLocker locker(&r.mutex);
    const auto it = r.holds.find({m_key.device, m_key.inode});
    if (it != r.holds.end() && it->second.expired())
        r.holds.erase(it);
    for (int fd : m_descriptors)
        ::close(fd);
}

std::shared_ptr<DocumentHold> DocumentHold::take(const QString &path, Mode mode)
{
    const QByteArray name = QFile::encodeName(path);
    Registry &r = registry();
    QMutexLocker locker(&r.mutex);
    struct stat st = {};
    if (mode == Mode::Existing && ::stat(name.constData(), &st) == 0) {
        const auto it = r.holds.find({st.st_dev, st.st_ino});
        if (it != r.holds.end())
            if (std::shared_ptr<DocumentHold> held = it->second.lock())
                return held;
    }

    const int create = mode == Mode::CreateNew ? O_CREAT | O_EXCL : 0;
    int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | create, 0644);
    short type = F_WRLCK;
    if (fd < 0 && mode == Mode::Existing && (errno == EACCES || errno == EROFS)) {
        // A file this process may only read still gets a hold, so a writer
        // elsewhere is refused while it is looked at; the engine then
        // refuses it for writing.
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        type = F_RDLCK;
    }
    if (fd < 0) {
        const int error = errno;
        if (error == EEXIST)
            throw EngineError(EngineErrorCode::DatabaseExists,
                QStringLiteral("Database '%1' already exists.").arg(path));
        throw EngineError(EngineErrorCode::FileNotFound,
            QStringLiteral("Could not open '%1' (%2).").arg(path, reasonOf(error)));
    }
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        throw EngineError(EngineErrorCode::FileNotFound,
            QStringLiteral("Could not open '%1' (%2).").arg(path, reasonOf(error)));
    }
    const std::pair<quint64, quint64> key {st.st_dev, st.st_ino};
    const auto it = r.holds.find(key);
    if (it != r.holds.end()) {
        if (std::shared_ptr<DocumentHold> held = it->second.lock()) {
            // The name moved onto a file held here between the two looks;
            // this descriptor may only close with the others.
            held->m_descriptors.push_back(fd);
            return held;
        }
    }
    const int error = lockByte(fd, type);
    if (error == EAGAIN || error == EACCES) {
        // Nothing of this process has the file open: closing drops nothing.
        ::close(fd);
        throw EngineError(EngineErrorCode::FileInUse,
            QStringLiteral("Could not use '%1'; file already in use.").arg(path));
    }
    // Any other error means a file system without such locks (or a kernel
    // before 3.15): the engine's own locks are all there is, as before.
    std::shared_ptr<DocumentHold> hold(new DocumentHold({key.first, key.second}, fd));
    r.holds[key] = hold;
    return hold;
}

bool DocumentHold::isHeldHere(const QString &path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    Registry &r = registry();
    QMutexLocker locker(&r.mutex);
    const auto it = r.holds.find({st.st_dev, st.st_ino});
    return it != r.holds.end() && !it->second.expired();
}

} // namespace quillet::store
