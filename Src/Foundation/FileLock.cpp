#include "Foundation/FileLock.h"

#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <HostFiles.h>

#include "Foundation/Directory.h"
#include "Foundation/FileSystemCalls.h"
#include "Foundation/PassingFile.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

using Reason = FileLock::Reason;
using Refusal = FileLock::Refusal;

constexpr std::chrono::milliseconds kPoll{10};   // between tries while another run holds the lock
constexpr int kMostOwnNames = 100;
// What every lock file holds: how a file that no lock made is told apart, and what a user who finds
// one left behind reads.
constexpr std::string_view kLockLine = "A run holds this lock while it writes the file beside it.\n";

Refusal systemRefusal(int error) {
    return {error == EACCES || error == EPERM ? Reason::denied : Reason::failed, error};
}

// Whether the file is a lock file: it holds the lock line, or what a power cut leaves of a line that had
// not reached the disk (nothing, a beginning of it, or zeros in its place). False with errno 0 when it
// holds anything else, with the system's errno when it cannot be read.
bool holdsLockLine(int descriptor, const FileLocation& location) {
    char bytes[kLockLine.size() + 1];
    const ssize_t got = sys::readAt(descriptor, location.c_str(), bytes, sizeof bytes, 0);
    if (got < 0) return false;
    errno = 0;
    if (static_cast<std::size_t>(got) > kLockLine.size()) return false;
    for (std::size_t at = 0; at < static_cast<std::size_t>(got); ++at)
        if (bytes[at] != kLockLine[at] && bytes[at] != '\0') return false;
    return true;
}

// A lock file of this run's own under a passing name beside the lock's, "<lock>.<pid>-<n>", holding the
// lock line and locked before any other run can see it. -1, with why, when none can be made.
int makeOwn(const FileLocation& location, FileLocation& made, Refusal& why) {
    const std::string prefix = location.native() + "." + std::to_string(::getpid()) + "-";
    const int descriptor = PassingFile::makeLocked(
        location.parent_path(), [&prefix](int n) { return FileLocation(prefix + std::to_string(n)); },
        kMostOwnNames, kLockLine, 0644, made);
    if (descriptor < 0) {
        why = errno == EEXIST ? Refusal{Reason::failed, EEXIST} : systemRefusal(errno);
        return -1;
    }
    // The line on the disk before the file can take the lock's name: a power cut then leaves a whole lock
    // file there, or what holdsLockLine takes for one.
    if (!host::flushFile(descriptor, made.native())) {
        why = systemRefusal(errno);
        if (const std::optional<FileIdentity> own = identityOf(descriptor, made)) removeIfStill(made, *own);
        sys::close(descriptor, made.c_str());
        return -1;
    }
    return descriptor;
}

// Why what is at a name, being no plain file, cannot serve.
Refusal notAFile(mode_t mode) {
    return {S_ISLNK(mode) ? Reason::link : S_ISDIR(mode) ? Reason::folder : Reason::notAFile, 0};
}

// The plain file at location, opened to wait on, never to write, and never through a link. -1 with why;
// gone when nothing is there (any more).
int openPlain(const FileLocation& location, Refusal& why, bool& gone) {
    struct stat info {};
    if (!sys::lookAtEntry(location.c_str(), info)) {
        gone = errno == ENOENT;
        why = systemRefusal(errno);
        return -1;
    }
    // Looked at before it is opened: opening a device may do something.
    if (!S_ISREG(info.st_mode)) {
        why = notAFile(info.st_mode);
        return -1;
    }
    const int descriptor = sys::open(location.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        gone = errno == ENOENT;
        why = errno == ELOOP ? Refusal{Reason::link, 0} : systemRefusal(errno);
        return -1;
    }
    if (!sys::lookAtOpen(descriptor, location.c_str(), info) || !S_ISREG(info.st_mode)) {
        why = {Reason::notAFile, 0};
        sys::close(descriptor, location.c_str());
        return -1;
    }
    return descriptor;
}

