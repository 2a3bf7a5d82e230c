#include "Foundation/Directory.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <HostFiles.h>
#include <HostResult.h>

#include "Foundation/DataFile.h"
#include "Foundation/PassingFile.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Every entry below root, as paths relative to it.
std::vector<std::string> entriesBelow(const fs::path& root) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        entries.push_back(entry.path().lexically_relative(root).string());
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(Directory, MakesAFolderByParentAndNameOnlyWhenAsked) {
    ScratchFolder scratch;
    const Directory home{FileLocation(host::homeDirectory())};
    ASSERT_TRUE(home.exists());
    EXPECT_FALSE(Directory(home, "Data").exists());
    EXPECT_FALSE(fs::exists(scratch.path() / "home" / "Data"));
    const Directory made(home, "Data", /*create=*/true);
    EXPECT_TRUE(made.exists());
    EXPECT_TRUE(fs::is_directory(scratch.path() / "home" / "Data"));
    EXPECT_FALSE(Directory(home, "../escape", /*create=*/true).exists());
    EXPECT_FALSE(fs::exists(scratch.path() / "escape"));
    scratch.write("home/plain.txt", "x");
    EXPECT_FALSE(Directory(home, "plain.txt").exists()) << "a file is not a folder";
}

TEST(Directory, MakesASubdirectoryOrSaysWhyNot) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "home");
    scratch.write("home/taken", "a file in the way");
    const struct {
        const char* name;
        host::Result error;
    } cases[] = {
        {"Skellowing", host::kNoError}, {"Skellowing", host::kNoError},   // already there is fine
        {"..", host::kErrBadName},      {"../escape", host::kErrBadName}, {"", host::kErrBadName},
        {"a/b", host::kErrBadName},     {"taken", host::kErrFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host::Result error = 12345;
        const std::unique_ptr<Directory> child = folder.makeSubdirectory(c.name, error);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(child != nullptr, c.error == host::kNoError);
        if (child) {
            EXPECT_TRUE(fs::is_directory(child->getLocation()));
        }
    }
    EXPECT_EQ(entriesBelow(scratch.path()),
              (std::vector<std::string>{"home", "home/Skellowing", "home/taken"}));

    host::Result error = 0;
    EXPECT_EQ(Directory(scratch.path() / "missing" / "deeper").makeSubdirectory("x", error), nullptr);
    EXPECT_EQ(error, host::kErrFile);
}

TEST(Directory, BuildsFileNamesFromNameAndExtensionAndRefusesUnusableOnes) {
    const struct {
        const char* name;
        const char* extension;
        const char* fileName;   // null: refused with kErrBadName
    } cases[] = {
        {"ObjectMap", "xml", "ObjectMap.xml"},
        {"report...", "txt", "report.txt"},
        {"a.b.", "c", "a.b.c"},
        {"name", "", "name"},
        {".hidden", "x", ".hidden.x"},
        {"", "xml", nullptr},
        {".", "xml", nullptr},
        {"...", "xml", nullptr},
        {"../evil", "xml", nullptr},
        {"a/b", "xml", nullptr},
        {"x/..", "xml", nullptr},
        {"name", "x/y", nullptr},
        {"a\\b", "xml", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " + " + c.extension);
        ScratchFolder scratch;
        const Directory folder(scratch.path() / "data", /*create=*/true);
        host::Result error = 12345;
        const auto file = folder.createFile(c.name, DataFile::kReadWrite, error, c.extension,
                                            /*fileType=*/0x54455854, /*creator=*/0x43574945);
        if (!c.fileName) {
            EXPECT_EQ(file, nullptr);
            EXPECT_EQ(error, host::kErrBadName);
            EXPECT_EQ(entriesBelow(scratch.path()), (std::vector<std::string>{"data", "home"}));
            continue;
        }
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(error, host::kNoError);
        EXPECT_TRUE(file->isOpen());
        EXPECT_EQ(file->getName(), c.fileName);
        EXPECT_EQ(entriesBelow(scratch.path()),
                  (std::vector<std::string>{"data", "data/" + std::string(c.fileName), "home"}));
    }
}

TEST(Directory, CreatingAFileOpensAnExistingOneByTheMode) {
    ScratchFolder scratch;
    const Directory folder(scratch.path());
    scratch.write("kept.xml", "<kept/>");
    host::Result error = 0;
    {
        const auto kept = folder.createFile("kept", DataFile::kReadWrite, error, "xml");
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->getSize(), 7u);
    }
    {
        const auto emptied = folder.createFile("kept", DataFile::kWrite, error, "xml");
        ASSERT_NE(emptied, nullptr);
        EXPECT_EQ(emptied->getSize(), 0u);
    }
    fs::create_directory(scratch.path() / "folder.xml");
    EXPECT_EQ(folder.createFile("folder", DataFile::kReadWrite, error, "xml"), nullptr);
    EXPECT_EQ(error, host::kErrFile);
    EXPECT_EQ(Directory(scratch.path() / "missing").createFile("a", DataFile::kReadWrite, error, "xml"),
              nullptr);
    EXPECT_EQ(error, host::kErrFile);
}

