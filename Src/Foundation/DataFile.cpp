#include "Foundation/DataFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <HostFiles.h>

#include "Foundation/Directory.h"
#include "Foundation/FileIdentity.h"
#include "Foundation/FileSystemCalls.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Opens a regular file only. O_NONBLOCK keeps a pipe put in the file's place from blocking the open;
// it is cleared again at once, as it means nothing for regular files.
int openRegular(const FileLocation& location, int flags) {
    const int descriptor = sys::open(location.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (descriptor < 0) return -1;
    struct stat info {};
    const bool looked = sys::lookAtOpen(descriptor, location.c_str(), info);
    if (!looked || !S_ISREG(info.st_mode)) {
        const int error = looked ? EINVAL : errno;
        sys::close(descriptor, location.c_str());
        errno = error;
        return -1;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

// Whether a folder is at location (a link there followed).
bool isFolderAt(const FileLocation& location) {
    struct stat info {};
    return sys::look(location.c_str(), info) && S_ISDIR(info.st_mode);
}

}   // namespace

DataFile::DataFile(FileLocation location, OpenMode mode, bool create)
    : File(std::move(location)), mode_(mode), create_(create) {}

DataFile::DataFile(const Directory& folder, const String& name, OpenMode mode, bool create)
    : File(childLocation(folder, name.getView())), mode_(mode), create_(create) {}

DataFile::~DataFile() { close(); }

bool DataFile::exists() const {
    if (getLocation().empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat info {};
    if (!sys::look(getLocation().c_str(), info)) return false;
    if (S_ISREG(info.st_mode)) return true;
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return false;
}

// --- Opening and closing -----------------------------------------------------------------------------
bool DataFile::open() {
    if (isOpen()) return true;
    if (getLocation().empty()) return false;
    int flags = 0;
    switch (mode_) {
        case kRead:
            flags = O_RDONLY;
            break;
        case kWrite:
            flags = O_WRONLY | O_TRUNC;
            break;
        case kReadWrite:
            flags = O_RDWR;
            break;
        default:
            return false;   // not one of the modes
    }
    if (create_) flags |= O_CREAT;
    // A link planted at a name we write would have us empty and fill the file it names.
    if (mode_ == kWrite || create_) flags |= O_NOFOLLOW;
    descriptor_ = openRegular(getLocation(), flags);
    return isOpen();
}

bool DataFile::close() {
    if (!isOpen()) return false;
    return sys::close(std::exchange(descriptor_, -1), getLocation().c_str());
}

bool DataFile::remove() {
    close();
    struct stat info {};
    if (getLocation().empty() || !sys::lookAtEntry(getLocation().c_str(), info) || S_ISDIR(info.st_mode))
        return false;
    return sys::unlink(getLocation().c_str());
}

bool DataFile::isReadOnly() const {
    struct stat info {};
    if (getLocation().empty() || !sys::look(getLocation().c_str(), info) || !S_ISREG(info.st_mode))
        return false;
    // The bits first: a process that may write anything still leaves a file the user locked alone.
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || !sys::mayWrite(getLocation().c_str());
}

std::unique_ptr<DataFile> DataFile::createNew(const Directory& folder, const std::function<String(int)>& name,
                                              int tries) {
    for (int n = 1; n <= tries; ++n) {
        auto file = std::make_unique<DataFile>(folder, name(n), kReadWrite);
        if (file->getLocation().empty()) return nullptr;
        // O_EXCL: only an entry made by this very call; with O_CREAT it refuses a link too.
        const int descriptor =
            sys::open(file->getLocation().c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            file->descriptor_ = descriptor;
            return file;
        }
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

// --- Size and time -----------------------------------------------------------------------------------
std::optional<std::uint64_t> DataFile::getSize() const {
    struct stat info {};
    if (isOpen()) {
        if (!sys::lookAtOpen(descriptor_, getLocation().c_str(), info)) return std::nullopt;
    } else if (getLocation().empty() || !sys::look(getLocation().c_str(), info) || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<fs::file_time_type> DataFile::getModificationTime() const {
    struct stat info {};
    if (getLocation().empty() || !sys::look(getLocation().c_str(), info)) return std::nullopt;
    const std::chrono::sys_time<std::chrono::nanoseconds> time{
        std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec)};
    return std::chrono::file_clock::from_sys(time);
}

// --- Reading and writing -----------------------------------------------------------------------------
std::optional<std::size_t> DataFile::readSome(void* dest, std::size_t count) {
    if (!canRead()) return std::nullopt;
    const ssize_t got = sys::read(descriptor_, getLocation().c_str(), dest, count);
    if (got < 0) return std::nullopt;
    return static_cast<std::size_t>(got);
}

bool DataFile::readToEnd(std::string& bytes) {
    if (!open()) return false;
    // Read straight into bytes, sized once by the file's size where it can be had (a byte more, to meet
    // the end), so that a large file is neither copied twice nor moved as it grows.
    constexpr std::size_t kChunk = 65536;
    std::size_t room = kChunk;
    struct stat info {};
    if (sys::lookAtOpen(descriptor_, getLocation().c_str(), info) && info.st_size > 0)
        room = static_cast<std::size_t>(info.st_size) + 1;
    std::size_t filled = bytes.size();
    for (;;) {
        if (bytes.size() == filled) bytes.resize(filled + std::max(room, filled / 2));
        const std::optional<std::size_t> got = readSome(bytes.data() + filled, bytes.size() - filled);
        if (!got || *got == 0) {
            bytes.resize(filled);
            return got.has_value();
        }
        filled += *got;
    }
}

bool DataFile::read(void* dest, std::size_t count) {
    if (!canRead()) return false;
    const off_t start = sys::seek(descriptor_, getLocation().c_str(), 0, SEEK_CUR);
    if (start < 0) return false;
    auto* bytes = static_cast<char*>(dest);
    std::size_t done = 0;
    while (done < count) {
        const std::optional<std::size_t> got = readSome(bytes + done, count - done);
        if (!got || *got == 0) {   // a short file is no partial success: go back to where we were
            sys::seek(descriptor_, getLocation().c_str(), start, SEEK_SET);
            return false;
        }
        done += *got;
    }
    return true;
}

bool DataFile::write(const void* bytes, std::size_t count) {
    return canWrite() && sys::writeAll(descriptor_, getLocation().c_str(), bytes, count);
}

bool DataFile::write(const String& text) { return write(text.getText(), text.getByteLength()); }

bool DataFile::holdLock() { return isOpen() && lockNow(descriptor_, getLocation()); }

bool DataFile::flush() { return canWrite() && host::flushFile(descriptor_, getLocation().native()); }

bool DataFile::setDataLength(std::uint64_t length) {
    if (!canWrite() || length > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
    // The position first, so that the cut is the last call: a false return never hides a file cut.
    const char* const path = getLocation().c_str();
    const off_t position = sys::seek(descriptor_, path, 0, SEEK_CUR);
    if (position < 0) return false;
    if (static_cast<std::uint64_t>(position) > length &&
        sys::seek(descriptor_, path, static_cast<off_t>(length), SEEK_SET) < 0)
        return false;
    return sys::truncate(descriptor_, path, static_cast<off_t>(length));
}

// --- Text encoding -----------------------------------------------------------------------------------
DataFile::ByteOrderMark DataFile::detectEncoding(std::string_view firstBytes) {
    if (firstBytes.starts_with("\xEF\xBB\xBF")) return {TextEncoding::utf8, 3};
    if (firstBytes.starts_with("\xFF\xFE")) return {TextEncoding::utf16LittleEndian, 2};
    if (firstBytes.starts_with("\xFE\xFF")) return {TextEncoding::utf16BigEndian, 2};
    return {};
}

DataFile::ByteOrderMark DataFile::detectEncoding() const {
    char bytes[3];
    ssize_t got = -1;
    if (canRead()) {
        got = sys::readAt(descriptor_, getLocation().c_str(), bytes, sizeof bytes,
                          0);   // leaves the position alone
    } else if (!getLocation().empty()) {
        const int descriptor = openRegular(getLocation(), O_RDONLY);
        if (descriptor >= 0) {
            got = sys::readAt(descriptor, getLocation().c_str(), bytes, sizeof bytes, 0);
            sys::close(descriptor, getLocation().c_str());
        }
    }
    if (got <= 0) return {};
    return detectEncoding(std::string_view(bytes, static_cast<std::size_t>(got)));
}

// --- Host dialogs ------------------------------------------------------------------------------------
namespace {
std::vector<host::FileType> fileTypes(const std::vector<String>& names,
                                      const std::vector<String>& extensions) {
    std::vector<host::FileType> types;
    for (std::size_t i = 0; i < names.size() && i < extensions.size(); ++i)
        types.push_back({std::string(names[i].getView()), std::string(extensions[i].getView())});
    return types;
}

// The chosen path, with the 0-based type in chosenType; nullopt when the user cancels.
std::optional<std::string> chooseOfType(host::FileDialogKind kind, const String& title,
                                        const std::vector<String>& names,
                                        const std::vector<String>& extensions, std::size_t& chosenType) {
    const auto choice = host::browseForFileOfType(kind, title.getText(), fileTypes(names, extensions));
    if (!choice) return std::nullopt;
    chosenType = static_cast<std::size_t>(std::max(choice->type, 1) - 1);
    return choice->path;
}
}   // namespace

std::unique_ptr<DataFile> DataFile::browseToOpen(const String& title, const String& extension) {
    return openChosen(host::browseForFile(host::FileDialogKind::open, title.getText(), extension.getText()));
}

std::unique_ptr<DataFile> DataFile::browseToOpen(const String& title, const std::vector<String>& typeNames,
                                                 const std::vector<String>& extensions,
                                                 std::size_t& chosenType) {
    return openChosen(chooseOfType(host::FileDialogKind::open, title, typeNames, extensions, chosenType));
}

std::unique_ptr<DataFile> DataFile::browseToSave(const String& title, const String& extension) {
    return saveChosen(host::browseForFile(host::FileDialogKind::save, title.getText(), extension.getText()));
}

std::unique_ptr<DataFile> DataFile::browseToSave(const String& title, const std::vector<String>& typeNames,
                                                 const std::vector<String>& extensions,
                                                 std::size_t& chosenType) {
    return saveChosen(chooseOfType(host::FileDialogKind::save, title, typeNames, extensions, chosenType));
}

std::unique_ptr<DataFile> DataFile::openChosen(const std::optional<std::string>& path) {
    if (!path || path->empty()) return nullptr;
    auto file = std::make_unique<DataFile>(FileLocation(*path), kRead);
    if (!file->exists()) return nullptr;
    return file;
}

std::unique_ptr<DataFile> DataFile::saveChosen(const std::optional<std::string>& path) {
    if (!path || path->empty()) return nullptr;
    auto file = std::make_unique<DataFile>(FileLocation(*path), kWrite, /*create=*/true);
    // The answer must name a file in an existing folder: not a folder, not a path ending in "/".
    const FileLocation& location = file->getLocation();
    if (!location.has_filename() || isFolderAt(location)) return nullptr;
    const FileLocation folder = location.has_parent_path() ? location.parent_path() : FileLocation(".");
    if (!isFolderAt(folder)) return nullptr;
    return file;
}

}   // namespace tarnwick
