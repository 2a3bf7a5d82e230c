// PassingFile: a run's new file is never taken for one a run that ended left, and of those only the files
// that can be a run's are removed.
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Foundation/Directory.h"
#include "Foundation/FileLock.h"
#include "Foundation/PassingFile.h"
#include "Foundation/SafeFile.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"

namespace {

// Called just before each lock this test program takes, with the descriptor: lets a test act as another
// run in the moment between a file's making and its lock.
std::function<void(int descriptor)> beforeLock;

}   // namespace

// The system's lock, taken through this program's own flock: every lock of the framework comes here.
extern "C" int flock(int descriptor, int operation) noexcept {
    if (beforeLock) std::exchange(beforeLock, nullptr)(descriptor);
    static const auto system = reinterpret_cast<int (*)(int, int)>(::dlsym(RTLD_NEXT, "flock"));
    return system(descriptor, operation);
}

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Whether another holder has the file's lock: this process cannot take it through a descriptor of its own.
bool lockedByAnother(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    const bool locked =
        descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (descriptor >= 0) ::close(descriptor);
    return locked;
}

// The file system answers as one that makes no unnamed files, while it lives.
class NoUnnamedFiles {
public:
    explicit NoUnnamedFiles(FileOperationWatch::Watcher also = nullptr)
        : watch_([also = std::move(also)](host::FileOperation operation, const std::string& path) {
              if (operation == host::FileOperation::openUnnamed) return EOPNOTSUPP;
              return also ? also(operation, path) : 0;
          }) {}

private:
    FileOperationWatch watch_;
};

TEST(PassingFile, ALiveRunsFileIsKeptAndOnlyWhatCanBeADeadRunsIsRemoved) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    const String table("table.xml");
    // A live run's file, from the moment it has a name: locked, so another run's clean-up passes it over.
    std::unique_ptr<PassingFile> live = PassingFile::make(folder, table);
    ASSERT_TRUE(live);
    EXPECT_EQ(live->getLocation().filename(), "table.xml.partial");
    const int other = ::open(live->getLocation().c_str(), O_RDONLY);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    // Left by runs that ended: an empty file, the start of what the cleaning run writes and a second name
    // of the table go; a file that holds anything else may be a whole table or the user's, and stays, as
    // does a link.
    scratch.write("data/table.xml.partial 2", "");
    scratch.write("data/table.xml.partial 3", "<new");
    scratch.write("data/table.xml.partial 4", "<old table>");
    fs::create_symlink(scratch.path() / "victim", folder.getLocation() / "table.xml.partial 5");
    // A second name of the table itself, which a run stopped as it took the name by a second name left;
    // the turn has the table locked in itself, as for every table with several names.
    const fs::path tableFile = scratch.write("data/table.xml", "<the table>");
    fs::create_hard_link(tableFile, folder.getLocation() / "table.xml.partial 6");
    std::unique_ptr<FileLock> turn = FileLock::acquireFile(tableFile, std::chrono::milliseconds(0));
    ASSERT_TRUE(turn);
    PassingFile::removeLeft(folder, table, "<new table>");
    turn.reset();
    EXPECT_TRUE(fs::exists(live->getLocation()));
    EXPECT_FALSE(fs::exists(folder.getLocation() / "table.xml.partial 2"));
    EXPECT_FALSE(fs::exists(folder.getLocation() / "table.xml.partial 3"));
    EXPECT_TRUE(fs::exists(folder.getLocation() / "table.xml.partial 4"));
    EXPECT_TRUE(fs::is_symlink(folder.getLocation() / "table.xml.partial 5"));
    EXPECT_FALSE(fs::exists(folder.getLocation() / "table.xml.partial 6"));
    EXPECT_EQ(ScratchFolder::contents(tableFile), "<the table>");
    EXPECT_EQ(fs::hard_link_count(tableFile), 1u);
    fs::remove(tableFile);

    // Taking a name never replaces an entry that came meanwhile; replacing checks it is still the one seen.
    scratch.write("data/table.xml", "old");
    const auto was = identityAt(folder.getLocation() / "table.xml");
    EXPECT_FALSE(live->takeName(table));
    scratch.write("data/elsewhere", "in the way");
    fs::rename(folder.getLocation() / "elsewhere", folder.getLocation() / "table.xml");
    EXPECT_FALSE(live->replace(table, was));
    EXPECT_EQ(ScratchFolder::contents(folder.getLocation() / "table.xml"), "in the way");
    EXPECT_TRUE(live->replace(table, identityAt(folder.getLocation() / "table.xml")));
    const fs::path named = live->getLocation();
    live.reset();   // a file that took its name stays
    EXPECT_EQ(named, folder.getLocation() / "table.xml");
    EXPECT_EQ(ScratchFolder::contents(named), "");

    // Whole files that runs which ended left under every name earlier releases gave, and under names of
    // this process's own (a run before it with the same process id), never use up the passing names; each
    // is found as a passing file, and nothing else is.
    const Directory many(scratch.path() / "many", /*create=*/true);
    for (int n = 1; n <= PassingFile::kMostNames; ++n)
        scratch.write("many/table.xml.partial" + (n > 1 ? " " + std::to_string(n) : std::string()),
                      "<whole>");
    for (int n = 2; n <= 10; ++n)
        scratch.write("many/" + std::string(PassingFile::nameFor(table, n).getView()), "<whole>");
    for (const char* notPassing : {"table.xml.partial 2-", "table.xml.partials", "table.xml.partial -2"})
        scratch.write("many/" + std::string(notPassing), "<whole>");
    const std::unique_ptr<PassingFile> made = PassingFile::make(many, table);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getLocation(),
              many.getLocation() / std::string(PassingFile::nameFor(table, 11).getView()));
    EXPECT_EQ(PassingFile::namesIn(many, table).size(), PassingFile::kMostNames + 10u);
}