TEST(Directory, ListsItsChildrenByNameAsFoldersAndFiles) {
    ScratchFolder scratch;
    scratch.write("box/b.txt", "");
    scratch.write("box/a/inner.txt", "");
    scratch.write("box/c", "");
    const auto children = Directory(scratch.path() / "box").getChildren();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0]->getName(), "a");
    EXPECT_TRUE(children[0]->isFolder());
    EXPECT_EQ(children[1]->getName(), "b.txt");
    EXPECT_FALSE(children[1]->isFolder());
    EXPECT_TRUE(children[1]->exists());
    EXPECT_EQ(children[2]->getName(), "c");
    EXPECT_TRUE(Directory(scratch.path() / "missing").getChildren().empty());
    EXPECT_TRUE(Directory(scratch.path() / "box" / "b.txt").getChildren().empty());
}

TEST(Directory, WritesAFileWholeInPlaceOfALinkNeverThroughOne) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    const fs::path victim = scratch.write("outside/victim.txt", "victim");
    const fs::path nowhere = scratch.path() / "outside" / "nowhere.txt";
    const auto writes = [](const char* text) {
        return [text](DataFile& file) { return file.write(String(text)); };
    };
    host::Result error = 0;
    for (const fs::path& target : {victim, nowhere}) {
        SCOPED_TRACE(target.string());
        fs::remove(folder.getLocation() / "marker.txt");
        fs::create_symlink(target, folder.getLocation() / "marker.txt");
        // Opening to write refuses the link and makes nothing where it points.
        EXPECT_EQ(folder.createFile("marker", DataFile::kWrite, error, "txt"), nullptr);
        EXPECT_EQ(DataFile(folder, "marker.txt", DataFile::kReadWrite, /*create=*/true).open(), false);
        ASSERT_TRUE(folder.replaceFile("marker", "txt", writes("mine"), error));
        EXPECT_EQ(error, host::kNoError);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.getLocation() / "marker.txt")));
        EXPECT_EQ(ScratchFolder::contents(folder.getLocation() / "marker.txt"), "mine");
        EXPECT_EQ(ScratchFolder::contents(victim), "victim");
        EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));
    }
    // A link where the new file would be made is passed over, not written through. The new file is on the
    // disk before it takes the name, and the folder after.
    fs::create_symlink(victim, folder.getLocation() / "marker.txt.partial");
    std::vector<std::string> flushed;
    host::watchFlushes([&](const std::string& path) {
        flushed.push_back(fs::path(path).filename().string() + " " +
                          ScratchFolder::contents(folder.getLocation() / "marker.txt"));
    });
    EXPECT_TRUE(folder.replaceFile("marker", "txt", writes("again"), error));
    host::watchFlushes(nullptr);
    EXPECT_EQ(flushed,
              (std::vector<std::string>{
                  std::string(PassingFile::nameFor("marker.txt", 2).getView()) + " mine", "data again"}));
    EXPECT_EQ(ScratchFolder::contents(folder.getLocation() / "marker.txt"), "again");
    EXPECT_EQ(ScratchFolder::contents(victim), "victim");
    fs::remove(folder.getLocation() / "marker.txt.partial");

    // A write that fails or throws leaves the old file and nothing else.
    EXPECT_FALSE(folder.replaceFile(
        "marker", "txt", [](DataFile&) { return false; }, error));
    EXPECT_EQ(error, host::kErrFile);
    EXPECT_THROW(folder.replaceFile(
                     "marker", "txt", [](DataFile&) -> bool { throw std::bad_alloc(); }, error),
                 std::bad_alloc);
    EXPECT_FALSE(folder.replaceFile("..", "", writes("x"), error));
    EXPECT_EQ(error, host::kErrBadName);
    EXPECT_EQ(ScratchFolder::contents(folder.getLocation() / "marker.txt"), "again");
    EXPECT_EQ(entriesBelow(folder.getLocation()), std::vector<std::string>{"marker.txt"});
}

