#include "Foundation/FileLock.h"

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/Directory.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

constexpr std::chrono::milliseconds kPoll{10};   // between tries while another run holds the lock

// The open file is still the one at location: a holder deletes it before letting go, so a lock won on
// a file no longer there locks nothing anyone else sees.
bool stillThere(int descriptor, const FileLocation& location) {
    struct stat open {};
    struct stat there {};
    return ::fstat(descriptor, &open) == 0 && ::lstat(location.c_str(), &there) == 0 &&
           open.st_dev == there.st_dev && open.st_ino == there.st_ino;
}

}   // namespace

FileLock::FileLock(FileLocation location, int descriptor)
    : location_(std::move(location)), descriptor_(descriptor) {}

FileLock::~FileLock() {
    ::unlink(location_.c_str());
    ::close(descriptor_);   // lets go of the lock
}

std::unique_ptr<FileLock> FileLock::acquire(const Directory& folder, const String& name,
                                            std::chrono::milliseconds patience) {
    if (folder.getLocation().empty() || !File::isUsableName(name.getView())) return nullptr;
    const FileLocation location = folder.getLocation() / FileLocation(name.getView());
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        // O_NOFOLLOW: a link planted at the name is refused, never its target made or opened.
        const int descriptor =
            ::open(location.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        if (descriptor < 0) return nullptr;
        struct stat info {};
        if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(descriptor);
            return nullptr;
        }
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            if (stillThere(descriptor, location))
                return std::unique_ptr<FileLock>(new FileLock(location, descriptor));
            ::close(descriptor);   // its holder deleted it: try the one there now at once
            continue;
        }
        const int why = errno;
        ::close(descriptor);
        if (why != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(kPoll);
    }
}

}   // namespace tarnwick
