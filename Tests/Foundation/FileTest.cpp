#include "Foundation/DataFile.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <HostFiles.h>

#include "Foundation/Directory.h"
#include "Foundation/File.h"
#include "Foundation/FileLock.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"
#include "Support/AccessList.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(File, GivesNameExtensionAndPathOfItsLocation) {
    const struct {
        const char* location;
        const char* name;
        const char* extension;
        const char* path;
    } cases[] = {
        {"dir/report.txt", "report.txt", "txt", "dir/report.txt"},
        {"dir/archive.tar.gz", "archive.tar.gz", "gz", "dir/archive.tar.gz"},
        {"dir/.profile", ".profile", "", "dir/.profile"},
        {"dir/README", "README", "", "dir/README"},
        {"dir/trailing.", "trailing.", "", "dir/trailing."},
        {"dir/./sub/../sub/", "sub", "", "dir/sub"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.location);
        const DataFile file{FileLocation(c.location)};
        EXPECT_EQ(file.getName(), c.name);
        EXPECT_EQ(file.getExtension(), c.extension);
        EXPECT_EQ(file.getPath(), c.path);
    }
}

TEST(File, ComparesLocationsByTheirNormalText) {
    const DataFile a{FileLocation("/x/y/../z.txt")};
    const Directory b{FileLocation("/x/z.txt")};
    const DataFile c{FileLocation("/x/Z.txt")};
    EXPECT_TRUE(a.compareLocation(b));
    EXPECT_FALSE(a.compareLocation(c)) << "names differ in case, and so do the files here";
    const Directory folder{FileLocation("/x")};
    const DataFile bad1(folder, "../z.txt"), bad2(folder, "../z.txt");
    EXPECT_FALSE(bad1.compareLocation(bad2)) << "unusable entries name nothing";
}

TEST(DataFile, ANameThatLeavesItsFolderGivesAnUnusableFile) {
    ScratchFolder scratch;
    scratch.write("outside.txt", "secret");
    const Directory folder(scratch.path() / "inside", /*create=*/true);
    for (const char* name : {"../outside.txt", "..", ".", "", "a/b", "a\\b", "/etc/passwd"}) {
        SCOPED_TRACE(name);
        DataFile file(folder, name, DataFile::kRead);
        EXPECT_TRUE(file.getLocation().empty());
        EXPECT_FALSE(file.exists());
        EXPECT_FALSE(file.open());
    }
    DataFile fine(folder, "..hidden", DataFile::kReadWrite, /*create=*/true);
    EXPECT_TRUE(fine.open());
    EXPECT_TRUE(fs::exists(scratch.path() / "inside" / "..hidden"));
}

TEST(DataFile, OpensByItsModeAndCreatesOnlyWhenAsked) {
    ScratchFolder scratch;
    const fs::path existing = scratch.write("a.txt", "contents");
    DataFile missing(scratch.path() / "missing.txt", DataFile::kReadWrite);
    EXPECT_FALSE(missing.exists());
    EXPECT_FALSE(missing.open());
    EXPECT_FALSE(fs::exists(missing.getLocation()));

    DataFile made(scratch.path() / "made.txt", DataFile::kReadWrite, /*create=*/true);
    EXPECT_TRUE(made.open());
    EXPECT_TRUE(made.exists());

    {
        DataFile keeps(existing, DataFile::kReadWrite);
        ASSERT_TRUE(keeps.open());
        EXPECT_EQ(keeps.getSize(), 8u);
    }
    {
        DataFile reader(existing, DataFile::kRead);
        ASSERT_TRUE(reader.open());
        EXPECT_FALSE(reader.write(String("x")));
        EXPECT_FALSE(reader.setDataLength(0));
    }
    EXPECT_EQ(ScratchFolder::contents(existing), "contents");
    {
        DataFile writer(existing, DataFile::kWrite);
        ASSERT_TRUE(writer.open());
        char byte;
        EXPECT_FALSE(writer.read(&byte, 1));
    }
    EXPECT_EQ(ScratchFolder::contents(existing), "") << "write-only opening empties the file";

    DataFile folder(scratch.path(), DataFile::kRead);
    EXPECT_FALSE(folder.exists());
    EXPECT_FALSE(folder.open());
}

