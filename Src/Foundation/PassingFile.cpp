#include "Foundation/PassingFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/FileSystemCalls.h"

namespace tarnwick {
namespace {

constexpr const char* kPassingExtension = ".partial";

// Whether name is one of the passing names whose first is `first`: "<first>", "<first> <pid>-<n>", or, as
// earlier releases named them, "<first> <n>".
bool isPassingName(std::string_view name, std::string_view first) {
    if (!name.starts_with(first)) return false;
    name.remove_prefix(first.size());
    if (name.empty()) return true;
    if (!name.starts_with(' ')) return false;
    name.remove_prefix(1);
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const std::size_t dash = name.find('-');
    return dash == std::string_view::npos ? digits(name)
                                          : digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

// A file that was to go but could not be removed, emptied instead: a passing file that holds nothing is
// what the next whole write of the name removes. Only while it is still the file identity names at
// location, a regular file with that one name (one whose count of names cannot be read may have others,
// such as the name it was to take, which keep it whole), and no one else holds it: held is a descriptor of
// it through which this run holds its lock, or -1.
void emptyWhatCannotBeRemoved(const FileLocation& location, const FileIdentity& identity, int held = -1) {
    const int descriptor =
        held >= 0 ? held : sys::open(location.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return;
    struct stat info {};
    if (sys::lookAtOpen(descriptor, location.c_str(), info) && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
        FileIdentity{info.st_dev, info.st_ino} == identity && stillAt(location, identity) &&
        (held >= 0 || lockNow(descriptor, location)))
        sys::truncate(descriptor, location.c_str(), 0);
    if (held < 0) sys::close(descriptor, location.c_str());
}

}   // namespace

PassingFile::PassingFile(std::unique_ptr<DataFile> file, FileIdentity identity)
    : file_(std::move(file)), identity_(identity) {}

PassingFile::~PassingFile() {
    const FileLocation& location = file_->getLocation();
    if (!named_ && !removeIfStill(location, identity_))
        emptyWhatCannotBeRemoved(location, identity_, file_->descriptor_);
    file_->close();
}

String PassingFile::nameFor(const String& forName, int n) {
    std::string name(forName.getView());
    name += kPassingExtension;
    if (n > 1) name += " " + std::to_string(::getpid()) + "-" + std::to_string(n);
    return String(std::string_view(name));
}

std::vector<String> PassingFile::namesIn(const Directory& folder, const String& forName) {
    std::vector<String> found;
    std::vector<std::string> names;
    if (folder.getLocation().empty() || !File::isUsableName(forName.getView())) return found;
    sys::listFolder(folder.getLocation().c_str(), names);
    const std::string first(nameFor(forName, 1).getView());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        if (isPassingName(name, first)) found.emplace_back(std::string_view(name));
    return found;
}

int PassingFile::makeLocked(const FileLocation& folder, const std::function<FileLocation(int)>& name,
                            int tries, std::string_view first, mode_t mode, FileLocation& made) {
    // Made without a name, locked and filled, then named: no other run ever sees it unlocked or short of
    // its first bytes. A file system that has no unnamed files makes it under its name, locked at once; a
    // name that another run took in that moment for a dead run's (empty, unlocked, and then locked by
    // that run's clean-up) is given up.
    int unnamed = sys::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (unnamed < 0 && !sys::noUnnamedFiles(errno)) return -1;
    // The descriptor closed, and the file made at location (when given) removed, keeping the errno.
    const auto give = [](int descriptor, const FileLocation& location,
                         const std::optional<FileIdentity>& made = std::nullopt) {
        const int error = errno;
        if (made) removeIfStill(location, *made);
        sys::close(descriptor, location.c_str());
        errno = error;
        return -1;
    };
    if (unnamed >= 0 &&
        (!lockNow(unnamed, folder) || !sys::writeAll(unnamed, folder.c_str(), first.data(), first.size())))
        return give(unnamed, folder);
    for (int n = 1; n <= tries; ++n) {
        FileLocation location = name(n);
        if (unnamed >= 0) {
            if (sys::linkOpen(unnamed, location.c_str())) {
                made = std::move(location);
                return unnamed;
            }
            if (errno == EEXIST) continue;
            // The system's file links cannot be reached: by name.
            sys::close(std::exchange(unnamed, -1), folder.c_str());
        }
        const int descriptor =
            sys::open(location.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        const std::optional<FileIdentity> identity = identityOf(descriptor, location);
        const bool locked = lockNow(descriptor, location);
        // No lock to be had here (the file system gives none): the file goes again, and the reason is told.
        if (!locked && errno != EWOULDBLOCK) return give(descriptor, location, identity);
        if (!locked || !stillAt(location, descriptor)) {
            sys::close(descriptor, location.c_str());
            continue;
        }
        if (!sys::writeAll(descriptor, location.c_str(), first.data(), first.size()))
            return give(descriptor, location, identity);
        made = std::move(location);
        return descriptor;
    }
    if (unnamed >= 0) sys::close(unnamed, folder.c_str());
    errno = EEXIST;
    return -1;
}

std::unique_ptr<PassingFile> PassingFile::make(const Directory& folder, const String& forName) {
    if (folder.getLocation().empty() || !File::isUsableName(forName.getView())) {
        errno = EINVAL;
        return nullptr;
    }
    FileLocation location;
    const int descriptor = makeLocked(
        folder.getLocation(),
        [&](int n) { return folder.getLocation() / FileLocation(nameFor(forName, n).getView()); }, kMostNames,
        {}, 0666, location);
    if (descriptor < 0) return nullptr;
    auto file = std::make_unique<DataFile>(std::move(location), DataFile::kReadWrite);
    file->descriptor_ = descriptor;
    const std::optional<FileIdentity> identity = identityOf(descriptor, file->getLocation());
    if (!identity) {
        // Made a moment ago and held by this run, it has no identity to be removed by later: it goes now.
        const int error = errno;
        sys::unlink(file->getLocation().c_str());
        errno = error;
        return nullptr;
    }
    return std::unique_ptr<PassingFile>(new PassingFile(std::move(file), *identity));
}

// Where name in the file's folder is, when the name is usable and the file still has its passing name.
std::optional<FileLocation> PassingFile::targetOf(const String& name) const {
    if (!File::isUsableName(name.getView())) {
        errno = EINVAL;
        return std::nullopt;
    }
    if (!stillAt(file_->getLocation(), identity_)) {
        errno = ENOENT;
        return std::nullopt;
    }
    return file_->getLocation().parent_path() / FileLocation(name.getView());
}

void PassingFile::named(const FileLocation& location) {
    file_->setLocation(location);
    named_ = true;
}

bool PassingFile::takeName(const String& name) {
    const std::optional<FileLocation> to = targetOf(name);
    if (!to || !sys::renameNoReplace(file_->getLocation().c_str(), to->c_str())) return false;
    named(*to);
    return true;
}

bool PassingFile::replace(const String& name, const std::optional<FileIdentity>& was,
                          FileLocation* displaced) {
    if (!was) return takeName(name);
    const std::optional<FileLocation> to = targetOf(name);
    if (!to) return false;
    const FileLocation from = file_->getLocation();
    // The names traded in one step, then what took the passing name looked at: the entry seen at the
    // start, which goes, or one that came meanwhile, which gets its name back.
    if (sys::exchange(from.c_str(), to->c_str())) {
        if (identityAt(from) != was) {
            if (sys::exchange(from.c_str(), to->c_str())) {
                errno = EEXIST;
                return false;
            }
            // This file keeps the name, and the entry that came lies at the passing name.
            const int error = errno;
            named(*to);
            if (displaced) *displaced = from;
            errno = error;
            return false;
        }
        named(*to);
        if (identityAt(from) == was && !sys::unlink(from.c_str())) emptyWhatCannotBeRemoved(from, *was);
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot trade names: looked at, then renamed over. An entry that takes the name
    // between the look and the rename is replaced, and is gone: this way is not safe from a run that
    // writes the same name at the same moment.
    if (identityAt(*to) != was) {
        errno = EEXIST;
        return false;
    }
    if (!sys::rename(from.c_str(), to->c_str())) return false;
    named(*to);
    return true;
}

bool PassingFile::holdsStartOf(int descriptor, const FileLocation& location, std::string_view text) {
    struct stat info {};
    if (!sys::lookAtOpen(descriptor, location.c_str(), info) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > text.size())
        return false;
    std::vector<char> held(static_cast<std::size_t>(info.st_size) + 1);
    const ssize_t got = sys::readAt(descriptor, location.c_str(), held.data(), held.size(), 0);
    return got == info.st_size && text.starts_with(std::string_view(held.data(), held.size() - 1));
}

void PassingFile::removeLeft(
    const Directory& folder, const String& forName, std::string_view writes,
    const std::function<bool(int descriptor, const FileLocation& location)>& alsoRuns) {
    if (folder.getLocation().empty() || !File::isUsableName(forName.getView())) return;
    const std::string first(nameFor(forName, 1).getView());
    removeLeft(
        folder.getLocation(), [&first](std::string_view name) { return isPassingName(name, first); },
        [writes, &alsoRuns](int descriptor, const FileLocation& location) {
            return holdsStartOf(descriptor, location, writes) || (alsoRuns && alsoRuns(descriptor, location));
        },
        -1, identityAt(folder.getLocation() / FileLocation(forName.getView())));
}

void PassingFile::removeLeftBeside() const {
    const FileLocation& location = file_->getLocation();
    if (!named_ || !stillAt(location, identity_)) return;
    const std::string first(nameFor(String(std::string_view(location.filename().native())), 1).getView());
    struct stat own {};
    if (!sys::lookAtOpen(file_->descriptor_, location.c_str(), own)) return;
    removeLeft(
        location.parent_path(), [&first](std::string_view name) { return isPassingName(name, first); },
        [&](int descriptor, const FileLocation& left) {
            // What this file holds, as far as the file left is long.
            struct stat info {};
            if (!sys::lookAtOpen(descriptor, left.c_str(), info) || info.st_size > own.st_size) return false;
            std::string start(static_cast<std::size_t>(info.st_size), '\0');
            const ssize_t got =
                sys::readAt(file_->descriptor_, location.c_str(), start.data(), start.size(), 0);
            return got == info.st_size && holdsStartOf(descriptor, left, start);
        },
        -1, identity_);
}

void PassingFile::removeLeft(const FileLocation& folder,
                             const std::function<bool(std::string_view name)>& isName,
                             const std::function<bool(int descriptor, const FileLocation& location)>& isRuns,
                             int held, const std::optional<FileIdentity>& secondNameOf) {
    // The folder's few entries are looked at once, rather than every name there could be.
    std::vector<std::string> names;
    sys::listFolder(folder.c_str(), names);
    std::erase_if(names, [&isName](const std::string& name) { return !isName(name); });
    const std::optional<FileIdentity> own = held >= 0 ? identityOf(held, folder) : std::nullopt;
    for (const std::string& name : names) {
        const FileLocation location = folder / name;
        struct stat seen {};
        // Looked at before it is opened: opening a device may do something.
        if (!sys::lookAtEntry(location.c_str(), seen) || !S_ISREG(seen.st_mode)) continue;
        const FileIdentity identity{seen.st_dev, seen.st_ino};
        // The file itself under a passing name, which a run stopped as it took the name by a second one
        // left: the file stays at its name. Its lock is the file's own, held by whoever writes it now.
        if (secondNameOf == identity) {
            removeIfStill(location, identity);
            continue;
        }
        const int descriptor = sys::open(location.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) continue;
        // The file looked at is the one opened, no one holds it (this run's own may be held here), it can
        // only be a run's, and it is still the one at the name.
        if (identityOf(descriptor, location) == identity &&
            (own == identity || lockNow(descriptor, location)) && isRuns(descriptor, location))
            removeIfStill(location, identity);
        sys::close(descriptor, location.c_str());
    }
}

}   // namespace tarnwick