// The lock file at location, opened to wait on. -1 with why; gone when its holder let go meanwhile.
int openTaken(const FileLocation& location, Refusal& why, bool& gone) {
    const int descriptor = openPlain(location, why, gone);
    if (descriptor >= 0 && !holdsLockLine(descriptor, location)) {
        // One that cannot be read is judged by its lock, as a dead run's may be what a failing disk left.
        if (errno != 0 && errno != EACCES && errno != EPERM) return descriptor;
        why = errno != 0 ? systemRefusal(errno) : Refusal{Reason::notALock, 0};
        sys::close(descriptor, location.c_str());
        return -1;
    }
    return descriptor;
}

// Where files have no second names: the lock file made at the lock's name itself, locked, then given its
// line, which is on the disk before the lock counts. A run that finds it before its line takes it for a
// dead run's only if it gets its lock first, and then removes it; this run then tries again. -1 with why,
// or with taken when the name is taken (or this file was taken over in that moment).
int makeAtName(const FileLocation& location, Refusal& why, bool& taken) {
    taken = false;
    const int descriptor =
        sys::open(location.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        taken = errno == EEXIST;
        if (!taken) why = systemRefusal(errno);
        return -1;
    }
    const std::optional<FileIdentity> made = identityOf(descriptor, location);
    const auto give = [&](Refusal refusal) {
        if (made) removeIfStill(location, *made);
        sys::close(descriptor, location.c_str());
        why = refusal;
        return -1;
    };
    if (!lockNow(descriptor, location)) {
        if (errno != EWOULDBLOCK) return give({Reason::failed, errno});
        taken = true;   // its taker removes it as it lets go
        sys::close(descriptor, location.c_str());
        return -1;
    }
    if (!stillAt(location, descriptor)) {   // taken over and let go already
        taken = true;
        sys::close(descriptor, location.c_str());
        return -1;
    }
    if (!sys::writeAll(descriptor, location.c_str(), kLockLine.data(), kLockLine.size()) ||
        !host::flushFile(descriptor, location.native()))
        return give(systemRefusal(errno));
    return descriptor;
}

// The passing names of lock files that runs made beside location and never gave up, because they ended
// while waiting, before their file held the whole line, or just after it took the lock's name: a name of
// the form "<lock>.<pid>-<n>" holding the lock line or what holdsLockLine takes for it that no one holds, or
// the lock this run holds (held, open as held). A run still waiting holds its own, and anything else at such
// a name is left alone.
void removeLeftOwn(const FileLocation& location, int held) {
    const std::string prefix = location.filename().native() + ".";
    const auto isOwnName = [&prefix](std::string_view name) {
        if (!name.starts_with(prefix)) return false;
        name.remove_prefix(prefix.size());
        const std::size_t dash = name.find('-');
        const auto digits = [](std::string_view part) {
            return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
        };
        return dash != std::string_view::npos && digits(name.substr(0, dash)) &&
               digits(name.substr(dash + 1));
    };
    PassingFile::removeLeft(
        location.parent_path(), isOwnName,
        [](int descriptor, const FileLocation& own) { return holdsLockLine(descriptor, own); }, held);
}

}   // namespace

FileLock::FileLock(FileLocation location, int descriptor, bool made)
    : location_(std::move(location)), descriptor_(descriptor), made_(made) {}

FileLock::~FileLock() {
    if (const std::optional<FileIdentity> held = identityOf(descriptor_, location_); made_ && held)
        removeIfStill(location_, *held);
    sys::close(descriptor_, location_.c_str());   // lets go of the lock
}