TEST(DataFile, ReadsExactlyOrNotAtAll) {
    ScratchFolder scratch;
    DataFile file(scratch.write("data.bin", "0123456789"), DataFile::kRead);
    ASSERT_TRUE(file.open());
    char bytes[16] = {};
    ASSERT_TRUE(file.read(bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "0123");
    EXPECT_FALSE(file.read(bytes, 7)) << "only six are left";
    ASSERT_TRUE(file.read(bytes, 6)) << "the short read gave nothing back and moved nothing";
    EXPECT_EQ(std::string(bytes, 6), "456789");
    EXPECT_EQ(file.readSome(bytes, 4), 0u);
    EXPECT_TRUE(file.read(bytes, 0));
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.close());
    EXPECT_FALSE(file.read(bytes, 1));

    // To its end, after what was there, a file that grows while it is read too.
    std::string large(150'000, 'l');
    large.back() = 'e';
    const fs::path big = scratch.write("big.bin", large);
    bool grown = false;
    const FileOperationWatch watch([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::read && path == big.string() && !grown) {
            grown = true;
            std::ofstream(big, std::ios::app) << "more";
        }
        return 0;
    });
    std::string read = "before ";
    EXPECT_TRUE(DataFile(big, DataFile::kRead).readToEnd(read));
    EXPECT_EQ(read, "before " + large + "more");
}

TEST(DataFile, EmptyingCutsTheFileAndWritingStartsAgainAtTheStart) {
    ScratchFolder scratch;
    DataFile file(scratch.write("map.xml", "<old>longer text</old>"), DataFile::kReadWrite);
    ASSERT_TRUE(file.open());
    char skip[5];
    ASSERT_TRUE(file.read(skip, 5));
    ASSERT_TRUE(file.setDataLength(0));
    EXPECT_EQ(file.getSize(), 0u);
    ASSERT_TRUE(file.write(String("<new/>")));
    EXPECT_EQ(file.getSize(), 6u);
    file.close();
    EXPECT_EQ(ScratchFolder::contents(file.getLocation()), "<new/>");
    EXPECT_EQ(file.getSize(), 6u) << "the size is known closed too";
    // Where its position cannot be asked or moved, it is not cut: false always means so.
    for (int refused = 1; refused <= 2; ++refused) {
        SCOPED_TRACE(refused);
        DataFile longer(scratch.write("longer.xml", "0123456789"), DataFile::kReadWrite);
        ASSERT_TRUE(longer.open() && longer.read(skip, 5));
        int seeks = 0;
        const FileOperationWatch watch([&](host::FileOperation operation, const std::string&) {
            return operation == host::FileOperation::seek && ++seeks == refused ? EIO : 0;
        });
        EXPECT_FALSE(longer.setDataLength(2));
        EXPECT_EQ(ScratchFolder::contents(longer.getLocation()), "0123456789");
    }
    // A time the file cannot have by chance, with the file system's own precision.
    const fs::file_time_type known = fs::last_write_time(file.getLocation()) - std::chrono::hours(36);
    fs::last_write_time(file.getLocation(), known);
    EXPECT_EQ(file.getModificationTime(), known);
    EXPECT_FALSE(DataFile(scratch.path() / "none").getModificationTime().has_value());
}

