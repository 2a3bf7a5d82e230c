#include "Foundation/Directory.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <HostFiles.h>

#include "Foundation/FileIdentity.h"
#include "Foundation/FileSystemCalls.h"
#include "Foundation/SafeFile.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

constexpr int kMostProbeNames = 100;

// "report..." becomes "report", then ".txt" follows; "..." and "" name nothing, nor a name or extension
// that would leave the folder.
std::optional<std::string> fileNameOf(const String& name, const String& extension) {
    const std::string_view text = name.getView();
    const std::size_t last = text.find_last_not_of('.');
    if (last == std::string_view::npos) return std::nullopt;
    std::string fileName(text.substr(0, last + 1));
    if (!extension.isEmpty()) fileName.append(".").append(extension.getView());
    if (!File::isUsableName(text.substr(0, last + 1)) || !File::isUsableName(fileName)) return std::nullopt;
    return fileName;
}

// Whether a folder is at location (a link there followed).
bool isFolderAt(const FileLocation& location) {
    struct stat info {};
    return sys::look(location.c_str(), info) && S_ISDIR(info.st_mode);
}

// The folder at location and every missing one above it, each made through the seam.
void makeFolders(const FileLocation& location) {
    if (isFolderAt(location)) return;
    const FileLocation parent = location.parent_path();
    if (!parent.empty() && parent != location) makeFolders(parent);
    sys::makeFolder(location.c_str(), 0777);
}

}   // namespace

Directory::Directory(FileLocation location, bool create) : File(std::move(location)) {
    if (!create || getLocation().empty()) return;
    makeFolders(getLocation());   // exists() tells the caller how it went
}

Directory::Directory(const Directory& parent, const String& name, bool create)
    : Directory(childLocation(parent, name.getView()), create) {}

Directory::~Directory() = default;

bool Directory::exists() const { return !getLocation().empty() && isFolderAt(getLocation()); }

// --- Children ----------------------------------------------------------------------------------------
std::vector<std::unique_ptr<File>> Directory::getChildren() const {
    std::vector<std::unique_ptr<File>> children;
    if (!exists()) return children;
    std::vector<std::string> names;
    if (!sys::listFolder(getLocation().c_str(), names)) return {};   // a half-read folder would look whole
    for (const std::string& name : names) {
        const FileLocation location = getLocation() / name;
        if (isFolderAt(location))
            children.push_back(std::make_unique<Directory>(location));
        else
            children.push_back(std::make_unique<DataFile>(location, DataFile::kRead));
    }
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
        return a->getLocation().native() < b->getLocation().native();
    });
    return children;
}

std::unique_ptr<Directory> Directory::makeSubdirectory(const String& name, host::Result& error) const {
    if (!isUsableName(name.getView())) {
        error = host::kErrBadName;
        return nullptr;
    }
    auto child = std::make_unique<Directory>(*this, name);
    const bool made = !child->getLocation().empty() && sys::makeFolder(child->getLocation().c_str(), 0777);
    const int madeError = made ? 0 : errno;
    if (!child->exists()) {   // also when a file of that name is in the way
        // The system's reason why the folder could not be made, rather than that it is not there.
        if (madeError != 0 && madeError != EEXIST) errno = madeError;
        error = host::kErrFile;
        return nullptr;
    }
    error = host::kNoError;
    return child;
}

// --- Files -------------------------------------------------------------------------------------------
std::unique_ptr<DataFile> Directory::createFile(const String& name, DataFile::OpenMode mode,
                                                host::Result& error, const String& extension,
                                                [[maybe_unused]] std::uint32_t fileType,
                                                [[maybe_unused]] std::uint32_t creator) const {
    const std::optional<std::string> fileName = fileNameOf(name, extension);
    if (!fileName) {
        error = host::kErrBadName;
        return nullptr;
    }
    auto file = std::make_unique<DataFile>(*this, String(std::string_view(*fileName)), mode, /*create=*/true);
    if (!file->open()) {
        error = host::kErrFile;
        return nullptr;
    }
    error = host::kNoError;
    return file;
}

bool Directory::replaceFile(const String& name, const String& extension,
                            const std::function<bool(DataFile&)>& write, host::Result& error,
                            bool durable) const {
    const std::optional<std::string> fileName = fileNameOf(name, extension);
    if (!fileName) {
        error = host::kErrBadName;
        return false;
    }
    const SafeFile::Outcome outcome =
        SafeFile::replace(*this, String(std::string_view(*fileName)), write, {.durable = durable});
    error = outcome.done() ? host::kNoError : host::kErrFile;
    return outcome.done();
}

bool Directory::takesNewFiles() const {
    if (getLocation().empty()) {
        errno = EINVAL;
        return false;
    }
    // Made and closed: an unnamed file is gone with its descriptor. A close that fails says nothing of
    // the folder.
    const int unnamed = sys::open(getLocation().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        sys::close(unnamed, getLocation().c_str());
        return true;
    }
    if (!sys::noUnnamedFiles(errno)) return false;
    // A name no other process makes: one that another run of this process id left is passed over.
    const std::string own = ".new-file." + std::to_string(::getpid()) + "-";
    for (int n = 1; n <= kMostProbeNames; ++n) {
        const FileLocation location = getLocation() / (own + std::to_string(n));
        const int descriptor =
            sys::open(location.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const std::optional<FileIdentity> made = identityOf(descriptor, location);
        sys::close(descriptor, location.c_str());
        if (made) removeIfStill(location, *made);
        return true;
    }
    errno = EEXIST;
    return false;
}

bool Directory::flush() const { return !getLocation().empty() && host::flushFolder(getLocation().native()); }

}   // namespace tarnwick