std::unique_ptr<FileLock> FileLock::acquire(const Directory& folder, const String& name,
                                            std::chrono::milliseconds patience, Refusal* refusal) {
    Refusal ignored;
    Refusal& why = refusal ? *refusal : ignored;
    why = {};
    if (folder.getLocation().empty() || !File::isUsableName(name.getView())) {
        why = {Reason::badName, 0};
        return nullptr;
    }
    const FileLocation location = folder.getLocation() / FileLocation(name.getView());
    const auto deadline = std::chrono::steady_clock::now() + patience;
    // This run's own lock file, made once and given the lock's name as soon as that is free; removed
    // however the wait ends unless it became the lock. None where files have no second names.
    FileLocation own;
    int ownDescriptor = makeOwn(location, own, why);
    if (ownDescriptor < 0) return nullptr;
    std::optional<FileIdentity> ownIdentity = identityOf(ownDescriptor, own);
    const auto dropOwn = [&] {
        if (ownDescriptor < 0) return;
        if (ownIdentity) removeIfStill(own, *ownIdentity);
        sys::close(std::exchange(ownDescriptor, -1), own.c_str());
    };
    for (int remade = 0;;) {
        if (ownDescriptor >= 0) {
            // link refuses a name that is taken, whatever has it, and never follows a link there.
            if (sys::link(own.c_str(), location.c_str())) {
                if (ownIdentity) removeIfStill(own, *ownIdentity);
                removeLeftOwn(location, ownDescriptor);
                return std::unique_ptr<FileLock>(new FileLock(location, ownDescriptor, /*made=*/true));
            }
            // The holder took this run's file for a dead run's in the moment before it was locked: another.
            if (errno == ENOENT && remade++ < kMostOwnNames) {
                sys::close(ownDescriptor, own.c_str());
                ownDescriptor = makeOwn(location, own, why);
                if (ownDescriptor < 0) return nullptr;
                ownIdentity = identityOf(ownDescriptor, own);
                continue;
            }
            if (sys::noSecondNames(errno)) {
                dropOwn();
                continue;
            }
            if (errno != EEXIST) {
                why = {errno == EACCES ? Reason::denied : Reason::failed, errno};
                dropOwn();
                return nullptr;
            }
        } else {
            bool taken = false;
            if (const int made = makeAtName(location, why, taken); made >= 0) {
                removeLeftOwn(location, made);
                return std::unique_ptr<FileLock>(new FileLock(location, made, /*made=*/true));
            }
            if (!taken) return nullptr;
        }
        bool gone = false;
        const int descriptor = openTaken(location, why, gone);
        if (descriptor < 0) {
            if (gone) {
                why = {};
                continue;
            }
            dropOwn();
            return nullptr;
        }
        if (lockNow(descriptor, location)) {
            // Left by a run that ended without letting go (a lock ends with its process), whole, or empty
            // or cut by a power cut: it goes while held, by its identity, and a new lock file takes the
            // name. One that its holder deleted as it let go is gone already: try again.
            const std::optional<FileIdentity> left = identityOf(descriptor, location);
            if (left && (!stillAt(location, *left) || sys::unlink(location.c_str()))) {
                sys::close(descriptor, location.c_str());
                continue;
            }
            why = systemRefusal(errno);
            sys::close(descriptor, location.c_str());
            dropOwn();
            return nullptr;
        }
        const int error = errno;
        sys::close(descriptor, location.c_str());
        if (error != EWOULDBLOCK) {
            why = {Reason::failed, error};
        } else if (std::chrono::steady_clock::now() >= deadline) {
            why = {Reason::held, 0};
        } else {
            std::this_thread::sleep_for(kPoll);
            continue;
        }
        dropOwn();
        return nullptr;
    }
}

std::unique_ptr<FileLock> FileLock::acquireFile(const FileLocation& file, std::chrono::milliseconds patience,
                                                Refusal* refusal) {
    Refusal ignored;
    Refusal& why = refusal ? *refusal : ignored;
    why = {};
    if (file.empty()) {
        why = {Reason::badName, 0};
        return nullptr;
    }
    bool gone = false;
    const int descriptor = openPlain(file, why, gone);
    if (descriptor < 0) return nullptr;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (lockNow(descriptor, file))
            return std::unique_ptr<FileLock>(new FileLock(file, descriptor, /*made=*/false));
        const int error = errno;
        if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            why = {error != EWOULDBLOCK ? Reason::failed : Reason::held, error != EWOULDBLOCK ? error : 0};
            sys::close(descriptor, file.c_str());
            return nullptr;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

}   // namespace tarnwick
