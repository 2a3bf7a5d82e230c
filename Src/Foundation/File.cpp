#include "Foundation/File.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "Foundation/Directory.h"
#include "Foundation/FileSystemCalls.h"
#include "Foundation/SafeFile.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

// "dir/sub/" and "dir/./sub" both become "dir/sub", so one entry has one text.
FileLocation normalised(const FileLocation& location) {
    FileLocation result = location.lexically_normal();
    if (!result.has_filename() && result.has_relative_path()) result = result.parent_path();
    return result;
}

constexpr int kMostLinks = 40;   // the system's own limit on a chain of links

}   // namespace

File::File(FileLocation location) : location_(normalised(location)) {}

File::~File() = default;

void File::setLocation(FileLocation location) { location_ = normalised(location); }

bool File::isUsableName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

FileLocation File::childLocation(const File& folder, std::string_view name) {
    if (folder.location_.empty() || !isUsableName(name)) return {};
    return folder.location_ / FileLocation(name);
}

bool File::isTaken() const {
    struct stat info {};
    // A name that cannot be looked at may be taken: only ENOENT says it is free.
    return !location_.empty() && (sys::lookAtEntry(location_.c_str(), info) || errno != ENOENT);
}

// --- Names -------------------------------------------------------------------------------------------
String File::getName() const { return String(std::string_view(location_.filename().native())); }

String File::getExtension() const {
    const std::string name = location_.filename().native();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return String();   // ".profile" is a name, not an extension
    return String(std::string_view(name).substr(dot + 1));
}

String File::getPath() const { return String(std::string_view(location_.native())); }

bool File::compareLocation(const File& other) const {
    // Two unusable entries name no entry at all, so they are not the same one.
    return !location_.empty() && location_.native() == other.location_.native();
}

// --- Renaming and moving -----------------------------------------------------------------------------
bool File::relocate(const FileLocation& target) {
    if (!exists()) return false;
    // The system's plain rename replaces an existing file without a word; an entry there must stay,
    // also one that appears in the moment before.
    if (!sys::renameNoReplace(location_.c_str(), target.c_str())) return false;
    location_ = normalised(target);
    return true;
}

bool File::rename(const String& newName) {
    if (location_.empty() || !isUsableName(newName.getView())) return false;
    return relocate(location_.parent_path() / FileLocation(newName.getView()));
}

// --- Links and permissions ---------------------------------------------------------------------------
std::optional<FileLocation> File::followLinks() const {
    if (location_.empty()) {
        errno = EINVAL;
        return std::nullopt;
    }
    FileLocation at = location_;
    for (int links = 0; links <= kMostLinks; ++links) {
        struct stat info {};
        if (!sys::lookAtEntry(at.c_str(), info)) {
            if (errno == ENOENT || errno == ENOTDIR) return at;
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) return at;
        std::string text;
        if (!sys::readLink(at.c_str(), text)) return std::nullopt;
        if (text.empty()) {
            errno = ENOENT;
            return std::nullopt;
        }
        const FileLocation target(text);
        // Not made lexically normal: ".." after a folder that is itself a link means that folder's parent.
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    errno = ELOOP;
    return std::nullopt;
}

bool File::takePermissionsOf(const FileLocation& source) {
    struct stat info {};
    if (!sys::look(source.c_str(), info)) return errno == ENOENT;
    // AT_SYMLINK_NOFOLLOW: a link put in this entry's place is refused, never its target changed.
    if (location_.empty() || !sys::setMode(location_.c_str(), info.st_mode & 0777)) return false;
    // With an access list the mode's group bits are only its mask, wider than the group may be: the list
    // goes along, set after the mode, which it then decides.
    constexpr const char* kAccessList = "system.posix_acl_access";
    std::vector<char> list(256);
    ssize_t size = sys::getAttributeFollowingLinks(source.c_str(), kAccessList, list.data(), list.size());
    if (size < 0 && errno == ERANGE) {
        size = sys::getAttributeFollowingLinks(source.c_str(), kAccessList, nullptr, 0);
        if (size > 0) {
            list.resize(static_cast<std::size_t>(size));
            size = sys::getAttributeFollowingLinks(source.c_str(), kAccessList, list.data(), list.size());
        }
    }
    if (size < 0) return errno == ENODATA || errno == ENOTSUP;
    return sys::setAttribute(location_.c_str(), kAccessList, list.data(), static_cast<std::size_t>(size));
}

bool File::takeOwnerOf(const FileLocation& source) {
    struct stat wanted {};
    if (!sys::look(source.c_str(), wanted)) return errno == ENOENT;
    struct stat own {};
    if (location_.empty() || !sys::lookAtEntry(location_.c_str(), own)) return false;
    if (own.st_uid == wanted.st_uid && own.st_gid == wanted.st_gid) return true;
    // AT_SYMLINK_NOFOLLOW: as above. The system may take a call it cannot fully honour (a file system
    // without owners), so what counts is what the entry has afterwards.
    if (!sys::setOwner(location_.c_str(), wanted.st_uid, wanted.st_gid)) return false;
    return sys::lookAtEntry(location_.c_str(), own) && own.st_uid == wanted.st_uid &&
           own.st_gid == wanted.st_gid;
}

std::optional<std::uint64_t> File::getLinkCount() const {
    struct stat info {};
    if (location_.empty() || !sys::look(location_.c_str(), info)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_nlink);
}

bool File::hasExtendedAttributes() const {
    if (location_.empty()) return false;
    std::vector<char> names(256);
    ssize_t size = -1;
    while ((size = sys::listAttributes(location_.c_str(), names.data(), names.size())) < 0 &&
           errno == ERANGE) {
        const ssize_t needed = sys::listAttributes(location_.c_str(), nullptr, 0);
        if (needed < 0) break;
        names.resize(static_cast<std::size_t>(needed) + 1);
    }
    // Attributes that cannot be listed may be there all the same.
    if (size < 0) return errno != ENOTSUP && errno != ENOENT;
    // The record of a copy that a write into the file keeps is the framework's own, not the file's.
    for (std::string_view rest(names.data(), static_cast<std::size_t>(size)); !rest.empty();) {
        const std::string_view name = rest.substr(0, rest.find('\0'));
        if (!SafeFile::isOwnAttribute(name)) return true;
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
    }
    return false;
}

bool File::move(const Directory& folder) {
    if (location_.empty() || !folder.exists()) return false;
    const FileLocation target = normalised(folder.getLocation() / location_.filename());
    if (target == location_) return exists();   // already there
    return relocate(target);
}

}   // namespace tarnwick