// An entry that takes the name while a new file is written for it keeps the name: it is given it back
// when the names were traded, and the file system that cannot trade names looks before it renames. Where
// the names cannot be traded back, the outcome says so, and where the entry lies.
TEST(PassingFile, AnEntryThatCameMeanwhileKeepsTheNameOrIsToldWhereItLies) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    const fs::path table = folder.getLocation() / "t.xml";
    const auto comesMeanwhile = [&](DataFile& file) {
        scratch.write("data/t.xml", "old");
        return file.write(String("mine"));
    };
    const auto anotherComes = [&](DataFile& file) {
        scratch.write("data/other", "another run's");
        fs::rename(folder.getLocation() / "other", table);
        return file.write(String("mine"));
    };
    const auto entries = [&] { return std::distance(fs::directory_iterator(folder.getLocation()), {}); };
    int exchangeFault = 0;
    int exchanges = 0;
    const FileOperationWatch watch([&](host::FileOperation operation, const std::string&) {
        if (operation != host::FileOperation::exchange) return 0;
        return ++exchanges == 2 || exchangeFault == EINVAL ? exchangeFault : 0;
    });
    for (const int fault : {0, EINVAL}) {
        SCOPED_TRACE(fault);
        exchangeFault = fault;
        fs::remove(table);
        EXPECT_EQ(SafeFile::replace(folder, "t.xml", comesMeanwhile, {}).result,
                  SafeFile::Result::notReplaced);
        EXPECT_EQ(ScratchFolder::contents(table), "old");
        EXPECT_EQ(SafeFile::replace(folder, "t.xml", anotherComes, {}).result, SafeFile::Result::notReplaced);
        EXPECT_EQ(ScratchFolder::contents(table), "another run's");
        EXPECT_EQ(entries(), 1);
    }
    exchangeFault = EIO;
    exchanges = 0;
    const SafeFile::Outcome outcome = SafeFile::replace(folder, "t.xml", anotherComes, {});
    EXPECT_EQ(outcome.result, SafeFile::Result::displaced);
    EXPECT_EQ(outcome.systemError, EIO);
    EXPECT_EQ(outcome.file, table);
    EXPECT_EQ(outcome.copy, folder.getLocation() / "t.xml.partial");
    EXPECT_EQ(ScratchFolder::contents(table), "mine");
    EXPECT_EQ(ScratchFolder::contents(outcome.copy), "another run's");
    EXPECT_EQ(entries(), 2);
}

