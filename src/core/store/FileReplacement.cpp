// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FileReplacement.h"

#include "core/store/EngineError.h"
#include <QRandomGenerator>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::store {

namespace {

FileReplacement::StepHook &stepHook()
{
    static FileReplacement::StepHook hook;
    return hook;
}

int errorCodeOf(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return EngineErrorCode::DiskFull;
    case EROFS:
    case EACCES:
    case EPERM:
        return EngineErrorCode::ReadOnly;
    case ENOENT:
        return EngineErrorCode::FileNotFound;
    default:
        return EngineErrorCode::Generic;
    }
}

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray nativeName(const QString &path)
{
    return QFile::encodeName(path);
}

// write(2) until every byte went; false with errno set otherwise.
bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Every replacement holds this byte of its work file with an open-file-
// description lock, which no other descriptor's close drops. The engine
// never locks it, nor does a document's hold (0x40000400).
constexpr off_t kWorkFileByte = 0x40000402;
// No replacement runs this long: an older work file that nobody holds was
// left by a run that was killed.
constexpr time_t kLeftoverAgeSeconds = 3600;

struct flock workFileByte(short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = kWorkFileByte;
    lock.l_len = 1;
    return lock;
}

// True for "<destination's name>.NNNNNN.temp", the names createWorkFile uses.
bool isWorkFileOf(const QString &name, const QString &destinationName)
{
    const qsizetype digits = name.size() - destinationName.size() - 6; // "." and ".temp"
    if (digits != 6 || !name.startsWith(destinationName)
        || name.at(destinationName.size()) != QLatin1Char('.')
        || !name.endsWith(QLatin1String(".temp")))
        return false;
    for (qsizetype i = destinationName.size() + 1; i < destinationName.size() + 7; ++i) {
        if (!name.at(i).isDigit())
            return false;
    }
    return true;
}

// Removes the work files of earlier replacements of `destination` that were
// killed before they finished: old, plain files that no process holds.
// Anything in doubt stays.
void removeLeftoverWorkFiles(const QString &destination)
{
    const QFileInfo info(destination);
    const QString name = info.fileName();
    const QDir folder = info.absoluteDir();
    const time_t now = ::time(nullptr);
    for (const QString &entry :
        folder.entryList({QStringLiteral("*.temp")}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (!isWorkFileOf(entry, name))
            continue;
        const QByteArray path = nativeName(folder.filePath(entry));
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)
            || now - st.st_mtime < kLeftoverAgeSeconds)
            continue;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct flock probe = workFileByte(F_WRLCK);
        if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_UNLCK)
            ::unlink(path.constData());
        ::close(fd);
    }
}

