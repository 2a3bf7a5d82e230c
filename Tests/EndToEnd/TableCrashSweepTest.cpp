// A command that saves the mapping table, stopped at each of its file operations in turn: the operation
// fails with EIO, or the process is killed there. Each run is a child process, so that a kill is real. Three
// tables (an ordinary one, one that is a symbolic link into another folder, one hard-linked into two homes),
// each on three file systems as the file-operation seam answers for them: as the machine has it, without
// user attributes, and without unnamed files and rename flags. After each stop, runs with the default
// answers go through every home that names the table; then every name holds every row of the old table or
// every row of the one the stopped run was saving, every name still names the one file, a run that told of
// no failure has saved, and a copy a killed run left never comes back in place of a save that finished after
// it (with two homes: every row of that save still lies in some file, checked before home 1's run).
// The first default run after each state in which a stopped save left the table cut is stopped the same
// way at each of its own operations, with the same checks after it; and a copy that the other home cannot
// reach (another user's folder, a home moved) is not lost either. With the table in two homes, from each
// state a stopped save through home 1 leaves, a save through home 2 ends and a later one through home 2 is
// killed before the default runs through home 1 and then home 2; and where the table was left cut, New Table
// chosen through home 2 comes before home 1's default run: no row of a save that ended is then missing from
// every file. A save is stopped at every kind of operation, looks, seeks and folder listings too; the run
// after it at all but those.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <HostDialogLibrary.h>

#include "EndToEndFixture.h"
#include "Support/TableRows.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kCommand = "Skellow From ArchiCAD";
// One mapping more, which no other run makes: the unmapped "Bench 19" (third row of "Default") as "Table 01".
constexpr const char* kAddsBench = R"([
    {"do": "selectRows", "item": 9, "rows": [3]}, {"do": "setText", "item": 8, "text": "Table 01", "commit": true},
    {"do": "click", "item": 1}])";
constexpr std::size_t kFindingsShown = 6;   // the rest are counted
// A later save through home 2 that changes the table again: "Bench 19" mapped anew as "Chair 01".
constexpr const char* kRemapsBench = R"([
    {"do": "selectRows", "item": 9, "rows": [3]}, {"do": "setText", "item": 8, "text": "Chair 01", "commit": true},
    {"do": "click", "item": 1}])";
// The question about an unreadable table answered with New Table, its second button whatever comes first.
constexpr const char* kChoosesNewTable = R"([{"do": "answerAlert", "button": 2}])";
// A kill is left out where the unstopped run had the files as an earlier stop left them: it would leave them
// so again. Should a kill leave them otherwise, that does not hold.
constexpr const char* kOtherFiles = "the kill left the files otherwise than the unstopped run had them there";

enum class TableKind { ordinary, symlink, hardLinked };
// A file system as the seam answers for it: without user attributes (NFSv3, ramfs), or without unnamed
// files and rename flags.
enum class FileSystem { asTheMachineHasIt, noUserAttributes, noUnnamedFilesNorRenameFlags };
enum class Stop { none, error, kill };

struct Setting {
    TableKind kind;
    FileSystem fileSystem;
};

std::string settingName(const ::testing::TestParamInfo<Setting>& info) {
    constexpr const char* kKinds[] = {"Ordinary", "SymbolicLink", "HardLinked"};
    constexpr const char* kFileSystems[] = {"", "WithoutUserAttributes", "WithoutUnnamedFilesNorRenameFlags"};
    return std::string(kKinds[static_cast<int>(info.param.kind)]) +
           kFileSystems[static_cast<int>(info.param.fileSystem)];
}

// Each kind of table on each file system.
std::vector<Setting> settings(const std::vector<TableKind>& kinds) {
    std::vector<Setting> all;
    for (const TableKind kind : kinds)
        for (const FileSystem fileSystem : {FileSystem::asTheMachineHasIt, FileSystem::noUserAttributes,
                                            FileSystem::noUnnamedFilesNorRenameFlags})
            all.push_back({kind, fileSystem});
    return all;
}

// What the seam answers for a feature the file system lacks, as that file system would; 0 for one it has.
int featureAnswer(FileSystem fileSystem, host::FileOperation operation) {
    using host::FileOperation;
    if (fileSystem == FileSystem::noUserAttributes && operation == FileOperation::attribute) return ENOTSUP;
    if (fileSystem != FileSystem::noUnnamedFilesNorRenameFlags) return 0;
    if (operation == FileOperation::openUnnamed) return EOPNOTSUPP;
    if (operation == FileOperation::renameNoReplace || operation == FileOperation::exchange) return EINVAL;
    return 0;
}

const char* stopText(Stop stop) { return stop == Stop::error ? "failed with EIO" : "killed"; }

// Whether the operation reads or changes a file's bytes, names or attributes, rather than only looking at
// what is there (a look, a seek, a folder listed, a link read, a right asked).
bool changesOrReads(host::FileOperation operation, const std::string&) {
    using host::FileOperation;
    return operation != FileOperation::look && operation != FileOperation::seek &&
           operation != FileOperation::listFolder && operation != FileOperation::readLink &&
           operation != FileOperation::access;
}

bool holdsBench(const TableRows& rows) {
    return std::any_of(rows.begin(), rows.end(), [](const TableRow& row) {
        return row.list == "GSM/Default" && row.original == "Bench 19";
    });
}

// A run of the command in a child process.
struct RunPlan {
    RunPlan(fs::path home, std::string actions = {}, Stop stop = Stop::none, std::size_t at = 0,
            fs::path refused = {})
        : home(std::move(home)),
          actions(std::move(actions)),
          stop(stop),
          at(at),
          refused(std::move(refused)) {}
    fs::path home;
    std::string actions;   // none: every question takes its default button
    Stop stop;
    std::size_t at;     // the file operation stopped at
    fs::path refused;   // every operation on a path in this folder refused with EACCES, as another user's
    bool tellsStates = false;   // unstopped: the state of the files before each operation told
    // The operations counted towards `at`; none: every one.
    std::function<bool(host::FileOperation operation, const std::string& path)> counts;
};

