// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/favorites/FavoritesFolders.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::favorites {

namespace {

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool isHidden(const QByteArray &name)
{
    return name.startsWith('.');
}

// What an entry is, without following it when it is a link.
enum class EntryType
{
    Folder, // a real folder
    LinkToFolder, // a link whose target is a folder: neither file nor folder
    File, // anything else (a link to a file counts as the file)
    Gone
};

EntryType typeOf(int dirFd, const char *name, unsigned char dType)
{
    if (dType == DT_DIR)
        return EntryType::Folder;
    if (dType != DT_LNK && dType != DT_UNKNOWN)
        return EntryType::File;
    struct stat st;
    if (dType == DT_UNKNOWN) {
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return EntryType::Gone;
        if (S_ISDIR(st.st_mode))
            return EntryType::Folder;
        if (!S_ISLNK(st.st_mode))
            return EntryType::File;
    }
    // A link: a folder behind it makes it a folder link (Windows lists such a
    // junction as a folder with an extra attribute, so it is not "exactly
    // the directory attribute" and not a file either).
    if (::fstatat(dirFd, name, &st, 0) == 0 && S_ISDIR(st.st_mode))
        return EntryType::LinkToFolder;
    return EntryType::File;
}

bool writableFolder(int dirFd, const char *name)
{
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
        return false;
    // Read-only: no write permission for anyone, or none for this user.
    // (The first also holds for root, who may write everywhere.)
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
        && ::faccessat(dirFd, name, W_OK, 0) == 0;
}

// The order the Windows file system lists names in: letter case ignored.
bool listedBefore(const FolderEntry &a, const FolderEntry &b)
{
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.raw < b.raw;
}

struct RawEntry
{
    QByteArray name;
    unsigned char type;
};

// The entries of an open folder except "." and "..".
std::vector<RawEntry> readEntries(DIR *dir)
{
    std::vector<RawEntry> entries;
    while (const dirent *e = ::readdir(dir)) {
        if (!isDotOrDotDot(e->d_name))
            entries.push_back({QByteArray(e->d_name), e->d_type});
    }
    return entries;
}

qint64 listFolder(FolderListing &listing, const EntryVisited &visited)
{
    DIR *dir = ::opendir(listing.path.constData());
    if (!dir) {
        listing.error = errno;
        return 0;
    }
    const int fd = ::dirfd(dir);
    std::vector<std::pair<QByteArray, EntryType>> typed;
    errno = 0; // readdir() tells its end from a failure only by errno
    while (const dirent *e = ::readdir(dir)) {
        if (isDotOrDotDot(e->d_name))
            continue;
        const EntryType type = typeOf(fd, e->d_name, e->d_type);
        if (type == EntryType::File) {
            const QByteArray raw(e->d_name);
            listing.files.push_back({raw, QFile::decodeName(raw)});
        } else if (type == EntryType::Folder && e->d_name[0] != '.'
            && writableFolder(fd, e->d_name)) {
            const QByteArray raw(e->d_name);
            listing.folders.push_back({raw, QFile::decodeName(raw)});
        }
        if (visited)
            visited();
        errno = 0;
    }
    listing.error = errno;
    ::closedir(dir);
    std::sort(listing.files.begin(), listing.files.end(), listedBefore);
    std::sort(listing.folders.begin(), listing.folders.end(), listedBefore);

    qint64 count = qint64(listing.files.size()) + qint64(listing.folders.size());
    listing.children.resize(listing.folders.size());
    for (size_t i = 0; i < listing.folders.size(); ++i) {
        FolderListing &child = listing.children[i];
        child.path = listing.path + listing.folders[i].raw + '/';
        count += listFolder(child, visited);
    }
    return count;
}

// Clears the folder open as `fd` (taken over). Everything goes through the
// descriptor: a name is never looked up along a path again, so a folder
// swapped for a link meanwhile is not followed either.
void clearFolderFd(int fd, const EntryVisited &visited)
{
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const std::vector<RawEntry> entries = readEntries(dir);
    // Steps 1 and 2: every file, hidden or not; a link is a file here,
    // removed itself, whatever it points to.
    std::vector<QByteArray> folders;
    for (const RawEntry &e : entries) {
        bool realFolder = e.type == DT_DIR;
        if (e.type == DT_UNKNOWN) {
            struct stat st;
            realFolder = ::fstatat(fd, e.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
                && S_ISDIR(st.st_mode);
        }
        if (!realFolder)
            ::unlinkat(fd, e.name.constData(), 0);
        else if (!isHidden(e.name)) // step 3: hidden folders are not listed
            folders.push_back(e.name);
        if (visited)
            visited();
    }
    // Step 4: each folder cleared, then removed (which fails, and is skipped,
    // when something stayed inside).
    for (const QByteArray &name : folders) {
        const int sub
            = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub >= 0)
            clearFolderFd(sub, visited);
        ::unlinkat(fd, name.constData(), AT_REMOVEDIR);
    }
    ::closedir(dir);
}

} // namespace

qint64 listFavoritesTree(
    const QByteArray &path, FolderListing &listing, const EntryVisited &visited)
{
    listing = FolderListing();
    listing.path = path.endsWith('/') ? path : path + '/';
    return listFolder(listing, visited);
}

bool isSinglePathComponent(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(u'/') && !name.contains(QChar(0));
}

bool ensureRealFolder(const QByteArray &path)
{
    QByteArray folder = path;
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    struct stat st;
    if (::lstat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (errno != ENOENT)
        return false;
    if (::mkdir(folder.constData(), 0777) == 0)
        return true;
    // Made meanwhile by someone else: fine when it is a real folder.
    return errno == EEXIST && ::lstat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

void clearFolder(const QString &folder, const EntryVisited &visited)
{
    // The Favorites folder itself may be a link (it is the user's setting);
    // nothing below it is followed.
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
        clearFolderFd(fd, visited);
}

} // namespace quillet::favorites