TEST(DataFile, DetectsTheTextEncodingByItsByteOrderMark) {
    using Encoding = DataFile::TextEncoding;
    const struct {
        std::string bytes;
        Encoding encoding;
        std::size_t length;
    } cases[] = {
        {"\xEF\xBB\xBF<a/>", Encoding::utf8, 3},
        {"\xFF\xFE<\0", Encoding::utf16LittleEndian, 2},
        {"\xFE\xFF\0<", Encoding::utf16BigEndian, 2},
        {"<a/>", Encoding::none, 0},
        {"\xEF\xBB", Encoding::none, 0},   // a mark cut off is no mark
        {"\xFF", Encoding::none, 0},
        {"", Encoding::none, 0},
    };
    ScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        const DataFile::ByteOrderMark fromBytes = DataFile::detectEncoding(c.bytes);
        EXPECT_EQ(fromBytes.encoding, c.encoding);
        EXPECT_EQ(fromBytes.length, c.length);

        DataFile file(scratch.write("text.txt", c.bytes), DataFile::kRead);
        EXPECT_EQ(file.detectEncoding().encoding, c.encoding) << "closed";
        ASSERT_TRUE(file.open());
        char first = 0;
        if (!c.bytes.empty()) {
            ASSERT_TRUE(file.read(&first, 1));
        }
        EXPECT_EQ(file.detectEncoding().length, c.length) << "open, after a read";
        if (c.bytes.size() > 1) {
            char second = 0;
            ASSERT_TRUE(file.read(&second, 1));
            EXPECT_EQ(second, c.bytes[1]) << "detection did not move the position";
        }
    }
    EXPECT_EQ(DataFile(scratch.path() / "none").detectEncoding().encoding, Encoding::none);
}

TEST(File, RenamesWithinItsFolderButNeverOverAnotherEntryOrOutOfIt) {
    ScratchFolder scratch;
    DataFile file(scratch.write("box/a.txt", "A"), DataFile::kRead);
    scratch.write("box/b.txt", "B");
    for (const char* name : {"b.txt", "../a.txt", "..", "", "x/y.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(file.rename(name));
        EXPECT_EQ(file.getName(), "a.txt");
    }
    EXPECT_EQ(ScratchFolder::contents(scratch.path() / "box" / "b.txt"), "B");
    EXPECT_FALSE(fs::exists(scratch.path() / "a.txt"));
    ASSERT_TRUE(file.rename("c.txt"));
    EXPECT_EQ(file.getName(), "c.txt");
    EXPECT_EQ(ScratchFolder::contents(scratch.path() / "box" / "c.txt"), "A");
    EXPECT_FALSE(fs::exists(scratch.path() / "box" / "a.txt"));
    DataFile missing(scratch.path() / "box" / "none.txt");
    EXPECT_FALSE(missing.rename("other.txt"));
}

// Where the file system cannot rename without replacing, the file is linked to its new name and unlinked
// at the old one: never over a taken name, and a failed unlink leaves the file with its one old name.
// Where it gives no second names either, a name that is taken, or cannot be looked at, is still never
// renamed over.
TEST(File, RenamesWithoutReplacingAlsoWhereTheFileSystemCannotSayNoReplace) {
    ScratchFolder scratch;
    const fs::path box = scratch.path() / "box";
    const fs::path from = scratch.write("box/a.txt", "A");
    scratch.write("box/b.txt", "B");
    int unlinkFault = 0;
    int linkFault = 0;
    int lookFault = 0;
    const FileOperationWatch watch([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::renameNoReplace) return EINVAL;
        if (operation == host::FileOperation::link) return linkFault;
        if (operation == host::FileOperation::look && path == (box / "b.txt").string()) return lookFault;
        return operation == host::FileOperation::unlink && path == from.string() ? unlinkFault : 0;
    });
    DataFile file(from);
    bool renamed = file.rename("b.txt");
    int error = errno;
    EXPECT_FALSE(renamed);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ScratchFolder::contents(box / "b.txt"), "B");
    unlinkFault = EIO;
    renamed = file.rename("c.txt");
    error = errno;
    EXPECT_FALSE(renamed);
    EXPECT_EQ(error, EIO);
    EXPECT_FALSE(fs::exists(box / "c.txt"));
    EXPECT_EQ(fs::hard_link_count(from), 1u);
    unlinkFault = 0;
    EXPECT_TRUE(file.rename("c.txt"));
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(ScratchFolder::contents(box / "c.txt"), "A");
    EXPECT_EQ(fs::hard_link_count(box / "c.txt"), 1u);

    linkFault = EPERM;
    renamed = file.rename("b.txt");
    error = errno;
    EXPECT_FALSE(renamed);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ScratchFolder::contents(box / "b.txt"), "B");
    lookFault = EIO;
    renamed = file.rename("b.txt");
    error = errno;
    EXPECT_FALSE(renamed) << "a name that cannot be looked at is not free";
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(ScratchFolder::contents(box / "b.txt"), "B");
    lookFault = 0;
    EXPECT_TRUE(file.rename("d.txt"));
    EXPECT_FALSE(fs::exists(box / "c.txt"));
    EXPECT_EQ(ScratchFolder::contents(box / "d.txt"), "A");
}