// A work file of its own next to `destination`, created exclusively, with the
// destination's permissions when it exists, and held. Returns the descriptor.
int createWorkFile(const QString &destination, QString &work)
{
    struct stat old;
    const bool replacing = ::stat(nativeName(destination).constData(), &old) == 0;
    const mode_t mode = replacing ? (old.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        work = destination
            + QStringLiteral(".%1.temp")
                  .arg(QRandomGenerator::global()->bounded(1000000), 6, 10, QLatin1Char('0'));
        const int fd
            = ::open(nativeName(work).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            // The umask must not make a replaced file less readable than before.
            if (replacing)
                ::fchmod(fd, mode);
            // Where the file system has no such locks, the work file is not
            // held; a later sweep then leaves it alone (see above).
            struct flock hold = workFileByte(F_WRLCK);
            ::fcntl(fd, F_OFD_SETLK, &hold);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

QString finalTarget(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(nativeName(current).constData(), buffer, sizeof buffer);
        if (n < 0 || n >= static_cast<ssize_t>(sizeof buffer))
            return current; // no link (or none that can be read): the file itself
        const QString link = QFile::decodeName(QByteArray(buffer, static_cast<int>(n)));
        current = QDir::isAbsolutePath(link)
            ? link
            : QFileInfo(current).absolutePath() + QLatin1Char('/') + link;
    }
    throw EngineError(
        EngineErrorCode::NotAPath, QStringLiteral("'%1' is a loop of symbolic links.").arg(path));
}

void FileReplacement::setStepHook(StepHook hook)
{
    stepHook() = std::move(hook);
}

FileReplacement::FileReplacement(const QString &target)
    : m_target(target)
    , m_destination(finalTarget(target))
{
    if (QFileInfo(m_destination).isDir())
        throw EngineError(EngineErrorCode::NotAPath,
            QStringLiteral("'%1' is a folder, not a file.").arg(m_target));
    step(Step::Create);
    m_fd = createWorkFile(m_destination, m_work);
    if (m_fd < 0)
        fail(Step::Create, errno);
    removeLeftoverWorkFiles(m_destination);
}

FileReplacement::~FileReplacement()
{
    m_file.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(nativeName(m_work).constData());
}

void FileReplacement::step(Step which)
{
    if (const StepHook &hook = stepHook())
        hook(which, m_destination);
}

void FileReplacement::fail(Step which, int error)
{
    QString text;
    switch (which) {
    case Step::Create:
        text = QStringLiteral("Could not write next to '%1' (%2).");
        break;
    case Step::Write:
        text = QStringLiteral("Could not write '%1' (%2).");
        break;
    case Step::Sync:
        text = QStringLiteral("Could not save '%1' to disk (%2).");
        break;
    case Step::Rename:
        text = QStringLiteral("'%1' could not be replaced (%2).");
        break;
    case Step::SyncFolder:
        text = QStringLiteral("'%1' was replaced, but its folder could not be saved to disk (%2).");
        break;
    }
    throw EngineError(errorCodeOf(error), text.arg(m_target, reasonOf(error)));
}

QIODevice &FileReplacement::device()
{
    if (!m_file) {
        step(Step::Write);
        m_file = std::make_unique<QFile>();
        if (!m_file->open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            fail(Step::Write, EBADF);
    }
    return *m_file;
}

void FileReplacement::write(const QByteArray &bytes)
{
    step(Step::Write);
    if (!writeAll(m_fd, bytes.constData(), bytes.size()))
        fail(Step::Write, errno);
}

void FileReplacement::copyFrom(const QString &source)
{
    step(Step::Write);
    const int in = ::open(nativeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw EngineError(
            errno == ENOENT ? EngineErrorCode::FileNotFound : EngineErrorCode::Generic,
            QStringLiteral("Could not read '%1' (%2).").arg(source, reasonOf(errno)));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(in);
            throw EngineError(EngineErrorCode::Generic,
                QStringLiteral("Could not read '%1' (%2).").arg(source, reasonOf(error)));
        }
        if (n == 0)
            break;
        if (!writeAll(m_fd, buffer, n)) {
            const int error = errno;
            ::close(in);
            fail(Step::Write, error);
        }
    }
    ::close(in);
}

void FileReplacement::syncWorkFile()
{
    if (m_file) {
        // Bytes still in the device's buffer are written now, where a full
        // disk shows.
        if (!m_file->flush())
            fail(Step::Write, errno ? errno : EIO);
        m_file.reset();
    }
    step(Step::Sync);
    if (::fsync(m_fd) != 0)
        fail(Step::Sync, errno);
    const int fd = m_fd;
    m_fd = -1;
    // Some file systems only report a failed write when the file is closed.
    if (::close(fd) != 0)
        fail(Step::Sync, errno);
}

void FileReplacement::commit()
{
    syncWorkFile();
    step(Step::Rename);
    if (::rename(nativeName(m_work).constData(), nativeName(m_destination).constData()) != 0)
        fail(Step::Rename, errno);
    m_committed = true;
    step(Step::SyncFolder);
    const QString folder = QFileInfo(m_destination).absolutePath();
    const int dir = ::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        fail(Step::SyncFolder, errno);
    const int synced = ::fsync(dir);
    const int error = errno;
    ::close(dir);
    if (synced != 0)
        fail(Step::SyncFolder, error);
}

} // namespace quillet::store
