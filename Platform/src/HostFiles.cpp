#include "HostFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <iterator>
#include <random>
#include <system_error>
#include <utility>

#include "HostMemory.h"
#include "HostText.h"

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderNames[] = {"Application", "Temporary", "Preferences",
                                        "Documents",   "Desktop",   "Application Data"};

// A file made beside a target that could not be removed, known by its device and inode; or only by its
// name, where the system would not say those.
struct LeftFile {
    std::string path;
    std::string target;
    dev_t device = 0;
    ino_t file = 0;
    bool known = false;   // device and file were read
    int error = 0;        // why the removal was refused
};

struct State {
    std::string home;                                                 // empty: the default home
    std::deque<std::pair<std::optional<std::string>, int>> answers;   // scripted: path and type, next first
    std::vector<FileDialogRequest> requests;
    std::function<void(const std::string&)> flushWatcher;
    std::function<int(FileOperation, const std::string&)> operationWatcher;
    std::vector<LeftFile> leftFiles;   // oldest first
};

// Never destroyed, so a module's static destructors can still reach the host's folders.
State& state() {
    static State* const instance = new State;
    return *instance;
}

std::string environment(const char* name) {
    const char* const value = std::getenv(name);
    return value ? value : "";
}

fs::path defaultHome() {
    if (const std::string home = environment("SKELLOW_HOME"); !home.empty()) return home;
    // Relative values are invalid by the XDG rules and ignored.
    if (const fs::path data = environment("XDG_DATA_HOME"); data.is_absolute()) return data / "skellow-host";
    if (const std::string user = environment("HOME"); !user.empty())
        return fs::path(user) / ".local" / "share" / "skellow-host";
    std::error_code error;
    return fs::temp_directory_path(error) / "skellow-host";
}

// "" when the host may write over path: a regular file or nothing there; else why not.
std::string whyNotReplaceable(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return errno == ENOENT ? "" : std::string("cannot be looked at: ") + std::strerror(errno);
    if (S_ISREG(status.st_mode)) return "";
    if (S_ISDIR(status.st_mode)) return "is a folder, not a file";
    if (S_ISLNK(status.st_mode)) return "is a link; name the file itself";
    return "is not a regular file";   // a pipe or device would be replaced, not written
}

// target's name with suffix, its name cut short when the two would pass what a folder entry may hold,
// so that any name the user may give has a new file beside it.
std::string partialName(const std::string& target, const std::string& suffix) {
    constexpr std::size_t kMostNameBytes = 255;
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = target.substr(nameStart);
    if (name.size() + suffix.size() > kMostNameBytes) name.resize(kMostNameBytes - suffix.size());
    return target.substr(0, nameStart) + name + suffix;
}