// A chain of links ends at the file it names, a relative link read from its own folder; a circle has no
// end. Permissions pass from one file to another, never through a link at the receiving name.
TEST(File, FollowsLinksToTheFileTheyNameAndTakesPermissionsNeverThroughALink) {
    ScratchFolder scratch;
    const fs::path box = scratch.path() / "box";
    const fs::path target = scratch.write("shared/t.xml", "T");
    fs::create_directories(box);
    fs::create_symlink("../shared/t.xml", box / "one");
    fs::create_symlink(box / "one", box / "two");
    fs::create_symlink("nowhere.xml", box / "dangling");
    fs::create_symlink("loop", box / "loop");
    const auto followed = DataFile(box / "two").followLinks();
    ASSERT_TRUE(followed);
    EXPECT_TRUE(fs::equivalent(*followed, target));
    EXPECT_FALSE(fs::is_symlink(*followed));
    EXPECT_EQ(DataFile(box / "dangling").followLinks(), box / "nowhere.xml");
    EXPECT_EQ(DataFile(target).followLinks(), target);
    EXPECT_EQ(DataFile(box / "loop").followLinks(), std::nullopt);

    const fs::perms ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    const fs::perms shared = ownerOnly | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(target, ownerOnly);
    DataFile copy(scratch.write("box/c.xml", "C"));
    fs::permissions(copy.getLocation(), shared);
    ASSERT_TRUE(copy.takePermissionsOf(target));
    EXPECT_EQ(fs::status(copy.getLocation()).permissions(), ownerOnly);
    EXPECT_TRUE(copy.takePermissionsOf(box / "missing.xml"));   // nothing to take: left as made
    EXPECT_EQ(fs::status(copy.getLocation()).permissions(), ownerOnly);
    fs::permissions(target, shared);
    DataFile link(box / "one");
    EXPECT_FALSE(link.takePermissionsOf(copy.getLocation()));
    EXPECT_EQ(fs::status(target).permissions(), shared);

    // A copy beside a shared file takes its access list along, or its group could do more.
    if (!testaccess::give(target)) GTEST_SKIP() << "this file system keeps no access lists";
    ASSERT_TRUE(copy.takePermissionsOf(target));
    EXPECT_TRUE(testaccess::has(copy.getLocation()));
}

// The record of a copy that a write into a file keeps is the framework's own: only another attribute makes
// the file one that a new file in its place would not be.
TEST(File, CountsOnlyAttributesThatAreNotTheFrameworksOwn) {
    ScratchFolder scratch;
    const fs::path path = scratch.write("t.xml", "T");
    const DataFile file(path);
    if (::llistxattr(path.c_str(), nullptr, 0) != 0 ||
        ::lsetxattr(path.c_str(), "user.tarnwick.copy", "1 2 c", 5, 0) != 0)
        GTEST_SKIP() << "this file system gives files attributes of its own, or keeps no user attributes";
    EXPECT_FALSE(file.hasExtendedAttributes());
    ASSERT_EQ(::lsetxattr(path.c_str(), "user.note", "n", 1, 0), 0);
    EXPECT_TRUE(file.hasExtendedAttributes());
}