// What a child run told through its pipe ("state <digest>" before each operation, or "stop <operation>
// <path>"; then "end <operations> <failure>") and how it ended.
struct ChildRun {
    bool exited = false;          // with status 0: not killed, no sanitizer report
    bool killed = false;          // by SIGKILL
    std::size_t operations = 0;   // file operations the command made (a feature's answer not counted)
    bool toldFailure = true;      // a non-zero result, a script stopped, or an alert of failure
    std::string stoppedAt;        // "write home/...": the operation failed or killed at
    std::vector<std::size_t> statesBefore;   // the state (digest) before each operation, when told
    std::vector<bool> looksOnly;             // for each operation told, whether it only looks
};

// A state kept, to be laid again without the stopped run that left it: every entry, and each file's text,
// mode, user attributes and time. A file is laid anew, so an attribute that names a file by its inode (the
// record of a copy, by device and inode) is given the new inode.
struct Kept {
    struct File {
        std::string text;
        std::vector<std::pair<std::string, std::string>> attributes;
        struct stat info {};
    };
    enum class Type { folder, link, file };
    struct Entry {
        fs::path path;
        Type type;
        fs::path target;        // a link's
        std::size_t file = 0;   // a file's, in files
    };
    std::vector<File> files;
    std::vector<Entry> entries;
};

// A state that a stopped save leaves, the stop that leaves it, and the state kept.
struct Cut {
    std::string state;
    Stop stop = Stop::none;
    std::size_t at = 0;
    std::string where;   // for messages
    Kept kept;
};

// In the child: the line written raw, so that no file operation of ours is counted.
void tell(int pipe, const std::string& line) {
    const std::string text = line + "\n";
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t put = ::write(pipe, text.data() + done, text.size() - done);
        if (put <= 0 && errno != EINTR) return;
        if (put > 0) done += static_cast<std::size_t>(put);
    }
}

bool isIn(std::string_view path, const std::string& folder) {
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// text with each run of digits put as `as` says.
std::string reworded(std::string_view text, const std::function<std::string(const std::string&)>& as) {
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.size(), text.find_first_not_of("0123456789", at));
        if (end == at) {
            result += text[at++];
            continue;
        }
        result += as(std::string(text.substr(at, end - at)));
        at = end;
    }
    return result;
}

// The note beside a table's name that records a copy where the file system keeps no record on the file.
bool isNote(const fs::path& path) {
    const std::string name = path.filename().string();
    return name.ends_with(".copy") || name.find(".copy.partial") != std::string::npos;   // or on its way
}

// A name as another run would leave it: a lock file's passing name "<lock>.<pid>-<n>", or a passing file's
// "<name>.partial <pid>-<n>", without the run.
std::string withoutRun(const std::string& name) {
    if (const std::size_t space = name.rfind(".partial "); space != std::string::npos) {
        const std::size_t at = space + std::string_view(".partial ").size();
        const std::size_t dash = name.find('-', at);
        if (dash != std::string::npos && dash > at && dash + 1 < name.size() &&
            name.find_first_not_of("0123456789-", at) == std::string::npos)
            return name.substr(0, at) + "<run>" + name.substr(dash);
    }
    const std::size_t dot = name.rfind('.');
    const std::size_t dash = name.rfind('-');
    if (dot == std::string::npos || dash == std::string::npos || dash < dot + 2 || dash + 1 == name.size() ||
        name.find_first_not_of("0123456789-", dot + 1) != std::string::npos)
        return name;
    return name.substr(0, dot) + ".<run>" + name.substr(dash);
}

// The user attributes of the file at path, each a name and a value.
std::vector<std::pair<std::string, std::string>> userAttributes(const fs::path& path) {
    std::vector<std::pair<std::string, std::string>> attributes;
    char list[4096];
    const ssize_t size = ::llistxattr(path.c_str(), list, sizeof list);
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(list + at)) + 1) {
        char value[4200];
        const ssize_t got = ::lgetxattr(path.c_str(), list + at, value, sizeof value);
        if (std::string_view(list + at).starts_with("user.") && got >= 0)
            attributes.push_back({list + at, std::string(value, static_cast<std::size_t>(got))});
    }
    return attributes;
}

// Whether text holds number as a word of its own.
bool holdsNumber(const std::string& text, std::uint64_t number) {
    const std::string word = std::to_string(number);
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !std::isdigit(static_cast<unsigned char>(text[at - 1]))) &&
            (end == text.size() || !std::isdigit(static_cast<unsigned char>(text[end]))))
            return true;
    }
    return false;
}

std::size_t digest(const std::string& text) { return std::hash<std::string>{}(text); }

