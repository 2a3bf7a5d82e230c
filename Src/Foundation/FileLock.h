// FileLock: an exclusive lock that runs of this program (in any process) take on a lock file in a folder,
// so that what one of them reads, changes and writes back is not changed by another meanwhile.
#pragma once

#include <chrono>
#include <memory>

#include "Foundation/File.h"

namespace tarnwick {

class Directory;
class String;

// Owned by the caller; not copyable. Held until destroyed, which deletes the lock file (while still
// holding it, so that a run waiting on the deleted file knows to start again on a new one).
class FileLock {
public:
    // The lock on the file called name in folder, made there when missing: a regular file only, never
    // through a link. Waits up to patience for another holder to let go. Null when the name is unusable,
    // the file cannot be made or opened, or the wait ran out.
    static std::unique_ptr<FileLock> acquire(const Directory& folder, const String& name,
                                             std::chrono::milliseconds patience);
    ~FileLock();

    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    FileLock(FileLocation location, int descriptor);

    FileLocation location_;
    int descriptor_;   // the open lock file, which holds the lock
};

}   // namespace tarnwick