// A mode, an owner or an attribute given, and a folder made, are each asked of the host first, which can
// refuse them as a file system would; so is a look.
TEST(File, AsksTheHostBeforeItGivesAModeOwnerOrAttributeOrMakesAFolder) {
    ScratchFolder scratch;
    const fs::path source = scratch.write("box/source.txt", "S");
    DataFile file(scratch.write("box/file.txt", "F"));
    std::optional<host::FileOperation> failing;
    std::vector<std::string> asked;
    const FileOperationWatch watch([&](host::FileOperation operation, const std::string& path) {
        if (operation != host::FileOperation::look)
            asked.push_back(std::string(host::fileOperationName(operation)) + " " +
                            fs::path(path).filename().string());
        return operation == failing ? EIO : 0;
    });
    // What cannot be looked at is neither a source without rights, nor a free name, nor missing.
    failing = host::FileOperation::look;
    EXPECT_FALSE(file.takePermissionsOf(source));
    EXPECT_TRUE(DataFile(scratch.path() / "box" / "none.txt").isTaken());
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(errno, EIO);
    failing = host::FileOperation::permissions;
    EXPECT_FALSE(file.takePermissionsOf(source));
    failing = host::FileOperation::attribute;
    EXPECT_FALSE(file.takePermissionsOf(source));   // its access list cannot be read
    EXPECT_TRUE(file.hasExtendedAttributes());      // they cannot be listed
    failing = host::FileOperation::makeFolder;
    EXPECT_FALSE(Directory(scratch.path() / "new" / "deep", /*create=*/true).exists());
    host::Result error = 0;
    EXPECT_EQ(Directory(scratch.path()).makeSubdirectory("sub", error), nullptr);
    EXPECT_EQ(asked, (std::vector<std::string>{"permissions file.txt", "permissions file.txt",
                                               "attribute source.txt", "attribute file.txt", "makeFolder new",
                                               "makeFolder deep", "makeFolder sub"}));
    EXPECT_FALSE(fs::exists(scratch.path() / "new"));
    EXPECT_FALSE(fs::exists(scratch.path() / "sub"));
    failing.reset();
    EXPECT_TRUE(Directory(scratch.path() / "new" / "deep", /*create=*/true).exists());

    // An owner is given only where it differs, which takes a user who may give files away.
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file another group at will";
    ASSERT_EQ(::chown(source.c_str(), static_cast<uid_t>(-1), ::getegid() + 1), 0);
    failing = host::FileOperation::permissions;
    asked.clear();
    EXPECT_FALSE(file.takeOwnerOf(source));
    EXPECT_EQ(asked, std::vector<std::string>{"permissions file.txt"});
    failing.reset();
    EXPECT_TRUE(file.takeOwnerOf(source));
}

// One holder at a time, in this process or another; the file goes with the lock. A link planted at its
// name is never followed, to make a file or to open one.
TEST(FileLock, IsHeldByOneAtATimeAndNeverTakenThroughALink) {
    using namespace std::chrono_literals;
    ScratchFolder scratch;
    const Directory folder(scratch.path());
    std::unique_ptr<FileLock> first = FileLock::acquire(folder, "t.lock", 0ms);
    ASSERT_TRUE(first);
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 20ms));
    std::thread letGo([&first] {
        std::this_thread::sleep_for(30ms);   // most often lets the wait below begin first; either order holds
        first.reset();
    });
    // Patience far beyond any stall of the other thread: a lock never let go ends in the test's timeout.
    std::unique_ptr<FileLock> second = FileLock::acquire(folder, "t.lock", 1h);   // waits for it
    letGo.join();
    EXPECT_TRUE(second);
    second.reset();
    EXPECT_FALSE(fs::exists(scratch.path() / "t.lock"));

    FileLock::Refusal why;
    const fs::path victim = scratch.write("victim.txt", "mine");
    fs::create_symlink(victim, scratch.path() / "t.lock");
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::link);
    EXPECT_EQ(ScratchFolder::contents(victim), "mine");
    fs::remove(scratch.path() / "t.lock");
    fs::create_symlink(scratch.path() / "made.txt", scratch.path() / "t.lock");
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::link);
    EXPECT_FALSE(fs::exists(fs::symlink_status(scratch.path() / "made.txt")));
    EXPECT_FALSE(FileLock::acquire(folder, "../t.lock", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::badName);
    fs::remove(scratch.path() / "t.lock");
    fs::create_directory(scratch.path() / "t.lock");
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::folder);
    fs::remove(scratch.path() / "t.lock");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), {}), 2) << "nothing of its own left";

    // Where files have no second names, a file made at the name that another run took over and removed
    // before it was locked is not held: this run makes another.
    bool swapped = false;
    const FileOperationWatch takenOver([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::link) return EPERM;
        if (operation == host::FileOperation::lock && fs::path(path).filename() == "t.lock" && !swapped)
            swapped = fs::remove(path);
        return 0;
    });
    const std::unique_ptr<FileLock> made = FileLock::acquire(folder, "t.lock", 0ms);
    ASSERT_TRUE(swapped);
    EXPECT_TRUE(made);
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::held);
}