class TableCrashSweep : public EndToEndFixture, public ::testing::WithParamInterface<Setting> {
protected:
    void SetUp() override {
        EndToEndFixture::SetUp();
        homeOne_ = home();
        // Loaded once here, with the house, the module is only started in each child: half a child's time.
        module_ = ::dlopen(SKELLOWING_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << ::dlerror();
        host_ = std::make_unique<host::SimulatedHost>();
        std::string error;
        ASSERT_TRUE(host_->project().loadFile(fixture("house.json").string(), error)) << error;
    }
    void TearDown() override {
        // A check that every run skipped (each later save refused and told) would have checked nothing.
        if (olderCopyChecksAsked_ > 0) {
            EXPECT_GT(olderCopyChecksMade_, 0u) << "no later save ended, so no older copy was looked for";
        }
        host_.reset();
        if (module_) ::dlclose(module_);
        EndToEndFixture::TearDown();
    }

    TableKind kind() const { return GetParam().kind; }
    fs::path home2() const { return scratch_ / "home2"; }
    fs::path moved() const { return scratch_ / "moved" / "home"; }
    fs::path shared() const { return scratch_ / "shared" / "ObjectMap.xml"; }
    fs::path file() const { return kind() == TableKind::ordinary ? tableIn(homeOne_) : shared(); }
    std::vector<fs::path> names() const {
        if (kind() == TableKind::ordinary) return {tableIn(homeOne_)};
        if (kind() == TableKind::symlink) return {tableIn(homeOne_), shared()};
        return {tableIn(homeOne_), tableIn(home2()), shared()};
    }
    // The homes that name the table, the one the saving run does not use first: a run through the home
    // that saved would find a copy left beside it before the other could miss it.
    std::vector<fs::path> homes() const {
        return kind() == TableKind::hardLinked ? std::vector<fs::path>{home2(), homeOne_}
                                               : std::vector<fs::path>{homeOne_};
    }
    std::vector<fs::path> folders() const { return {homeOne_, home2(), shared().parent_path()}; }
    std::vector<fs::path> entries() const;
    std::string shown(const fs::path& path) const { return path.lexically_relative(scratch_).string(); }

    void clear();
    void lay();
    std::string stateNow() const;
    bool tableBeside(bool otherRows) const;
    bool leftCut() const;
    bool copyLeft() const;
    bool copyBesideHomeOne() const;
    bool noteCannotTell() const;
    TableRows inNoFile(const TableRows& rows) const;
    std::string nameLeftTheFile() const;
    std::string rowsLost(const fs::path& name) const;
    ChildRun runChild(const RunPlan& run) const;
    [[noreturn]] void inChild(int pipe, const RunPlan& run) const;
    Kept keep() const;
    void layKept(const Kept& kept);

    void takeBaseline();
    ChildRun stoppedSave(Stop stop, std::size_t at);
    std::string where(Stop stop, std::size_t at, std::size_t total, const ChildRun& run) const;
    std::vector<Cut> cutStates(const std::vector<Stop>& stops, const std::function<bool()>& wanted);
    bool layCut(Cut& cut);
    void checkNames(const std::string& after, std::vector<std::string>& found) const;
    void checkKept(const std::string& after, bool cannotTell, std::vector<std::string>& found) const;
    void checkNextRuns(const std::string& state, std::vector<std::string>& found);
    bool checkNoOlderCopyComesBack(std::vector<std::string>& found);
    ChildRun putBack(Cut& cut, const fs::path& first, Stop stop, std::size_t at, const ChildRun& unstopped,
                     std::vector<std::string>& findings);

    void sweepSaves();
    void sweepPutBacks(bool throughTheOtherHome);
    void sweepCopiesOutOfReach();
    void sweepTwoHomes();

    fs::path homeOne_;   // home 1, where the saving run goes, or where it was moved
    void* module_ = nullptr;
    std::string oldText_, newText_;
    TableRows oldRows_, newRows_;
    ChildRun save_;                          // the save without a stop
    std::string laid_, saved_;               // the states before the save and after it
    std::set<std::size_t> checked_;          // the states (digests) that the next runs went on from
    std::set<std::size_t> afterOtherHome_;   // and those that the other home's run left
    std::size_t olderCopyChecksAsked_ = 0;   // checkNoOlderCopyComesBack called, and gone through
    std::size_t olderCopyChecksMade_ = 0;
};

// Every entry in the homes and the shared folder, in order.
std::vector<fs::path> TableCrashSweep::entries() const {
    std::vector<fs::path> all;
    for (const fs::path& folder : folders())
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
            all.push_back(entry.path());
    std::sort(all.begin(), all.end());
    return all;
}

// Nothing in the homes and the shared folder; home 1 in its place.
void TableCrashSweep::clear() {
    fs::remove_all(moved().parent_path());
    homeOne_ = home();
    for (const fs::path& folder : folders()) {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
}

// The fresh table, and nothing else in the homes and the shared folder.
void TableCrashSweep::lay() {
    clear();
    fs::create_directories(tableFile().parent_path());
    fs::copy_file(fixture("house-table.xml"), file());
    if (kind() == TableKind::symlink) fs::create_symlink(shared(), tableFile());
    if (kind() != TableKind::hardLinked) return;
    fs::create_directories(tableIn(home2()).parent_path());
    fs::create_hard_link(shared(), tableFile());
    fs::create_hard_link(shared(), tableIn(home2()));
}

// What the homes and the shared folder hold, comparable between runs: every entry, where each link leads,
// which entries are one file, what each file holds, and its user attributes without their numbers, with
// the file each names by its path, device and inode (the record of a copy), while that file is there.
std::string TableCrashSweep::stateNow() const {
    const std::vector<fs::path> all = entries();
    std::vector<std::pair<fs::path, struct stat>> regular;
    for (const fs::path& entry : all)
        if (struct stat info{}; ::lstat(entry.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            regular.push_back({entry, info});
    std::map<std::pair<dev_t, ino_t>, std::size_t> files;
    std::ostringstream state;
    for (const fs::path& entry : all) {
        state << withoutRun(shown(entry));
        struct stat info {};
        if (::lstat(entry.c_str(), &info) != 0) {
            state << " gone\n";
        } else if (S_ISLNK(info.st_mode)) {
            state << " -> " << fs::read_symlink(entry).string() << "\n";
        } else if (!S_ISREG(info.st_mode)) {
            state << "/\n";
        } else {
            std::string text = readFile(entry);
            if (isNote(entry)) text = reworded(text, [](const std::string&) { return std::string("#"); });
            state << " file " << files.try_emplace({info.st_dev, info.st_ino}, files.size()).first->second
                  << " " << text.size() << " " << digest(text);
            for (const auto& [name, value] : userAttributes(entry)) {
                state << " " << name << "="
                      << reworded(value, [](const std::string&) { return std::string("#"); });
                for (const auto& [path, named] : regular)
                    if (value.find(path.native()) != std::string::npos && holdsNumber(value, named.st_dev) &&
                        holdsNumber(value, named.st_ino))
                        state << " naming " << shown(path);
            }
            state << "\n";
        }
    }
    return state.str();
}

// Whether a whole table lies beside the names; with `otherRows`, only one whose rows are not the names'.
bool TableCrashSweep::tableBeside(bool otherRows) const {
    const TableRows held = tableRowsAt(file());
    std::error_code error;
    for (const fs::path& entry : entries())
        if (!fs::is_symlink(entry, error) && fs::is_regular_file(entry, error) &&
            !fs::equivalent(entry, file(), error))
            if (const TableRows rows = tableRowsAt(entry); !rows.empty() && (!otherRows || rows != held))
                return true;
    return false;
}

// Whether a stopped save left something for a later run to put back or lose: a name that does not read
// as a whole table, a record of a copy on the table's file, or a whole table beside the names that holds
// other rows. A copy of what the names hold, or a lock file, leaves the next runs as after no stop.
bool TableCrashSweep::leftCut() const {
    for (const fs::path& name : names())
        if (tableRowsAt(name).empty()) return true;
    return !userAttributes(file()).empty() || tableBeside(true);
}

// Whether a whole table lies beside the names, or a record of a copy is on the table's file.
bool TableCrashSweep::copyLeft() const { return tableBeside(false) || !userAttributes(file()).empty(); }

// Whether the table is cut and a whole table lies in home 1's folder, beside its name.
bool TableCrashSweep::copyBesideHomeOne() const {
    if (!tableRowsAt(file()).empty()) return false;
    for (const fs::directory_entry& entry : fs::directory_iterator(tableIn(home()).parent_path()))
        if (entry.path() != tableIn(home()) && !tableRowsAt(entry.path()).empty()) return true;
    return false;
}

// Whether a note beside a name of the table cannot tell whose state the table is: its save stopped after it
// emptied the table and before the note took the time it left the table at (its field is not laid), or
// the table still has that time, which another save's emptying in the same tick of the clock would leave
// too. A run through a name of a table with several names then offers the copy, never by default.
bool TableCrashSweep::noteCannotTell() const {
    for (const fs::path& home : homes()) {
        const std::string note = readFile(fs::path(tableIn(home).string() + ".copy"));
        const std::size_t field = note.find(' ') + 1;
        const std::size_t end = note.find(' ', field);
        if (field == 0 || end == std::string::npos || end <= field) continue;
        if (note.find_first_not_of('-', field) == end) return true;
        unsigned long long seconds = 0, nanoseconds = 0, size = 0;
        struct stat info {};
        if (std::sscanf(note.c_str() + field, "%llu.%llu.%llu", &seconds, &nanoseconds, &size) == 3 &&
            ::stat(tableIn(home).c_str(), &info) == 0 &&
            static_cast<unsigned long long>(info.st_ctim.tv_sec) == seconds &&
            static_cast<unsigned long long>(info.st_ctim.tv_nsec) == nanoseconds &&
            static_cast<unsigned long long>(info.st_size) == size)
            return true;
    }
    return false;
}

// The rows of `rows` that no whole table in the homes and the shared folder holds.
TableRows TableCrashSweep::inNoFile(const TableRows& rows) const {
    TableRows held;
    std::error_code error;
    for (const fs::path& entry : entries())
        if (!fs::is_symlink(entry, error) && fs::is_regular_file(entry, error))
            held.merge(tableRowsAt(entry));
    return rowsMissing(rows, held);
}

// Empty while every name names the table's one file (the symbolic link still a link to it).
std::string TableCrashSweep::nameLeftTheFile() const {
    std::error_code error;
    if (kind() == TableKind::symlink && !fs::is_symlink(tableIn(homeOne_), error))
        return shown(tableIn(homeOne_)) + " is no longer a symbolic link";
    for (const fs::path& name : names())
        if (!fs::equivalent(name, file(), error)) return shown(name) + " no longer names the table's file";
    return {};
}

// Empty when the name holds every row of the old table or every row of the one the stopped save was
// saving (and any the runs after it added); else which rows it lost.
std::string TableCrashSweep::rowsLost(const fs::path& name) const {
    const TableRows rows = tableRowsAt(name);
    const TableRows lostOld = rowsMissing(oldRows_, rows), lostNew = rowsMissing(newRows_, rows);
    if (lostOld.empty() || lostNew.empty()) return {};
    return shown(name) + " holds " + std::to_string(rows.size()) +
           " rows, neither every row of the old table (" + std::to_string(oldRows_.size()) +
           ") nor of the stopped save's (" + std::to_string(newRows_.size()) +
           "); lost: " + rowNames(lostOld.size() <= lostNew.size() ? lostOld : lostNew);
}

// The command in a child process.
ChildRun TableCrashSweep::runChild(const RunPlan& run) const {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        inChild(ends[1], run);
    }
    ::close(ends[1]);
    std::string told;
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) != 0;)
        if (got > 0)
            told.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            break;
    ::close(ends[0]);
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ChildRun result;
    result.exited = child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.killed = child > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    std::istringstream lines(told);
    for (std::string key; lines >> key;) {
        if (key == "state") {
            bool looks = false;
            lines >> result.statesBefore.emplace_back() >> looks;
            result.looksOnly.push_back(looks);
        } else if (key == "stop") {
            std::string operation, path;
            lines >> operation >> std::ws;
            std::getline(lines, path);
            result.stoppedAt = operation + " " + shown(path);
        } else if (key == "end") {
            lines >> result.operations >> result.toldFailure;
        }
    }
    return result;
}

// The module started in the host with the house, the user's actions and the watcher: it answers for the
// features the file system lacks, refuses what lies in the refused folder, and stops the run at its file
// operation `at`; or it tells the state of the files before each operation, which a kill there leaves.
void TableCrashSweep::inChild(int pipe, const RunPlan& run) const {
    host::setHomeDirectory(run.home.string());
    host::clearUserActions();
    std::string error;
    if (!host_->startAddon(SKELLOWING_MODULE_PATH, error) ||
        (!run.actions.empty() && !host::parseUserActions(run.actions, run.home.string(), error)))
        ::_exit(3);
    host::clearRecordedAlerts();
    const FileSystem fileSystem = GetParam().fileSystem;
    const std::string refused = run.refused.string();
    std::size_t operations = 0;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (const int answer = featureAnswer(fileSystem, operation)) return answer;
        if (!refused.empty() && isIn(path, refused)) return EACCES;
        if (run.counts && !run.counts(operation, path)) return 0;
        if (run.tellsStates)
            tell(pipe, "state " + std::to_string(digest(stateNow())) +
                           (changesOrReads(operation, path) ? " 0" : " 1"));
        if (++operations != run.at) return 0;
        tell(pipe, std::string("stop ") + host::fileOperationName(operation) + " " + path);
        if (run.stop == Stop::kill) ::raise(SIGKILL);
        return EIO;
    });
    const auto choice = host_->findMenuItem(kCommand);
    const host::Result result = choice ? host_->selectMenuItem(*choice) : host::kErrBadParameters;
    host::watchFileOperations({});
    // A dialog other than the one the actions were written for stops them, which the user would see.
    const auto& alerts = host::recordedAlerts();
    const bool failure = result != host::kNoError || !host::scriptStopMessage().empty() ||
                         std::any_of(alerts.begin(), alerts.end(), toldAsFailure);
    tell(pipe, "end " + std::to_string(operations) + " " + (failure ? "1" : "0"));
    ::_exit(0);
}