// Removes the file at path: 0 when it is gone, else the errno of the refusal.
int removeByName(const std::string& path) {
    if (const int fault = fileOperationFault(FileOperation::unlink, path.c_str())) return fault;
    return unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

// Removes the file at path when it is still the one made (a name taken since by another file is left
// to it): 0 when it is gone, else the errno of the refusal.
int removeIfSame(const LeftFile& left) {
    struct stat now {};
    if (lstat(left.path.c_str(), &now) != 0) return errno == ENOENT ? 0 : errno;
    if (now.st_dev != left.device || now.st_ino != left.file) return 0;
    return removeByName(left.path);
}

// The system's lock on the open file, never waited for: 0, or the errno of the refusal (EWOULDBLOCK:
// another holds it).
int lockOpenFile(int fd, const std::string& path) {
    if (const int fault = fileOperationFault(FileOperation::lock, path.c_str())) return fault;
    int result = 0;
    while ((result = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    return result == 0 ? 0 : errno;
}

// Whether the name no longer holds the open file: removed, or another file put there. False where
// either look is refused: nothing says so then.
bool nameTakenFrom(int fd, const std::string& path) {
    struct stat open {};
    struct stat named {};
    if (fileOperationFault(FileOperation::look, path.c_str()) != 0 || fstat(fd, &open) != 0) return false;
    if (lstat(path.c_str(), &named) != 0) return errno == ENOENT;
    return named.st_dev != open.st_dev || named.st_ino != open.st_ino;
}

// Removes a file a run killed while writing beside target left at path: only when no live run holds it
// locked, and only the very file looked at. One whose removal is refused is noted in leftFiles.
void removeIfDead(const std::string& path, const std::string& target) {
    if (fileOperationFault(FileOperation::open, path.c_str()) != 0) return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat held {};
    LeftFile dead{path, target};
    if (fileOperationFault(FileOperation::look, path.c_str()) == 0 && fstat(fd, &held) == 0 &&
        S_ISREG(held.st_mode) && lockOpenFile(fd, path) == 0) {
        dead.device = held.st_dev, dead.file = held.st_ino, dead.known = true;
        dead.error = removeIfSame(dead);
        if (dead.error != 0) state().leftFiles.push_back(dead);
    }
    ::close(fd);
}

// Removes what runs killed while they wrote beside target left there: the files of target's
// ".partial-N" names that no live run holds.
void removeDeadRunsFiles(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string start = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string folder = start.empty() ? "." : start;
    if (fileOperationFault(FileOperation::listFolder, folder.c_str()) != 0) return;
    DIR* const listing = opendir(folder.c_str());
    if (listing == nullptr) return;
    constexpr std::string_view kMark = ".partial-";
    std::vector<std::string> found;
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name = entry->d_name;
        const std::size_t mark = name.rfind(kMark);
        if (mark == std::string_view::npos) continue;
        const std::string digits(name.substr(mark + kMark.size()));
        if (digits.empty() || digits.size() > 10 ||
            !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
            continue;
        if (partialName(target, std::string(kMark) + digits) == start + std::string(name))
            found.push_back(start + std::string(name));
    }
    closedir(listing);
    for (const std::string& path : found) removeIfDead(path, target);
}

// A file made new beside `target` under a name no one else has: the exclusive create never opens a
// link or a file planted there. Held locked while it lives, so that a later run does not take it for a
// killed run's. Removed again unless kept, by its identity; or at once by its name where its identity
// cannot be read (made a moment before, the name is still its own). One that cannot be removed is noted
// in leftFiles.
class NewFileBeside {
public:
    explicit NewFileBeside(const std::string& target) {
        made_.target = target;
        std::random_device random;
        for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
            made_.path = partialName(target, ".partial-" + std::to_string(random()));
            // 0666: the umask decides, as for any new file.
            fd_ = open(made_.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd_ < 0) {
                if (errno != EEXIST) break;
                continue;
            }
            // A run removing killed runs' files may have taken this one before the lock: then it is
            // gone, and another is made. A system without such locks leaves it unlocked, as it does
            // for that run too, which then leaves it alone.
            if (lockOpenFile(fd_, made_.path) != EWOULDBLOCK && !nameTakenFrom(fd_, made_.path)) break;
            ::close(fd_);
            fd_ = -1;
            errno = EEXIST;
        }
        struct stat made {};
        if (fd_ < 0) {
            error_ = errno;
        } else if (fileOperationFault(FileOperation::look, made_.path.c_str()) == 0 &&
                   fstat(fd_, &made) == 0) {
            made_.device = made.st_dev, made_.file = made.st_ino;
            made_.known = true;
        }
    }
    ~NewFileBeside() {
        if (fd_ >= 0) ::close(fd_);
        if (!made() || kept_) return;
        made_.error = made_.known ? removeIfSame(made_) : removeByName(made_.path);
        if (made_.error != 0) state().leftFiles.push_back(made_);
    }
    NewFileBeside(const NewFileBeside&) = delete;
    NewFileBeside& operator=(const NewFileBeside&) = delete;

    bool made() const { return error_ == 0; }
    int error() const { return error_; }   // errno of the failed create
    int fd() const { return fd_; }
    const std::string& path() const { return made_.path; }
    // False with errno when the system reports a late write error (flushFile has put the data on the disk).
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }
    void keep() { kept_ = true; }

private:
    LeftFile made_;
    int fd_ = -1;
    int error_ = 0;
    bool kept_ = false;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void tellFlushWatcher(const std::string& path) {
    if (state().flushWatcher) state().flushWatcher(path);
}

}   // namespace

// --- Home and special folders ----------------------------------------------------------------------
void setHomeDirectory(const std::string& path) { state().home = path; }

std::string homeDirectory() {
    const fs::path home = state().home.empty() ? defaultHome() : fs::path(state().home);
    std::error_code error;
    fs::create_directories(home, error);   // a failure shows when a folder under it is asked for
    return home.string();
}

std::optional<std::string> specialFolderPath(int folder) {
    if (folder < 0 || folder >= static_cast<int>(std::size(kFolderNames))) return std::nullopt;
    const fs::path home = state().home.empty() ? defaultHome() : fs::path(state().home);
    return (home / kFolderNames[folder]).string();
}

std::optional<std::string> specialFolder(int folder) {
    if (folder < 0 || folder >= static_cast<int>(std::size(kFolderNames))) return std::nullopt;
    const fs::path path = fs::path(homeDirectory()) / kFolderNames[folder];
    std::error_code error;
    fs::create_directories(path, error);
    if (!fs::is_directory(path, error)) return std::nullopt;   // e.g. a file of that name is in the way
    return path.string();
}

// --- File dialogs ----------------------------------------------------------------------------------
std::optional<std::string> browseForFile(FileDialogKind kind, const std::string& title,
                                         const std::string& extension) {
    State& s = state();
    s.requests.push_back({kind, title, extension, {}});
    if (s.answers.empty()) return std::nullopt;   // nothing scripted: the user cancels
    std::optional<std::string> answer = std::move(s.answers.front().first);
    s.answers.pop_front();
    return answer;
}

std::optional<FileChoice> browseForFileOfType(FileDialogKind kind, const std::string& title,
                                              const std::vector<FileType>& types) {
    State& s = state();
    FileDialogRequest request{kind, title, types.empty() ? std::string() : types.front().extension, {}};
    for (const FileType& type : types) request.typeNames.push_back(type.name);
    s.requests.push_back(std::move(request));
    if (s.answers.empty()) return std::nullopt;   // nothing scripted: the user cancels
    auto [path, type] = std::move(s.answers.front());
    s.answers.pop_front();
    if (!path) return std::nullopt;
    return FileChoice{std::move(*path), type};
}

void queueFileDialogAnswer(std::optional<std::string> path, int type) {
    state().answers.emplace_back(std::move(path), type);
}

void clearFileDialogAnswers() { state().answers.clear(); }

std::vector<std::string> pendingFileDialogAnswers() {
    std::vector<std::string> left;
    for (const auto& [path, type] : state().answers) left.push_back(path ? *path : "cancel");
    return left;
}

std::vector<FileDialogRequest> fileDialogRequests() { return state().requests; }

void clearFileDialogRequests() { state().requests.clear(); }

bool readWholeFile(const std::string& path, std::string& text, std::string& error) {
    // Only a regular file has an end to read up to: a folder, a device such as /dev/zero or a named
    // pipe would fail, never end or wait for a writer.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        error = shownPath(path) +
                ": cannot be read: " + (ec ? ec.message() : std::generic_category().message(ENOENT));
        return false;
    }
    if (fs::is_directory(status)) {
        error = shownPath(path) + ": is a folder, not a file";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        error = shownPath(path) + ": is not a regular file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxInputFileBytes) {
        error = shownPath(path) + ": is larger than " + sizeLimitText(kMaxInputFileBytes);
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = shownPath(path) + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    text.clear();
    char buffer[65536];
    int failure = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            failure = got < 0 ? errno : 0;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > kMaxInputFileBytes) break;   // it grew while we read
    }
    ::close(fd);
    if (failure != 0) {
        error = shownPath(path) + ": cannot be read: " + std::strerror(failure);
        return false;
    }
    if (text.size() > kMaxInputFileBytes) {
        error = shownPath(path) + ": is larger than " + sizeLimitText(kMaxInputFileBytes);
        return false;
    }
    return true;
}