// The file systems a lock is tried on, as the seam answers for them: this machine's, one that makes no
// unnamed files, and one that gives no second names (and so no unnamed files either).
enum class Has { all, noUnnamedFiles, noSecondNames };
int asTheFileSystem(Has has, host::FileOperation operation) {
    if (has != Has::all && operation == host::FileOperation::openUnnamed) return EOPNOTSUPP;
    return has == Has::noSecondNames && operation == host::FileOperation::link ? EPERM : 0;
}

// A power cut cannot jam the lock. Its line is on the disk before a file takes the lock's name (where files
// have no second names, before the lock is had); what a power cut leaves at the name of a line that never
// reached the disk (nothing, a beginning of it, zeros) is a dead run's when no one holds it: the next run
// has the lock at once, and that file goes, by its identity, for a new one.
TEST(FileLock, APowerCutLeavesNothingThatJamsTheNextTurn) {
    using namespace std::chrono_literals;
    for (const Has has : {Has::all, Has::noUnnamedFiles, Has::noSecondNames}) {
        SCOPED_TRACE(static_cast<int>(has));
        ScratchFolder scratch;
        const Directory folder(scratch.path());
        const fs::path lock = scratch.path() / "t.lock";
        std::vector<std::string> steps;
        const FileOperationWatch watch([&](host::FileOperation operation, const std::string& path) {
            if (operation == host::FileOperation::write) steps.push_back("written");
            if (operation == host::FileOperation::flush) steps.push_back("flushed");
            if (operation == host::FileOperation::link && fs::path(path).filename() == "t.lock")
                steps.push_back("named");
            return asTheFileSystem(has, operation);
        });
        std::unique_ptr<FileLock> held = FileLock::acquire(folder, "t.lock", 0ms);
        ASSERT_TRUE(held);
        const std::vector<std::string> made = {"written", "flushed", "named"};
        std::vector<std::string> expected = made;
        if (has == Has::noSecondNames)
            expected.insert(expected.end(), {"written", "flushed"});   // at the name
        EXPECT_EQ(steps, expected);
        const std::string line = ScratchFolder::contents(lock);
        held.reset();

        for (const std::string& left : {std::string(), line.substr(0, 20), std::string(line.size(), '\0'),
                                        line.substr(0, 30) + std::string(line.size() - 30, '\0')}) {
            SCOPED_TRACE("left: " + std::to_string(left.size()) + " bytes");
            scratch.write("t.lock", left);
            fs::create_hard_link(lock, scratch.path() / "laid");   // keeps the file apart from a new one
            FileLock::Refusal why;
            std::unique_ptr<FileLock> next = FileLock::acquire(folder, "t.lock", 0ms, &why);
            ASSERT_TRUE(next) << static_cast<int>(why.reason);
            EXPECT_FALSE(fs::equivalent(lock, scratch.path() / "laid"));
            EXPECT_EQ(ScratchFolder::contents(lock), line);
            EXPECT_EQ(ScratchFolder::contents(scratch.path() / "laid"), left);
            next.reset();
            fs::remove(scratch.path() / "laid");
            EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), {}), 1);   // the home
        }

        // A live run's lock is waited for however little of its line it holds yet, and so is one that
        // cannot be read; anything else at the name is someone's.
        FileLock::Refusal why;
        scratch.write("t.lock", "");
        const int live = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
        EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
        EXPECT_EQ(why.reason, FileLock::Reason::held);
        ::close(live);
        for (const std::string& other : {line + "x", std::string("A run held"), std::string(1, '\n')}) {
            scratch.write("t.lock", other);
            EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
            EXPECT_EQ(why.reason, FileLock::Reason::notALock);
            EXPECT_EQ(ScratchFolder::contents(lock), other);
        }
        // One that cannot be read and that no run holds is a dead run's too: it goes by its identity.
        scratch.write("t.lock", "unreadable");
        const fs::path laid = scratch.path() / "unreadable";
        fs::create_hard_link(lock, laid);
        const FileOperationWatch unreadable([](host::FileOperation operation, const std::string& path) {
            return operation == host::FileOperation::read && fs::path(path).filename() == "t.lock" ? EIO : 0;
        });
        const int holder = ::open(laid.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
        EXPECT_EQ(why.reason, FileLock::Reason::held);
        ::close(holder);
        {
            const std::unique_ptr<FileLock> next = FileLock::acquire(folder, "t.lock", 0ms, &why);
            EXPECT_TRUE(next);
            EXPECT_FALSE(fs::equivalent(lock, laid));
        }
        EXPECT_EQ(ScratchFolder::contents(laid), "unreadable");
        fs::remove(laid);
        fs::remove(lock);
    }
}

