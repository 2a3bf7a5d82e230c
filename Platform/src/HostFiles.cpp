#include "HostFiles.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>
#include <utility>

namespace host {
namespace {

// Never destroyed: a kept location stays valid for every caller until the process ends.
std::set<std::string>& keptLocations() {
    static auto* const paths = new std::set<std::string>;
    return *paths;
}

namespace fs = std::filesystem;

constexpr const char* kFolderNames[] = {"Application", "Temporary", "Preferences",
                                        "Documents",   "Desktop",   "Application Data"};

struct State {
    std::string home;                                                 // empty: the default home
    std::deque<std::pair<std::optional<std::string>, int>> answers;   // scripted: path and type, next first
    std::vector<FileDialogRequest> requests;
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

}   // namespace

// --- Home and special folders ----------------------------------------------------------------------
void setHomeDirectory(const std::string& path) { state().home = path; }

std::string homeDirectory() {
    const fs::path home = state().home.empty() ? defaultHome() : fs::path(state().home);
    std::error_code error;
    fs::create_directories(home, error);   // a failure shows when a folder under it is asked for
    return home.string();
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
        error = path + ": cannot be read";
        return false;
    }
    if (fs::is_directory(status)) {
        error = path + ": is a folder, not a file";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        error = path + ": is not a regular file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxInputFileBytes) {
        error = path + ": is larger than " + std::to_string(kMaxInputFileBytes >> 20) + " MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    text.clear();
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxInputFileBytes) {   // it grew while we read
            error = path + ": is larger than " + std::to_string(kMaxInputFileBytes >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        error = path + ": cannot be read";
        return false;
    }
    return true;
}

const char* keptLocation(const std::string& path) {
    if (path.empty()) return nullptr;
    return keptLocations().insert(path).first->c_str();
}

std::optional<std::string> keptLocationPath(const void* location) {
    if (location == nullptr) return std::nullopt;
    for (const std::string& path : keptLocations())
        if (path.c_str() == location) return path;
    return std::nullopt;
}

}   // namespace host