// Removing goes by identity: a file that took a passing name after a run's own file left it, or after a
// clean-up looked at a dead run's there, is never removed in its place.
TEST(PassingFile, RemovesAPassingNameOnlyWhileItHoldsTheFileItMeant) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed files" : "no unnamed files");
        std::optional<NoUnnamedFiles> without;
        if (!unnamed) without.emplace();
        std::unique_ptr<PassingFile> own = PassingFile::make(folder, "t.xml");
        ASSERT_TRUE(own);
        const fs::path passing = own->getLocation();
        scratch.write("data/other", "another's");
        fs::rename(folder.getLocation() / "other", passing);
        own.reset();
        EXPECT_EQ(ScratchFolder::contents(passing), "another's");
        fs::remove(passing);
    }

    // One that cannot be removed is emptied, for the next whole write of the name to remove, but never while
    // it may have another name: a stopped taking of a name can leave it under both, and must leave it whole.
    enum class Names { one, two, unknown };
    for (const Names names : {Names::one, Names::two, Names::unknown}) {
        SCOPED_TRACE(static_cast<int>(names));
        std::unique_ptr<PassingFile> own = PassingFile::make(folder, "s.xml");
        ASSERT_TRUE(own);
        ASSERT_TRUE(own->file().write(String("whole")));
        const fs::path passing = own->getLocation();
        if (names == Names::two) fs::create_hard_link(passing, folder.getLocation() / "s.xml");
        {
            const FileOperationWatch refused([&](host::FileOperation operation, const std::string& path) {
                if (path != passing.string()) return 0;
                return operation == host::FileOperation::unlink ||
                               (names == Names::unknown && operation == host::FileOperation::look)
                           ? EIO
                           : 0;
            });
            own.reset();
        }
        EXPECT_EQ(ScratchFolder::contents(passing), names == Names::one ? "" : "whole");
        fs::remove(passing);
        fs::remove(folder.getLocation() / "s.xml");
    }

    // A dead run's empty file, which another file takes the place of while the clean-up reads it.
    const fs::path left = scratch.write("data/t.xml.partial 2", "");
    const FileOperationWatch watch([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::read && path == left.string()) {
            scratch.write("data/other", "a user's");
            fs::rename(folder.getLocation() / "other", left);
        }
        return 0;
    });
    PassingFile::removeLeft(folder, "t.xml", "<new>");
    EXPECT_EQ(ScratchFolder::contents(left), "a user's");
}

// Where the file system makes no unnamed files, a new file is made under its name and locked at once,
// before its first bytes: a run cleaning up never finds it unlocked with a beginning of what it holds. One
// that such a run took away in the moment before the lock is given up for the next name; where the file
// system gives no locks, the file made is removed and that is said.
TEST(PassingFile, WithoutUnnamedFilesIsLockedBeforeItHoldsAnything) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    const fs::path first = folder.getLocation() / "t.xml.partial";
    const auto name = [&](int n) {
        return folder.getLocation() / std::string(PassingFile::nameFor("t.xml", n).getView());
    };
    int lockedAtWrite = -1;
    int lockFault = 0;
    const NoUnnamedFiles without([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::write && path == first.string())
            lockedAtWrite = lockedByAnother(first);
        return operation == host::FileOperation::lock ? lockFault : 0;
    });
    FileLocation made;
    int descriptor = PassingFile::makeLocked(folder.getLocation(), name, 3, "<start", 0644, made);
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(made, first);
    EXPECT_EQ(lockedAtWrite, 1);
    EXPECT_TRUE(lockedByAnother(first));
    ::close(descriptor);
    fs::remove(first);

    // A clean-up removes the empty file before it is locked, and another run's takes the name.
    beforeLock = [&](int) {
        fs::remove(first);
        scratch.write("data/t.xml.partial", "another run's");
    };
    descriptor = PassingFile::makeLocked(folder.getLocation(), name, 3, "<start", 0644, made);
    beforeLock = nullptr;
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(made, name(2));
    EXPECT_EQ(ScratchFolder::contents(first), "another run's");
    EXPECT_EQ(ScratchFolder::contents(made), "<start");
    ::close(descriptor);
    fs::remove(made);

    // A file system that gives no locks: the file made goes again, and that is the reason told.
    lockFault = ENOLCK;
    descriptor = PassingFile::makeLocked(folder.getLocation(), name, 3, "<start", 0644, made);
    const int error = errno;
    EXPECT_EQ(descriptor, -1);
    EXPECT_EQ(error, ENOLCK);
    FileLock::Refusal why;
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", std::chrono::milliseconds(0), &why));
    EXPECT_EQ(why.reason, FileLock::Reason::failed);
    EXPECT_EQ(why.systemError, ENOLCK);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.getLocation()), {}), 1);
}

}   // namespace
}   // namespace tarnwick
