#include "Foundation/FileSystemCalls.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>   // renameat2
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <HostFiles.h>

#include "Foundation/FileIdentity.h"

namespace tarnwick::sys {
namespace {

using host::FileOperation;

// False, with errno set, when the test's watcher fails the operation.
bool allowed(FileOperation operation, const char* path) {
    const int fault = host::fileOperationFault(operation, path);
    if (fault == 0) return true;
    errno = fault;
    return false;
}

}   // namespace

int open(const char* path, int flags, mode_t mode) {
    if (!allowed((flags & O_TMPFILE) == O_TMPFILE ? FileOperation::openUnnamed : FileOperation::open, path))
        return -1;
    int descriptor = -1;
    while ((descriptor = ::open(path, flags, mode)) < 0 && errno == EINTR) {
    }
    return descriptor;
}

bool noUnnamedFiles(int error) {
    // EISDIR: a system older than the flag takes it for a folder opened to write.
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

ssize_t read(int descriptor, const char* path, void* bytes, std::size_t count) {
    if (!allowed(FileOperation::read, path)) return -1;
    ssize_t got = -1;
    while ((got = ::read(descriptor, bytes, count)) < 0 && errno == EINTR) {
    }
    return got;
}

ssize_t readAt(int descriptor, const char* path, void* bytes, std::size_t count, off_t offset) {
    if (!allowed(FileOperation::read, path)) return -1;
    ssize_t got = -1;
    while ((got = ::pread(descriptor, bytes, count, offset)) < 0 && errno == EINTR) {
    }
    return got;
}

bool writeAll(int descriptor, const char* path, const void* bytes, std::size_t count) {
    if (!allowed(FileOperation::write, path)) return false;
    const auto* next = static_cast<const char*>(bytes);
    while (count != 0) {
        const ssize_t put = ::write(descriptor, next, count);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        if (put == 0) {
            errno = EIO;
            return false;
        }
        next += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

bool truncate(int descriptor, const char* path, off_t length) {
    if (!allowed(FileOperation::truncate, path)) return false;
    int result = -1;
    while ((result = ::ftruncate(descriptor, length)) != 0 && errno == EINTR) {
    }
    return result == 0;
}

bool rename(const char* from, const char* to) {
    return allowed(FileOperation::rename, to) && ::rename(from, to) == 0;
}

bool renameNoReplace(const char* from, const char* to) {
    if (allowed(FileOperation::renameNoReplace, to) &&
        ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: link refuses a taken name as well, then the old name goes. Where it
    // cannot go, the new name goes again (while it is still this file), so that the file keeps the one
    // name it had. A run stopped between the two leaves the file with both. With no second names either,
    // the name is looked at, then renamed to: what takes it in between is replaced. Where the look fails,
    // nothing is renamed.
    if (!link(from, to)) {
        if (!noSecondNames(errno)) return false;
        // A name that cannot be looked at may be taken: only ENOENT says it is free.
        std::optional<FileIdentity> taken;
        if (!identityAt(to, taken)) return false;
        if (taken) {
            errno = EEXIST;
            return false;
        }
        return rename(from, to);
    }
    if (unlink(from)) return true;
    const int error = errno;
    if (const std::optional<FileIdentity> kept = identityAt(from)) removeIfStill(to, *kept);
    errno = error;
    return false;
}

bool exchange(const char* from, const char* to) {
    return allowed(FileOperation::exchange, to) &&
           ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0;
}

bool link(const char* from, const char* to) {
    return allowed(FileOperation::link, to) && ::link(from, to) == 0;
}

bool noSecondNames(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS; }

bool linkOpen(int descriptor, const char* to) {
    if (!allowed(FileOperation::link, to)) return false;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
    return ::linkat(AT_FDCWD, path, AT_FDCWD, to, AT_SYMLINK_FOLLOW) == 0;
}

bool unlink(const char* path) { return allowed(FileOperation::unlink, path) && ::unlink(path) == 0; }

bool close(int descriptor, const char* path) {
    const bool faulted = !allowed(FileOperation::close, path);
    const int error = errno;
    // Closed all the same: a descriptor that failed to close is gone too.
    const bool closed = ::close(descriptor) == 0;
    if (faulted) errno = error;
    return closed && !faulted;
}

bool lock(int descriptor, const char* path) {
    if (!allowed(FileOperation::lock, path)) return false;
    int result = -1;
    while ((result = ::flock(descriptor, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    return result == 0;
}

bool makeFolder(const char* path, mode_t mode) {
    return allowed(FileOperation::makeFolder, path) && ::mkdir(path, mode) == 0;
}

bool setMode(const char* path, mode_t mode) {
    return allowed(FileOperation::permissions, path) &&
           ::fchmodat(AT_FDCWD, path, mode, AT_SYMLINK_NOFOLLOW) == 0;
}

bool setOwner(const char* path, uid_t owner, gid_t group) {
    return allowed(FileOperation::permissions, path) &&
           ::fchownat(AT_FDCWD, path, owner, group, AT_SYMLINK_NOFOLLOW) == 0;
}

bool setAttribute(int descriptor, const char* path, const char* name, const void* value, std::size_t size) {
    return allowed(FileOperation::attribute, path) && ::fsetxattr(descriptor, name, value, size, 0) == 0;
}

bool setAttribute(const char* path, const char* name, const void* value, std::size_t size) {
    return allowed(FileOperation::attribute, path) && ::lsetxattr(path, name, value, size, 0) == 0;
}

ssize_t getAttribute(const char* path, const char* name, void* value, std::size_t size) {
    if (!allowed(FileOperation::attribute, path)) return -1;
    return ::lgetxattr(path, name, value, size);
}

bool removeAttribute(const char* path, const char* name) {
    return allowed(FileOperation::attribute, path) && ::lremovexattr(path, name) == 0;
}

ssize_t listAttributes(const char* path, char* names, std::size_t size) {
    if (!allowed(FileOperation::attribute, path)) return -1;
    return ::llistxattr(path, names, size);
}

ssize_t getAttributeFollowingLinks(const char* path, const char* name, void* value, std::size_t size) {
    if (!allowed(FileOperation::attribute, path)) return -1;
    return ::getxattr(path, name, value, size);
}

off_t seek(int descriptor, const char* path, off_t offset, int whence) {
    if (!allowed(FileOperation::seek, path)) return -1;
    return ::lseek(descriptor, offset, whence);
}

bool look(const char* path, struct stat& info) {
    return allowed(FileOperation::look, path) && ::stat(path, &info) == 0;
}

bool lookAtEntry(const char* path, struct stat& info) {
    return allowed(FileOperation::look, path) && ::lstat(path, &info) == 0;
}

bool lookAtOpen(int descriptor, const char* path, struct stat& info) {
    return allowed(FileOperation::look, path) && ::fstat(descriptor, &info) == 0;
}

bool listFolder(const char* path, std::vector<std::string>& names) {
    if (!allowed(FileOperation::listFolder, path)) return false;
    DIR* const entries = ::opendir(path);
    if (entries == nullptr) return false;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* const entry = ::readdir(entries);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(entries);
    errno = error;
    return error == 0;
}

bool readLink(const char* path, std::string& target) {
    if (!allowed(FileOperation::readLink, path)) return false;
    std::vector<char> bytes(256);
    for (;;) {
        const ssize_t got = ::readlink(path, bytes.data(), bytes.size());
        if (got < 0) return false;
        // A target as long as the room may have been cut: asked again with more.
        if (static_cast<std::size_t>(got) < bytes.size()) {
            target.assign(bytes.data(), static_cast<std::size_t>(got));
            return true;
        }
        bytes.resize(bytes.size() * 2);
    }
}

bool mayWrite(const char* path) { return allowed(FileOperation::access, path) && ::access(path, W_OK) == 0; }

}   // namespace tarnwick::sys