std::string sizeLimitText(std::uintmax_t bytes) {
    constexpr std::uintmax_t kMiB = std::uintmax_t{1} << 20;
    constexpr std::uintmax_t kGiB = std::uintmax_t{1} << 30;
    if (bytes > 0 && bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
    if (bytes > 0 && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool canReplaceFile(const std::string& path, std::string& error) {
    if (const std::string why = whyNotReplaceable(path); !why.empty()) {
        error = shownPath(path) + ": " + why;
        return false;
    }
    std::error_code ec;
    const fs::path folder = fs::absolute(path, ec).parent_path();
    if (ec || !fs::is_directory(folder, ec)) {
        error = shownPath(path) + ": its folder " + shownPath(folder.string()) + " does not exist";
        return false;
    }
    // Asking for write permission is not enough: a read-only mount, a full disk or a file system
    // that refuses such names only shows when a file is made.
    const NewFileBeside probe(path);
    if (!probe.made()) {
        error = shownPath(path) + ": its folder " + shownPath(folder.string()) +
                " takes no new file: " + std::strerror(probe.error());
        return false;
    }
    return true;
}

bool replaceFile(const std::string& path, std::string_view bytes, std::string& error) {
    if (const std::string why = whyNotReplaceable(path); !why.empty()) {
        error = shownPath(path) + ": " + why;
        return false;
    }
    NewFileBeside file(path);
    const auto fail = [&](int code) {
        error = shownPath(path) + ": cannot be written: " + std::strerror(code);
        return false;
    };
    if (!file.made()) return fail(file.error());
    struct stat old {};
    if (lstat(path.c_str(), &old) == 0 && fchmod(file.fd(), old.st_mode & 07777) != 0) return fail(errno);
    if (!writeAll(file.fd(), bytes) || !flushFile(file.fd(), file.path()) || !file.close())
        return fail(errno);
    if (rename(file.path().c_str(), path.c_str()) != 0) return fail(errno);
    file.keep();
    removeDeadRunsFiles(path);
    // The new file holds the name already; a folder the system cannot flush leaves nothing to undo.
    std::error_code ec;
    const fs::path folder = fs::absolute(path, ec).parent_path();
    if (!ec) flushFolder(folder.string());
    return true;
}

std::vector<std::string> removeLeftFiles() {
    std::vector<std::string> told;
    for (const LeftFile& left : std::exchange(state().leftFiles, {}))
        // One known by its name only is not looked for again: that name may be another file's by now.
        if (const int error = left.known ? removeIfSame(left) : left.error; error != 0)
            told.push_back(shownPath(left.path) + ": made by the host beside " + shownPath(left.target) +
                           ", cannot be removed: " + std::strerror(error));
    return told;
}

// --- Flushing to disk ------------------------------------------------------------------------------
bool flushFile(int descriptor, const std::string& path) {
    if (const int fault = fileOperationFault(FileOperation::flush, path.c_str())) {
        errno = fault;
        return false;
    }
    while (::fsync(descriptor) != 0)
        if (errno != EINTR) return false;
    tellFlushWatcher(path);
    return true;
}

bool flushFolder(const std::string& path) {
    if (const int fault = fileOperationFault(FileOperation::flush, path.c_str())) {
        errno = fault;
        return false;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    // A file system that keeps no folder on a disk of its own refuses the flush as meaningless.
    int result = 0;
    while ((result = ::fsync(descriptor)) != 0 && errno == EINTR) {
    }
    const bool flushed = result == 0 || errno == EINVAL || errno == ENOTSUP;
    const int error = errno;
    ::close(descriptor);
    errno = error;
    if (flushed) tellFlushWatcher(path);
    return flushed;
}

void watchFlushes(std::function<void(const std::string& path)> watcher) {
    state().flushWatcher = std::move(watcher);
}

const char* fileOperationName(FileOperation operation) {
    constexpr const char* kNames[] = {
        "open",       "read",  "write",     "truncate",    "flush",           "rename",   "link",
        "unlink",     "close", "attribute", "openUnnamed", "renameNoReplace", "exchange", "permissions",
        "makeFolder", "lock",  "seek",      "look",        "listFolder",      "readLink", "access"};
    static_assert(std::size(kNames) == static_cast<std::size_t>(FileOperation::access) + 1,
                  "a name for each operation");
    return kNames[static_cast<int>(operation)];
}

int fileOperationFault(FileOperation operation, const char* path) {
    return state().operationWatcher ? state().operationWatcher(operation, path ? path : "") : 0;
}

void watchFileOperations(std::function<int(FileOperation operation, const std::string& path)> watcher) {
    state().operationWatcher = std::move(watcher);
}

void* newLocation(const std::string& path) {
    if (path.empty()) return nullptr;
    Ptr block = newPtr(path.size() + 1, /*clear=*/false);
    if (block == nullptr) return nullptr;
    std::memcpy(block, path.c_str(), path.size() + 1);
    return block;
}

std::optional<std::string> locationPath(const void* location) {
    Ptr block = static_cast<Ptr>(const_cast<void*>(location));
    if (block == nullptr || !isLivePtr(block)) return std::nullopt;
    const std::size_t size = getPtrSize(block);
    const std::size_t length = strnlen(block, size);
    if (length == size) return std::nullopt;   // no terminator inside the block
    return std::string(block, length);
}

void* copyLocation(const void* location) {
    const std::optional<std::string> path = locationPath(location);
    return path ? newLocation(*path) : nullptr;
}

void disposeLocation(void* location) { disposePtr(static_cast<Ptr>(location)); }

}   // namespace host
