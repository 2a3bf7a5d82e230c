// FileSystemCalls: the system calls the framework makes on files, each first asked through the host's
// fileOperationFault, so that a test can fail any one of them, or end the run at it, and see what it left.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick::sys {

// As the system's calls of the same names: -1 (or false) with errno on failure, EINTR retried where the
// call may be repeated. A faulted call is not made and fails with the fault's errno. Calls on an open
// file take its path too, for the test that watches them (the system cannot always tell it).
int open(const char* path, int flags, mode_t mode = 0);
// Whether an open with O_TMPFILE failed with error because the file system (or the system) makes no
// files without a name.
bool noUnnamedFiles(int error);
ssize_t read(int descriptor, const char* path, void* bytes, std::size_t count);
ssize_t readAt(int descriptor, const char* path, void* bytes, std::size_t count, off_t offset);
bool writeAll(int descriptor, const char* path, const void* bytes,
              std::size_t count);   // all of them, or false
bool truncate(int descriptor, const char* path, off_t length);
bool rename(const char* from, const char* to);
// Renames only when no entry has the name `to`: EEXIST otherwise, whatever appeared there meanwhile. Where
// the file system cannot rename so, the file is linked to `to` and unlinked at `from`; false with errno,
// and the file at `from` only, when either fails. Where it gives no second names either, `to` is looked
// at and then renamed to (a look that fails fails the rename, with its errno): an entry that takes the
// name in between is replaced.
bool renameNoReplace(const char* from, const char* to);
// The two entries trade names in one step; EINVAL where the file system cannot.
bool exchange(const char* from, const char* to);
bool link(const char* from, const char* to);
// Whether a link failed with error because the file system gives no file a second name (FAT, exFAT, some
// network shares).
bool noSecondNames(int error);
// Gives the open file (made unnamed, O_TMPFILE) the name `to`; EEXIST when it is taken.
bool linkOpen(int descriptor, const char* to);
bool unlink(const char* path);
bool close(int descriptor, const char* path);
// The system's exclusive lock on the open file (flock), taken without waiting; EWOULDBLOCK when another
// holds it.
bool lock(int descriptor, const char* path);
// A new folder at path; EEXIST when the name is taken.
bool makeFolder(const char* path, mode_t mode);
// The mode bits, or the owner and group, of the entry at path itself: a link there is refused, never
// followed.
bool setMode(const char* path, mode_t mode);
bool setOwner(const char* path, uid_t owner, gid_t group);
// Extended attributes of the open file, or (path) of the entry itself, never a link's target.
bool setAttribute(int descriptor, const char* path, const char* name, const void* value, std::size_t size);
bool setAttribute(const char* path, const char* name, const void* value, std::size_t size);
ssize_t getAttribute(const char* path, const char* name, void* value, std::size_t size);
bool removeAttribute(const char* path, const char* name);
// The names of the entry's attributes, each ended by a NUL, as the system lists them.
ssize_t listAttributes(const char* path, char* names, std::size_t size);
// An extended attribute of the file a link at path leads to (the entry itself when it is no link).
ssize_t getAttributeFollowingLinks(const char* path, const char* name, void* value, std::size_t size);
// The open file's position moved as lseek moves it: the new position, or -1 with errno.
off_t seek(int descriptor, const char* path, off_t offset, int whence);
// What the system knows of a file: of the file a link at path leads to (stat), of the entry at path
// itself (lstat), of the open file (fstat). False with errno; only ENOENT means nothing is there.
bool look(const char* path, struct stat& info);
bool lookAtEntry(const char* path, struct stat& info);
bool lookAtOpen(int descriptor, const char* path, struct stat& info);
// The names of the folder's entries but "." and "..", in the order the system lists them; false with errno
// when the folder cannot be opened or read to its end (names then holds what was read).
bool listFolder(const char* path, std::vector<std::string>& names);
// Where the symbolic link at path leads, as the link holds it; false with errno (EINVAL: no link there).
bool readLink(const char* path, std::string& target);
// Whether this process may write the file at path, its access list and a read-only file system counted;
// false with errno when it may not, or cannot tell.
bool mayWrite(const char* path);

}   // namespace tarnwick::sys
