#include "HostFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
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

// A file made beside a target that could not be removed, known by its device and inode.
struct LeftFile {
    std::string path;
    std::string target;
    dev_t device = 0;
    ino_t file = 0;
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

// Removes the file at path when it is still the one made (a name taken since by another file is left
// to it): 0 when it is gone, else the errno of the refusal.
int removeIfSame(const LeftFile& left) {
    struct stat now {};
    if (lstat(left.path.c_str(), &now) != 0) return errno == ENOENT ? 0 : errno;
    if (now.st_dev != left.device || now.st_ino != left.file) return 0;
    if (const int fault = fileOperationFault(FileOperation::unlink, left.path.c_str())) return fault;
    return unlink(left.path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

// A file made new beside `target` under a name no one else has: the exclusive create never opens a
// link or a file planted there. Removed again unless kept; one that cannot be is noted in leftFiles.
class NewFileBeside {
public:
    explicit NewFileBeside(const std::string& target) {
        made_.target = target;
        std::random_device random;
        for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
            made_.path = partialName(target, ".partial-" + std::to_string(random()));
            // 0666: the umask decides, as for any new file.
            fd_ = open(made_.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        struct stat made {};
        if (fd_ < 0)
            error_ = errno;
        else if (fstat(fd_, &made) == 0)
            made_.device = made.st_dev, made_.file = made.st_ino;
    }
    ~NewFileBeside() {
        if (fd_ >= 0) ::close(fd_);
        if (made() && !kept_ && removeIfSame(made_) != 0) state().leftFiles.push_back(made_);
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
        error = shownPath(path) + ": cannot be read";
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = shownPath(path) + ": cannot be read";
        return false;
    }
    text.clear();
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxInputFileBytes) {   // it grew while we read
            error = shownPath(path) + ": is larger than " + sizeLimitText(kMaxInputFileBytes);
            return false;
        }
    }
    if (in.bad()) {
        error = shownPath(path) + ": cannot be read";
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
    // The new file holds the name already; a folder the system cannot flush leaves nothing to undo.
    std::error_code ec;
    const fs::path folder = fs::absolute(path, ec).parent_path();
    if (!ec) flushFolder(folder.string());
    return true;
}

std::vector<std::string> removeLeftFiles() {
    std::vector<std::string> told;
    for (const LeftFile& left : std::exchange(state().leftFiles, {}))
        if (const int error = removeIfSame(left); error != 0)
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