Kept TableCrashSweep::keep() const {
    Kept kept;
    std::map<std::pair<dev_t, ino_t>, std::size_t> files;
    for (const fs::path& entry : entries()) {
        struct stat info {};
        if (::lstat(entry.c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) {
            kept.entries.push_back({entry, Kept::Type::folder, {}, 0});
        } else if (S_ISLNK(info.st_mode)) {
            kept.entries.push_back({entry, Kept::Type::link, fs::read_symlink(entry), 0});
        } else {
            const auto [file, added] = files.try_emplace({info.st_dev, info.st_ino}, kept.files.size());
            kept.entries.push_back({entry, Kept::Type::file, {}, file->second});
            if (added) kept.files.push_back({readFile(entry), userAttributes(entry), info});
        }
    }
    return kept;
}

void TableCrashSweep::layKept(const Kept& kept) {
    clear();
    std::vector<fs::path> made(kept.files.size());
    for (const Kept::Entry& entry : kept.entries) {
        if (entry.type == Kept::Type::folder) {
            fs::create_directories(entry.path);
        } else if (entry.type == Kept::Type::link) {
            fs::create_symlink(entry.target, entry.path);
        } else if (!made[entry.file].empty()) {
            fs::create_hard_link(made[entry.file], entry.path);
        } else {
            std::ofstream(entry.path, std::ios::binary) << kept.files[entry.file].text;
            ::chmod(entry.path.c_str(), kept.files[entry.file].info.st_mode & 07777);
            made[entry.file] = entry.path;
        }
    }
    std::map<std::string, std::string> inodes;   // as kept, as laid
    for (std::size_t file = 0; file < made.size(); ++file)
        if (struct stat info{}; ::lstat(made[file].c_str(), &info) == 0)
            inodes[std::to_string(kept.files[file].info.st_ino)] = std::to_string(info.st_ino);
    for (std::size_t file = 0; file < made.size(); ++file) {
        // The note of a copy, where the file system keeps no record, names files by their inodes too.
        if (isNote(made[file]))
            std::ofstream(made[file], std::ios::binary | std::ios::trunc)
                << reworded(kept.files[file].text, [&inodes](const std::string& number) {
                       const auto inode = inodes.find(number);
                       return inode == inodes.end() ? number : inode->second;
                   });
        for (const auto& [name, value] : kept.files[file].attributes) {
            const std::string laid = reworded(value, [&inodes](const std::string& number) {
                const auto inode = inodes.find(number);
                return inode == inodes.end() ? number : inode->second;
            });
            ::lsetxattr(made[file].c_str(), name.c_str(), laid.data(), laid.size(), 0);
        }
        const struct timespec times[2] = {kept.files[file].info.st_atim, kept.files[file].info.st_mtim};
        ::utimensat(AT_FDCWD, made[file].c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    // A note keeps the change time its save left the table with, which no file laid anew has: the time it
    // had of the file it names (by its inode, first) is given that file's time now, so that the note is as
    // much the table's as it was.
    const auto changed = [](const struct stat& info) {
        const std::string seconds = std::to_string(info.st_ctim.tv_sec);
        const std::string nanoseconds = std::to_string(info.st_ctim.tv_nsec);
        return std::string(20 - seconds.size(), '0') + seconds + "." +
               std::string(9 - nanoseconds.size(), '0') + nanoseconds + ".";
    };
    for (std::size_t file = 0; file < made.size(); ++file) {
        if (!isNote(made[file])) continue;
        const std::string& noted = kept.files[file].text;
        const std::string about = noted.substr(0, noted.find(' '));
        for (std::size_t other = 0; other < made.size(); ++other) {
            struct stat now {};
            if (std::to_string(kept.files[other].info.st_ino) != about ||
                ::lstat(made[other].c_str(), &now) != 0)
                continue;
            std::string text = readFile(made[file]);
            const std::string was = changed(kept.files[other].info);
            if (const std::size_t at = text.find(was); at != std::string::npos) {
                text.replace(at, was.size(), changed(now));
                std::ofstream(made[file], std::ios::binary | std::ios::trunc) << text;
            }
        }
    }
}

// The save without a stop, once for the case: the old and the new table, the states before and after,
// and the state before each of its operations.
void TableCrashSweep::takeBaseline() {
    lay();
    laid_ = stateNow();
    oldText_ = readFile(file());
    RunPlan save(homeOne_, kUsersMapping);
    save.tellsStates = true;
    save_ = runChild(save);
    ASSERT_TRUE(save_.exited && !save_.toldFailure) << "the run without a stop failed";
    newText_ = readFile(file());
    oldRows_ = tableRows(oldText_);
    newRows_ = tableRows(newText_);
    ASSERT_NE(newRows_, oldRows_) << "the user's mapping must change the table";
    ASSERT_EQ(rowNames(rowsMissing(oldRows_, newRows_)), "none") << "the run without a stop lost rows";
    ASSERT_EQ(nameLeftTheFile(), "");
    saved_ = stateNow();
    ASSERT_GT(save_.operations, 0u);
    ASSERT_EQ(save_.statesBefore.size(), save_.operations);
}

// The saving run on the fresh table, stopped at its operation `at`.
ChildRun TableCrashSweep::stoppedSave(Stop stop, std::size_t at) {
    lay();
    return runChild({homeOne_, kUsersMapping, stop, at});
}

std::string TableCrashSweep::where(Stop stop, std::size_t at, std::size_t total, const ChildRun& run) const {
    return "operation " + std::to_string(at) + " of " + std::to_string(total) + " (" + run.stoppedAt + ") " +
           stopText(stop);
}

// Each wanted state that a stopped save leaves, once, and kept. A kill where the unstopped save met
// the files as at an earlier kill would only leave them so again. Its looks are left out here, as in the
// run after it (putBack); sweepSaves stops at them.
std::vector<Cut> TableCrashSweep::cutStates(const std::vector<Stop>& stops,
                                            const std::function<bool()>& wanted) {
    std::vector<Cut> cuts;
    std::set<std::size_t> seen;
    for (const Stop stop : stops)
        for (std::size_t at = 1; at <= save_.operations; ++at) {
            if (save_.looksOnly[at - 1] || (stop == Stop::kill && seen.contains(save_.statesBefore[at - 1])))
                continue;
            const ChildRun stopped = stoppedSave(stop, at);
            std::string state = stateNow();
            if (!seen.insert(digest(state)).second || !wanted()) continue;
            Cut& cut = cuts.emplace_back();
            cut.state = std::move(state);
            cut.stop = stop;
            cut.at = at;
            cut.where = where(stop, at, save_.operations, stopped);
            cut.kept = keep();
        }
    return cuts;
}

// The cut state laid again, as kept or else by its stopped save; false when that leaves another state.
bool TableCrashSweep::layCut(Cut& cut) {
    layKept(cut.kept);
    if (stateNow() == cut.state) return true;
    stoppedSave(cut.stop, cut.at);
    return stateNow() == cut.state;
}

void TableCrashSweep::checkNames(const std::string& after, std::vector<std::string>& found) const {
    if (const std::string part = nameLeftTheFile(); !part.empty()) found.push_back(after + part);
    for (const fs::path& name : names())
        if (const std::string lost = rowsLost(name); !lost.empty()) found.push_back(after + lost);
}

// As checkNames; but where a note could not tell whose state the table with several names was, the runs
// with the default answers put nothing back, and every row of the old table must lie in some file.
void TableCrashSweep::checkKept(const std::string& after, bool cannotTell,
                                std::vector<std::string>& found) const {
    if (!cannotTell || kind() != TableKind::hardLinked) return checkNames(after, found);
    if (const std::string part = nameLeftTheFile(); !part.empty()) found.push_back(after + part);
    if (const TableRows lost = inNoFile(oldRows_); !lost.empty())
        found.push_back(after + "rows of the old table lie in no file: " + rowNames(lost));
}

// The next runs with the default answers through every home, and what they leave checked, once for each
// state they start from: from the same state they would find the same. Where every name reads whole as
// the one file, with no copy beside and no record of one, they have nothing to put back: the names are
// checked as they are. Where a second home names the table, its run comes first, and then, before home 1's
// run, which would tidy what a stopped save left beside it, a later save through it and a cut, after which
// the state is laid again; with one home, that later save is home 1's own, after its run.
void TableCrashSweep::checkNextRuns(const std::string& state, std::vector<std::string>& found) {
    if (!checked_.insert(digest(state)).second) return;
    const bool cannotTell = noteCannotTell();
    const std::vector<fs::path> all = names();
    if (!copyLeft() && nameLeftTheFile().empty() &&
        std::none_of(all.begin(), all.end(), [](const fs::path& name) { return tableRowsAt(name).empty(); }))
        return checkNames("as left, ", found);
    const std::size_t before = found.size();
    const bool secondHome = homes().front() != homeOne_;
    for (const fs::path& next : homes())
        if (next != homeOne_ && !runChild({next}).exited)
            found.push_back("the next run through " + shown(next) + " crashed");
    // What follows went on once from each state the other home's run leaves.
    if (secondHome && found.size() == before && !afterOtherHome_.insert(digest(stateNow())).second) return;
    // Only a whole copy, or the record of one, could come back.
    if (secondHome && found.size() == before && copyLeft()) {
        const Kept kept = keep();
        checkNoOlderCopyComesBack(found);
        layKept(kept);
    }
    if (!runChild({homeOne_}).exited) found.push_back("the next run through " + shown(homeOne_) + " crashed");
    // A note that cannot tell is never followed by default where the table has other names: the rows then
    // lie in its copy.
    checkKept("after the next runs with the default answers, ", cannotTell, found);
    if (!secondHome && found.size() == before && copyLeft()) checkNoOlderCopyComesBack(found);
}

// A copy that a stopped run left must not come back in place of a save that finished since: one more
// mapping saved through the other home, the table then cut, and the next runs with the default answers.
// With one home, the cut is a disk fault's and the run through it may leave a new table of the defaults,
// or one with that mapping. With a second home, the cut is a later save through it, killed at its first
// write into the table, and the run through home 1 comes before that home's: every row of the save that
// finished must then lie in some file, whichever copy came back. False when the save of one more mapping
// was refused and told so (another run's turn, ...): nothing newer to lose.
bool TableCrashSweep::checkNoOlderCopyComesBack(std::vector<std::string>& found) {
    ++olderCopyChecksAsked_;
    const fs::path other = homes().front();
    const ChildRun benched = runChild({other, kAddsBench});
    if (!benched.exited) {
        found.push_back("the save of one more mapping through " + shown(other) + " crashed");
        return false;
    }
    const TableRows saved = tableRowsAt(file());
    if (benched.toldFailure) return false;
    if (!holdsBench(saved)) {
        found.push_back("the save of one more mapping told of no failure, but the table does not hold it");
        return false;
    }
    ++olderCopyChecksMade_;
    if (other != homeOne_) {
        const std::string table = tableIn(other).string();
        RunPlan cutting(other, kRemapsBench, Stop::kill, 1);
        cutting.counts = [&table](host::FileOperation operation, const std::string& path) {
            return operation == host::FileOperation::write && path == table;
        };
        if (!runChild(cutting).killed)
            found.push_back("the later save through " + shown(other) + " was never killed in its write");
        for (const fs::path& next : {homeOne_, other})
            if (!runChild({next}).exited) found.push_back("the run through " + shown(next) + " crashed");
        if (const TableRows lost = inNoFile(saved); !lost.empty())
            found.push_back("after a later save through " + shown(other) +
                            " was killed and the runs through " + shown(homeOne_) + " and " + shown(other) +
                            " went on, no file holds " + rowNames(lost) +
                            " of the save that finished before");
        return true;
    }
    fs::resize_file(file(), fs::file_size(file()) / 2);
    const bool exited = runChild({homeOne_}).exited;
    const TableRows rows = tableRowsAt(file());
    if (!exited)
        found.push_back("the run through " + shown(homeOne_) + " on the cut table crashed");
    else if (!rows.empty() && !holdsBench(rows))
        found.push_back("once the table saved later was cut, the next run put back an older table (" +
                        std::to_string(rows.size()) + " rows, without the later mapping of Bench 19)");
    return true;
}

void expectNone(const std::vector<std::string>& findings, const std::string& what) {
    std::string shownFindings;
    for (std::size_t i = 0; i < findings.size() && i < kFindingsShown; ++i)
        shownFindings += "  " + findings[i] + "\n";
    EXPECT_TRUE(findings.empty()) << findings.size() << " findings " << what << ", among them:\n"
                                  << shownFindings;
}

// Each operation of the save failed, then killed; a kill where the unstopped save met the files as the
// next runs have already gone on from (or as before the save, or as after it) is left out.
void TableCrashSweep::sweepSaves() {
    takeBaseline();
    if (HasFatalFailure()) return;
    checked_ = {digest(laid_), digest(saved_)};
    const std::size_t total = save_.operations;
    for (const Stop stop : {Stop::error, Stop::kill}) {
        std::vector<std::string> findings;
        for (std::size_t at = 1; at <= total; ++at) {
            if (stop == Stop::kill && checked_.contains(save_.statesBefore[at - 1])) continue;
            const ChildRun stopped = stoppedSave(stop, at);
            std::vector<std::string> found;
            if (!stopped.exited && !(stop == Stop::kill && stopped.killed))
                found.push_back("the run crashed");
            if (stop == Stop::error && stopped.exited && !stopped.toldFailure)
                for (const fs::path& name : names())
                    if (tableRowsAt(name) != newRows_)
                        found.push_back("the run told of no failure, but " + shown(name) +
                                        " does not hold the table it saved");
            const std::string state = stateNow();
            if (stop == Stop::kill && digest(state) != save_.statesBefore[at - 1])
                found.push_back(kOtherFiles);
            checkNextRuns(state, found);
            for (const std::string& what : found)
                findings.push_back(where(stop, at, total, stopped) + ": " + what);
        }
        expectNone(findings, std::string("where a file operation of the save ") + stopText(stop));
    }
}

// The first default run after the cut state through home `first`, stopped at its operation `at`; then the
// next runs with the default answers.
ChildRun TableCrashSweep::putBack(Cut& cut, const fs::path& first, Stop stop, std::size_t at,
                                  const ChildRun& unstopped, std::vector<std::string>& findings) {
    const std::string after = "after " + cut.where + ", the first default run through " + shown(first);
    if (!layCut(cut)) {
        findings.push_back(after + ": the save stopped again left other files");
        return {};
    }
    RunPlan plan(first, "", stop, at);
    plan.tellsStates = stop == Stop::none;
    // A save's looks are each stopped at (sweepSaves); the run after it is stopped at its other operations
    // only, at which it acts on what it read and looked at: stopping its looks too would take more than
    // twice as long, for the steps of the file layer that the save's looks already go through.
    plan.counts = changesOrReads;
    const ChildRun run = runChild(plan);
    std::vector<std::string> found;
    if (!run.exited && !(stop == Stop::kill && run.killed)) found.push_back("it crashed");
    if (stop != Stop::kill && run.exited && !run.toldFailure)
        checkNames("it told of no failure, but ", found);
    const std::string state = stateNow();
    if (stop == Stop::kill && digest(state) != unstopped.statesBefore[at - 1]) found.push_back(kOtherFiles);
    checkNextRuns(state, found);
    const std::string how = stop == Stop::none ? "" : ", " + where(stop, at, unstopped.operations, run);
    for (const std::string& what : found) findings.push_back(after + how + ": " + what);
    return run;
}

// For each state a stopped save leaves cut, the first default run after it, through the home that saved or
// the other, unstopped, then stopped at each of its own operations in turn.
void TableCrashSweep::sweepPutBacks(bool throughTheOtherHome) {
    takeBaseline();
    if (HasFatalFailure()) return;
    std::vector<Cut> cuts = cutStates({Stop::error, Stop::kill}, [this] { return leftCut(); });
    ASSERT_FALSE(cuts.empty()) << "no stop of the save leaves the table cut or a copy beside it";
    const fs::path first = throughTheOtherHome ? home2() : home();
    std::vector<std::string> findings;
    for (Cut& cut : cuts) {
        const ChildRun unstopped = putBack(cut, first, Stop::none, 0, {}, findings);
        for (const Stop stop : {Stop::error, Stop::kill})
            for (std::size_t at = 1; at <= unstopped.operations; ++at)
                if (stop == Stop::error || !checked_.contains(unstopped.statesBefore[at - 1]))
                    putBack(cut, first, stop, at, unstopped, findings);
    }
    expectNone(findings, "where a file operation of the first run after a stopped save failed or was killed");
}

// A copy that the other home cannot reach: a killed save of the hard-linked table left the table cut and a
// copy in home 1's folder, which home 2's runs cannot open (another user's), or which was moved.
void TableCrashSweep::sweepCopiesOutOfReach() {
    takeBaseline();
    if (HasFatalFailure()) return;
    const fs::path folder = tableIn(home()).parent_path();
    std::vector<Cut> cuts = cutStates({Stop::kill}, [this] { return copyBesideHomeOne(); });
    ASSERT_FALSE(cuts.empty()) << "no kill of the save leaves the table cut and a copy in home 1's folder";
    std::vector<std::string> findings;
    for (Cut& cut : cuts) {
        std::vector<std::string> found;
        if (!layCut(cut)) continue;
        const bool cannotTell = noteCannotTell();
        for (const RunPlan& next : {RunPlan(home2(), "", Stop::none, 0, folder),
                                    RunPlan(home2(), "", Stop::none, 0, folder), RunPlan(home())})
            if (!runChild(next).exited) found.push_back("the run through " + shown(next.home) + " crashed");
        checkKept("then ", cannotTell, found);
        for (const std::string& what : found)
            findings.push_back("after " + cut.where + ", home 2's runs refused home 1's folder: " + what);
        found.clear();
        if (!layCut(cut)) continue;
        fs::create_directories(moved().parent_path());
        fs::rename(home(), moved());
        homeOne_ = moved();
        for (const fs::path& next : {home2(), home2(), moved()})
            if (!runChild({next}).exited) found.push_back("the run through " + shown(next) + " crashed");
        checkKept("then ", cannotTell, found);
        for (const std::string& what : found)
            findings.push_back("after " + cut.where + ", home 1 moved: " + what);
    }
    expectNone(findings, "where the copy a stopped save kept lies out of the other home's reach");
}

// From each state a stopped save through home 1 leaves: (a) where something is left beside the names, a
// save through home 2 that ends, one through home 2 killed at its first write into the table, then the
// default runs through home 1 and home 2; (b) where the table is left cut with a copy beside home 1, New
// Table chosen through home 2, then the default run through home 1. Every row of a save that ended must
// then lie in some file.
void TableCrashSweep::sweepTwoHomes() {
    takeBaseline();
    if (HasFatalFailure()) return;
    const std::size_t before = digest(laid_), after = digest(saved_);
    std::vector<Cut> cuts = cutStates({Stop::error, Stop::kill}, [&] {
        const std::size_t state = digest(stateNow());
        return state != before && state != after && (copyLeft() || tableRowsAt(file()).empty());
    });
    ASSERT_FALSE(cuts.empty()) << "no stop of the save leaves a copy or the table cut";
    const auto check = [&](const std::string& what, const TableRows& ended, std::vector<std::string>& found) {
        if (const std::string part = nameLeftTheFile(); !part.empty()) found.push_back(what + part);
        if (const TableRows lost = inNoFile(ended); !lost.empty())
            found.push_back(what + "no file holds " + rowNames(lost));
    };
    std::vector<std::string> findings;
    std::size_t ended = 0, choseNewTable = 0;   // sequences that went through
    for (Cut& cut : cuts) {
        std::vector<std::string> found;
        if (!layCut(cut)) {
            findings.push_back("after " + cut.where + ": the save stopped again left other files");
            continue;
        }
        if (copyBesideHomeOne()) {
            ++choseNewTable;
            if (!runChild({home2(), kChoosesNewTable}).exited)
                found.push_back("New Table chosen through home 2 crashed");
            else if (!runChild({homeOne_}).exited)
                found.push_back("the run through home 1 after New Table crashed");
            else
                check("after New Table through home 2 and a run through home 1, ", oldRows_, found);
            layCut(cut);
        }
        if (checkNoOlderCopyComesBack(found)) ++ended;
        for (const std::string& what : found) findings.push_back("after " + cut.where + ": " + what);
    }
    EXPECT_GT(ended, 0u) << "no save through home 2 ended after a stopped save through home 1";
    EXPECT_GT(choseNewTable, 0u) << "no stop of the save left the table cut with a copy beside home 1";
    expectNone(findings, "where saves through both homes followed a stopped save through home 1");
}

class TableCopyOutOfReach : public TableCrashSweep {};
class TableCrashThroughTwoHomes : public TableCrashSweep {};
class TablePutBackThroughTheOtherHome : public TableCrashSweep {};

TEST_P(TableCrashSweep, AStoppedSaveLosesNoRow) { sweepSaves(); }

TEST_P(TableCrashSweep, AStoppedPutBackThroughTheHomeThatSavedLosesNoRow) { sweepPutBacks(false); }

TEST_P(TablePutBackThroughTheOtherHome, AStoppedPutBackLosesNoRow) { sweepPutBacks(true); }

TEST_P(TableCopyOutOfReach, ACopyTheOtherHomeCannotReachIsNotLost) { sweepCopiesOutOfReach(); }

TEST_P(TableCrashThroughTwoHomes, NoRowOfASaveThatEndedIsLost) { sweepTwoHomes(); }

INSTANTIATE_TEST_SUITE_P(, TableCrashSweep,
                         ::testing::ValuesIn(settings({TableKind::ordinary, TableKind::symlink,
                                                       TableKind::hardLinked})),
                         settingName);
INSTANTIATE_TEST_SUITE_P(, TablePutBackThroughTheOtherHome,
                         ::testing::ValuesIn(settings({TableKind::hardLinked})), settingName);
INSTANTIATE_TEST_SUITE_P(, TableCopyOutOfReach, ::testing::ValuesIn(settings({TableKind::hardLinked})),
                         settingName);
INSTANTIATE_TEST_SUITE_P(, TableCrashThroughTwoHomes, ::testing::ValuesIn(settings({TableKind::hardLinked})),
                         settingName);

}   // namespace
