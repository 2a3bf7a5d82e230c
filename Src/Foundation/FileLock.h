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
// holding it, so that a run waiting on the deleted file knows to start again on a new one). A lock file
// is made whole, holding a line that says what it is, and that line is on the disk before it takes its
// name; a file at that name holding anything but that line, or what a power cut leaves of it (nothing, a
// beginning of it, zeros), is someone else's and is never opened for writing, taken over or deleted.
// Where the file system gives no file a second name, the lock file is made at its name itself and locked
// before it holds anything, its line on the disk before the lock is had.
class FileLock {
public:
    // Why a lock could not be had.
    enum class Reason {
        none,
        held,       // another holder kept it for the whole wait
        folder,     // a folder has the lock file's name
        link,       // a link has it (never followed)
        notAFile,   // another kind of entry has it: a pipe, a device, ...
        notALock,   // a file that no lock made has it
        denied,     // the system refused this user: a new file in the folder, or opening the lock file
        failed,     // the system refused for another reason: systemError
        badName,    // the name is unusable or the folder has no location
    };
    struct Refusal {
        Reason reason = Reason::none;
        int systemError = 0;   // errno, for failed (and denied)
    };

    // The lock on the file called name in folder, made there when missing, never through a link. Waits
    // up to patience for another holder to let go; a lock file that no one holds, left by a run that ended
    // without letting go or by a power cut, is removed at once by its identity (while this run holds it)
    // and replaced by this run's own, and the passing lock files beside it of runs that ended while they
    // waited ("<name>.<process>-<n>", holding the lock line, held by no one) are removed once the lock is
    // had. Null when it cannot be had, with why in refusal (when given): only held comes from waiting,
    // every other reason is found at once; a lock file that cannot be read is failed, with the system's
    // errno.
    static std::unique_ptr<FileLock> acquire(const Directory& folder, const String& name,
                                             std::chrono::milliseconds patience, Refusal* refusal = nullptr);
    // The lock on an existing file itself, which every name the file has (hard links) shares: for runs
    // that write the file in place under different names. The file is only opened to read, never through
    // a link, and stays as it is. Null as above: held, or the file cannot be opened (link, notAFile,
    // denied, failed).
    static std::unique_ptr<FileLock> acquireFile(const FileLocation& file, std::chrono::milliseconds patience,
                                                 Refusal* refusal = nullptr);
    ~FileLock();

    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    FileLock(FileLocation location, int descriptor, bool made);

    FileLocation location_;
    int descriptor_;   // the open lock file, which holds the lock
    bool made_;        // a lock file, deleted as the lock is let go; false: a file locked in itself
};

}   // namespace tarnwick
