#include "Foundation/FileIdentity.h"

#include <cerrno>

#include <sys/stat.h>

#include "Foundation/FileSystemCalls.h"

namespace tarnwick {

std::optional<FileIdentity> identityAt(const FileLocation& location) {
    struct stat info {};
    if (location.empty()) {
        errno = ENOENT;
        return std::nullopt;
    }
    if (!sys::lookAtEntry(location.c_str(), info)) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

bool identityAt(const FileLocation& location, std::optional<FileIdentity>& found) {
    found = identityAt(location);
    return found || errno == ENOENT;
}

std::optional<FileIdentity> identityOf(int descriptor, const FileLocation& location) {
    struct stat info {};
    if (!sys::lookAtOpen(descriptor, location.c_str(), info)) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

bool replaceableAt(const FileLocation& location, std::optional<FileIdentity>& was) {
    was.reset();
    struct stat info {};
    if (location.empty()) {
        errno = EINVAL;
        return false;
    }
    if (!sys::lookAtEntry(location.c_str(), info)) return errno == ENOENT;
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EEXIST;
        return false;
    }
    was = FileIdentity{info.st_dev, info.st_ino};
    return true;
}

bool stillAt(const FileLocation& location, const FileIdentity& identity) {
    return identityAt(location) == identity;
}

bool stillAt(const FileLocation& location, int descriptor) {
    const std::optional<FileIdentity> open = identityOf(descriptor, location);
    return open && stillAt(location, *open);
}

bool removeIfStill(const FileLocation& location, const FileIdentity& identity) {
    return stillAt(location, identity) && sys::unlink(location.c_str());
}

bool lockNow(int descriptor, const FileLocation& location) { return sys::lock(descriptor, location.c_str()); }

}   // namespace tarnwick