// Only a file a lock made is a lock: someone's file at the name is refused at once, neither waited for,
// changed nor deleted. One left by a run that ended while holding it is taken over, and then goes. A
// file locked in itself is never changed or deleted.
TEST(FileLock, NeverTakesOverOrDeletesAFileItDidNotMake) {
    using namespace std::chrono_literals;
    ScratchFolder scratch;
    const Directory folder(scratch.path());
    const fs::path lock = scratch.write("t.lock", "someone's");
    FileLock::Refusal why;
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 10s, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::notALock);
    EXPECT_EQ(ScratchFolder::contents(lock), "someone's");

    fs::remove(lock);
    std::unique_ptr<FileLock> made = FileLock::acquire(folder, "t.lock", 0ms);
    ASSERT_TRUE(made);
    const std::string line = ScratchFolder::contents(lock);
    EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::held);
    made.reset();
    {
        // Where files have no second names a lock file is made at its name, and the file there still stays.
        const FileOperationWatch noSecondNames([](host::FileOperation operation, const std::string&) {
            return operation == host::FileOperation::link ? EPERM : 0;
        });
        scratch.write("t.lock", "someone's");
        EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 10s, &why));
        EXPECT_EQ(why.reason, FileLock::Reason::notALock);
        EXPECT_EQ(ScratchFolder::contents(lock), "someone's");
    }
    scratch.write("t.lock", line);   // as a run that ended while holding it leaves it
    std::unique_ptr<FileLock> left = FileLock::acquire(folder, "t.lock", 0ms, &why);
    ASSERT_TRUE(left);
    EXPECT_EQ(why.reason, FileLock::Reason::none);
    left.reset();
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), {}), 1);   // the home

    // A file locked in itself, under either of its names, is one lock, and stays as it was.
    const fs::path shared = scratch.write("shared.xml", "table");
    fs::create_hard_link(shared, scratch.path() / "other.xml");
    std::unique_ptr<FileLock> one = FileLock::acquireFile(shared, 0ms);
    ASSERT_TRUE(one);
    EXPECT_FALSE(FileLock::acquireFile(scratch.path() / "other.xml", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::held);
    one.reset();
    EXPECT_TRUE(FileLock::acquireFile(scratch.path() / "other.xml", 0ms));
    EXPECT_EQ(ScratchFolder::contents(shared), "table");
    fs::create_symlink(shared, scratch.path() / "link.xml");
    EXPECT_FALSE(FileLock::acquireFile(scratch.path() / "link.xml", 0ms, &why));
    EXPECT_EQ(why.reason, FileLock::Reason::link);
}

