// FileIdentity: what a file is, whatever name it has now (its device and inode), and the small steps
// that rest on it: whether a name still holds a file, removing a name only while it does, and the
// system's lock on an open file, taken without waiting.
#pragma once

#include <sys/types.h>
#include <optional>

#include "Foundation/File.h"

namespace tarnwick {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The entry at location itself (a link is not followed); nullopt when there is none (errno ENOENT), or
// when it cannot be looked at (the system's errno): never a name known to be free.
std::optional<FileIdentity> identityAt(const FileLocation& location);
// The same, the two told apart: true, with nothing in found, only where no entry has the name (ENOENT);
// false with errno where it cannot be looked at.
bool identityAt(const FileLocation& location, std::optional<FileIdentity>& found);
// The file open at descriptor (at location, for the seam's watcher); nullopt, with errno, when the system
// cannot tell.
std::optional<FileIdentity> identityOf(int descriptor, const FileLocation& location);
// What a new file that takes the name at location would replace: the entry there itself, in was, when it
// is a regular file or a link (never followed); nullopt when there is none. False, with errno EISDIR (a
// folder) or EEXIST (a pipe, socket or device), when another kind of entry has the name, or the system's
// errno when it cannot be looked at.
bool replaceableAt(const FileLocation& location, std::optional<FileIdentity>& was);

// Whether the entry at location is the file identity names, or the file open at descriptor; false too
// when either cannot be looked at.
bool stillAt(const FileLocation& location, const FileIdentity& identity);
bool stillAt(const FileLocation& location, int descriptor);
// The entry at location removed, only while it is the file identity names. False otherwise, or with the
// system's errno when it cannot be removed.
bool removeIfStill(const FileLocation& location, const FileIdentity& identity);

// The system's exclusive lock on the open file (at location), held through descriptor from now on, when
// no other holds it; never waits. False with errno (EWOULDBLOCK: another holds it; ENOLCK or another:
// the file system gives no locks).
bool lockNow(int descriptor, const FileLocation& location);

}   // namespace tarnwick