// A folder, pipe or device at the name is no file to replace: the write is refused and nothing moves,
// neither the entry nor what a folder holds.
TEST(Directory, WritesAFileWholeOnlyInPlaceOfAFileOrALink) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    scratch.write("data/prefs.xml/user-notes.txt", "notes");
    ASSERT_EQ(::mkfifo((folder.getLocation() / "marker.txt").c_str(), 0600), 0);
    host::Result error = 0;
    const auto writes = [](DataFile& file) { return file.write(String("mine")); };
    EXPECT_FALSE(folder.replaceFile("prefs", "xml", writes, error));
    EXPECT_EQ(error, host::kErrFile);
    EXPECT_FALSE(folder.replaceFile("marker", "txt", writes, error));
    EXPECT_EQ(error, host::kErrFile);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder.getLocation() / "marker.txt")));
    EXPECT_EQ(ScratchFolder::contents(folder.getLocation() / "prefs.xml" / "user-notes.txt"), "notes");
    EXPECT_EQ(entriesBelow(folder.getLocation()),
              (std::vector<std::string>{"marker.txt", "prefs.xml", "prefs.xml/user-notes.txt"}));
}

// Whether a folder takes new files is found without taking a name that runs use: files that runs left
// under every passing name play no part, and the probe leaves nothing behind, with or without unnamed
// files. A folder that refuses new files is told.
TEST(Directory, TellsWhetherItTakesNewFilesWhateverRunsLeftInIt) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    for (int n = 1; n <= PassingFile::kMostNames; ++n)
        scratch.write("data/" + std::string(PassingFile::nameFor("ObjectMap.xml", n).getView()),
                      "<objectMap/>");
    const auto entries = [&] { return std::distance(fs::directory_iterator(folder.getLocation()), {}); };
    int unnamedFault = 0;
    int openFault = 0;
    const FileOperationWatch watch([&](host::FileOperation operation, const std::string&) {
        if (operation == host::FileOperation::openUnnamed) return unnamedFault;
        return operation == host::FileOperation::open ? openFault : 0;
    });
    for (const int fault : {0, EOPNOTSUPP}) {
        unnamedFault = fault;
        EXPECT_TRUE(folder.takesNewFiles()) << fault;
        EXPECT_EQ(entries(), PassingFile::kMostNames);
    }
    for (const int fault : {EACCES, EOPNOTSUPP}) {
        unnamedFault = fault;
        openFault = EACCES;
        const bool takes = folder.takesNewFiles();
        const int error = errno;
        EXPECT_FALSE(takes) << fault;
        EXPECT_EQ(error, EACCES);
    }
    EXPECT_EQ(entries(), PassingFile::kMostNames);
}

// What runs stopped while writing a file left beside it goes with the next whole write of that name: the
// passing files that hold nothing or the start of what the name now holds. Any other file stays, and so
// does a live run's, which it holds locked.
TEST(Directory, AWholeWriteRemovesWhatStoppedWritesOfItsNameLeft) {
    ScratchFolder scratch;
    const Directory folder(scratch.path() / "data", /*create=*/true);
    scratch.write("data/prefs.xml.partial", "");
    scratch.write("data/prefs.xml.partial 2", "<prefs a=");
    scratch.write("data/prefs.xml.partial 3", "<prefs b=\"2\"/>");
    scratch.write("data/prefs.xml.partial 4", "<prefs a=\"1\"/> and more");
    scratch.write("data/prefs.xml.partial 77-2", "<prefs");
    scratch.write("data/other.xml.partial", "");
    const fs::path live = scratch.write("data/prefs.xml.partial 5", "<prefs");
    const int held = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    host::Result error = 0;
    EXPECT_TRUE(folder.replaceFile(
        "prefs", "xml", [](DataFile& file) { return file.write(String("<prefs a=\"1\"/>")); }, error));
    ::close(held);
    EXPECT_EQ(entriesBelow(folder.getLocation()),
              (std::vector<std::string>{"other.xml.partial", "prefs.xml", "prefs.xml.partial 3",
                                        "prefs.xml.partial 4", "prefs.xml.partial 5"}));

    // A passing file that cannot be removed, of a write that stopped or the file a write replaced, goes
    // with a later whole write of the name whatever that holds.
    const Directory other(scratch.path() / "other", /*create=*/true);
    std::set<std::string> failed;
    const FileOperationWatch onceEach([&](host::FileOperation operation, const std::string& path) {
        return operation == host::FileOperation::unlink && failed.insert(path).second ? EIO : 0;
    });
    const auto write = [&](const char* text, bool whole) {
        return other.replaceFile(
            "m", "txt", [&](DataFile& file) { return file.write(String(text)) && whole; }, error);
    };
    EXPECT_TRUE(write("first", true));
    EXPECT_FALSE(write("half", false));
    EXPECT_TRUE(write("second", true));
    EXPECT_EQ(entriesBelow(other.getLocation()), std::vector<std::string>{"m.txt"});
    EXPECT_EQ(ScratchFolder::contents(other.getLocation() / "m.txt"), "second");
}

}   // namespace
}   // namespace tarnwick