// A run killed at any file operation of its turn leaves nothing that outlasts the next turn, which is had
// at once and by one holder, also where the file system makes no unnamed files or no second names.
TEST(FileLock, WhatARunKilledInItsTurnLeftGoesWithTheNextTurn) {
    using namespace std::chrono_literals;
    for (const Has has : {Has::all, Has::noUnnamedFiles, Has::noSecondNames}) {
        SCOPED_TRACE(static_cast<int>(has));
        ScratchFolder scratch;
        const Directory folder(scratch.path() / "data", /*create=*/true);
        // A file system without second names has no unnamed files either.
        for (int at = 1;; ++at) {
            SCOPED_TRACE("killed at operation " + std::to_string(at));
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                int operations = 0;
                host::watchFileOperations([&](host::FileOperation operation, const std::string&) {
                    if (const int answer = asTheFileSystem(has, operation)) return answer;
                    if (++operations == at) ::raise(SIGKILL);
                    return 0;
                });
                FileLock::acquire(folder, "t.lock", 0ms).reset();
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            {
                const FileOperationWatch watch([&](host::FileOperation operation, const std::string&) {
                    return asTheFileSystem(has, operation);
                });
                const std::unique_ptr<FileLock> next = FileLock::acquire(folder, "t.lock", 0ms);
                EXPECT_TRUE(next);
                FileLock::Refusal why;
                EXPECT_FALSE(FileLock::acquire(folder, "t.lock", 0ms, &why));
                EXPECT_EQ(why.reason, FileLock::Reason::held);
            }
            std::string left;
            for (const fs::directory_entry& entry : fs::directory_iterator(folder.getLocation()))
                left += entry.path().filename().string() + " ";
            EXPECT_EQ(left, "");
            if (WIFEXITED(status)) break;   // not killed: every operation has been
        }
    }
}

TEST(File, MovesIntoAnExistingFolderUnlessTheNameIsTaken) {
    ScratchFolder scratch;
    DataFile file(scratch.write("a.txt", "A"), DataFile::kRead);
    const Directory target(scratch.path() / "target", /*create=*/true);
    const Directory taken(scratch.path() / "taken", /*create=*/true);
    scratch.write("taken/a.txt", "other");
    EXPECT_FALSE(file.move(Directory(scratch.path() / "nowhere")));
    EXPECT_FALSE(file.move(taken));
    EXPECT_EQ(ScratchFolder::contents(scratch.path() / "taken" / "a.txt"), "other");
    ASSERT_TRUE(file.move(target));
    EXPECT_TRUE(file.compareLocation(DataFile(scratch.path() / "target" / "a.txt")));
    EXPECT_EQ(ScratchFolder::contents(scratch.path() / "target" / "a.txt"), "A");
    EXPECT_TRUE(file.move(target)) << "already there";

    Directory folder(scratch.path() / "target");
    EXPECT_FALSE(folder.move(Directory(scratch.path() / "target" / "inner", /*create=*/true)))
        << "a folder cannot go into itself";
}

TEST(DataFile, BrowsesThroughTheHostDialogs) {
    ScratchFolder scratch;
    const fs::path existing = scratch.write("styles.presets", "data");

    EXPECT_EQ(DataFile::browseToOpen("Open", "presets"), nullptr) << "nothing scripted: cancelled";
    host::queueFileDialogAnswer(std::nullopt);
    EXPECT_EQ(DataFile::browseToOpen("Open", "presets"), nullptr);
    host::queueFileDialogAnswer((scratch.path() / "missing.presets").string());
    EXPECT_EQ(DataFile::browseToOpen("Open", "presets"), nullptr);
    host::queueFileDialogAnswer(existing.string());
    const auto opened = DataFile::browseToOpen("Open", "presets");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->getMode(), DataFile::kRead);
    EXPECT_EQ(opened->getName(), "styles.presets");

    host::queueFileDialogAnswer((scratch.path() / "no-folder" / "x.presets").string());
    EXPECT_EQ(DataFile::browseToSave("Save", "presets"), nullptr);
    host::queueFileDialogAnswer(scratch.path().string());
    EXPECT_EQ(DataFile::browseToSave("Save", "presets"), nullptr) << "a folder is no file";
    host::queueFileDialogAnswer(existing.string());
    const auto saved = DataFile::browseToSave("Save", "presets");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(ScratchFolder::contents(existing), "data") << "nothing changes before it is opened";
    ASSERT_TRUE(saved->open());
    ASSERT_TRUE(saved->write(String("new")));
    saved->close();
    EXPECT_EQ(ScratchFolder::contents(existing), "new");

    const auto requests = host::fileDialogRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().title, "Save");
    EXPECT_EQ(requests.back().extension, "presets");
}

}   // namespace
}   // namespace tarnwick
