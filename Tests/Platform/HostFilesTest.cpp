#include <HostFiles.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace host;
namespace fs = std::filesystem;

// Sets or unsets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Each test owns a fresh, empty folder and makes it the host's home.
class HostFiles : public testing::Test {
protected:
    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / ("hostfiles-" + std::to_string(::getpid()) + "-" + test->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        setHomeDirectory((root_ / "home").string());
        clearFileDialogAnswers();
        clearFileDialogRequests();
    }
    void TearDown() override {
        setHomeDirectory("");
        clearFileDialogAnswers();
        clearFileDialogRequests();
        std::error_code error;
        fs::remove_all(root_, error);
    }

    fs::path root_;
};

TEST_F(HostFiles, PutsEachSpecialFolderUnderTheHomeAndCreatesIt) {
    const std::pair<int, const char*> folders[] = {
        {kFolderApplication, "Application"}, {kFolderTemporary, "Temporary"},
        {kFolderPreferences, "Preferences"}, {kFolderDocuments, "Documents"},
        {kFolderDesktop, "Desktop"},         {kFolderApplicationData, "Application Data"},
    };
    for (const auto& [number, name] : folders) {
        SCOPED_TRACE(name);
        const std::optional<std::string> folder = specialFolder(number);
        ASSERT_TRUE(folder.has_value());
        EXPECT_EQ(fs::path(*folder), root_ / "home" / name);
        EXPECT_TRUE(fs::is_directory(*folder));
        EXPECT_EQ(specialFolder(number), folder);   // asking again finds the same, existing folder
    }
}

TEST_F(HostFiles, GivesNoFolderForUnknownNumbersOrWhenOneCannotBeMade) {
    for (const int number : {-1, 6, 1000}) EXPECT_EQ(specialFolder(number), std::nullopt) << number;

    fs::create_directories(root_ / "home");
    std::ofstream(root_ / "home" / "Documents") << "a file where the folder belongs";
    EXPECT_EQ(specialFolder(kFolderDocuments), std::nullopt);

    std::ofstream(root_ / "blocked") << "a file where the home belongs";
    setHomeDirectory((root_ / "blocked").string());
    EXPECT_EQ(specialFolder(kFolderDesktop), std::nullopt);
}

TEST_F(HostFiles, FindsTheDefaultHomeInTheEnvironment) {
    setHomeDirectory("");
    const std::string skellowHome = (root_ / "skellow").string();
    const std::string dataHome = (root_ / "data").string();
    const std::string userHome = (root_ / "user").string();
    ScopedEnvironment home("HOME", userHome.c_str());
    {
        ScopedEnvironment skellow("SKELLOW_HOME", skellowHome.c_str());
        ScopedEnvironment data("XDG_DATA_HOME", dataHome.c_str());
        EXPECT_EQ(homeDirectory(), skellowHome);
        EXPECT_TRUE(fs::is_directory(skellowHome));
    }
    {
        ScopedEnvironment skellow("SKELLOW_HOME", "");   // empty counts as unset
        ScopedEnvironment data("XDG_DATA_HOME", dataHome.c_str());
        EXPECT_EQ(fs::path(homeDirectory()), root_ / "data" / "skellow-host");
    }
    {
        ScopedEnvironment skellow("SKELLOW_HOME", nullptr);
        ScopedEnvironment data("XDG_DATA_HOME", "relative/data");   // not absolute: ignored
        EXPECT_EQ(fs::path(homeDirectory()), root_ / "user" / ".local" / "share" / "skellow-host");
        EXPECT_EQ(fs::path(*specialFolder(kFolderApplicationData)),
                  root_ / "user" / ".local" / "share" / "skellow-host" / "Application Data");
    }
    {
        ScopedEnvironment skellow("SKELLOW_HOME", skellowHome.c_str());
        setHomeDirectory((root_ / "chosen").string());   // a chosen home wins over the environment
        EXPECT_EQ(fs::path(homeDirectory()), root_ / "chosen");
    }
}

// Tests that set no home of their own must not reach the home directory of whoever runs them.
TEST(HostFilesHome, IsATemporaryFolderForEveryTestProgram) {
    const char* const home = std::getenv("SKELLOW_HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_TRUE(fs::equivalent(fs::path(home).parent_path(), fs::temp_directory_path())) << home;
    EXPECT_EQ(homeDirectory(), home);
}

TEST_F(HostFiles, ReadsOnlyRegularFilesAndSaysWhatIsWrongWithTheOthers) {
    const std::string text = (root_ / "a.json").string();
    std::ofstream(text) << "{}";
    const std::string pipe = (root_ / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string big = (root_ / "big.json").string();
    std::ofstream(big) << "[";
    fs::resize_file(big, kMaxInputFileBytes + 1);   // sparse: takes no room on the disk
    const std::pair<std::string, std::string> cases[] = {
        {big, big + ": is larger than 1 GiB"},
        {root_.string(), root_.string() + ": is a folder, not a file"},
        {"/dev/zero", "/dev/zero: is not a regular file"},
        {pipe, pipe + ": is not a regular file"},
        {(root_ / "none").string(), (root_ / "none").string() + ": cannot be read: " + std::strerror(ENOENT)},
    };
    std::string bytes = "kept";
    std::string error;
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(readWholeFile(path, bytes, error));
        EXPECT_EQ(error, message);
    }
    ASSERT_TRUE(readWholeFile(text, bytes, error)) << error;
    EXPECT_EQ(bytes, "{}");
}

TEST_F(HostFiles, AnswersDialogsFromTheQueueAndCancelsWhenItIsEmpty) {
    queueFileDialogAnswer("/projects/table.xml");
    queueFileDialogAnswer(std::nullopt);
    queueFileDialogAnswer("/projects/out.xml");

    EXPECT_EQ(browseForFile(FileDialogKind::open, "Open Table", "xml"), "/projects/table.xml");
    EXPECT_EQ(browseForFile(FileDialogKind::open, "Open Table", "xml"), std::nullopt);
    EXPECT_EQ(browseForFile(FileDialogKind::save, "Save Table", "xml"), "/projects/out.xml");
    EXPECT_EQ(browseForFile(FileDialogKind::save, "Save Image", "png"), std::nullopt);   // nothing left

    const std::vector<FileDialogRequest> requests = fileDialogRequests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].kind, FileDialogKind::open);
    EXPECT_EQ(requests[0].title, "Open Table");
    EXPECT_EQ(requests[2].kind, FileDialogKind::save);
    EXPECT_EQ(requests[3].title, "Save Image");
    EXPECT_EQ(requests[3].extension, "png");
}

TEST_F(HostFiles, ADialogOfSeveralTypesAnswersThePathAndTheTypeChosen) {
    queueFileDialogAnswer("/styles/old.dat", 2);
    queueFileDialogAnswer(std::nullopt, 2);
    const std::vector<FileType> types = {{"Styles File", "presets"}, {"Legacy Style File", "dat"}};
    const auto chosen = browseForFileOfType(FileDialogKind::open, "Style Import", types);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path, "/styles/old.dat");
    EXPECT_EQ(chosen->type, 2);
    EXPECT_EQ(browseForFileOfType(FileDialogKind::open, "Style Import", types), std::nullopt);
    const std::vector<FileDialogRequest> requests = fileDialogRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].extension, "presets");
    EXPECT_EQ(requests[0].typeNames, (std::vector<std::string>{"Styles File", "Legacy Style File"}));
}

TEST_F(HostFiles, ClearingTheAnswersMakesTheNextDialogCancel) {
    queueFileDialogAnswer("/a.xml");
    clearFileDialogAnswers();
    EXPECT_EQ(browseForFile(FileDialogKind::open, "Open", "xml"), std::nullopt);
    clearFileDialogRequests();
    EXPECT_TRUE(fileDialogRequests().empty());
}

}   // namespace

namespace {

TEST_F(HostFiles, ReplacesAFileWhoseNameTakesAllAFolderEntryMayHold) {
    for (const std::size_t length : {std::size_t{236}, std::size_t{255}}) {
        SCOPED_TRACE(length);
        const std::string path = (root_ / std::string(length, 'n')).string();
        std::string error;
        EXPECT_TRUE(canReplaceFile(path, error)) << error;
        ASSERT_TRUE(replaceFile(path, "first", error)) << error;
        // On the disk before it takes the name, and the folder after.
        std::vector<std::string> held;
        watchFlushes([&](const std::string&) {
            std::ifstream in(path);
            held.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        });
        ASSERT_TRUE(replaceFile(path, "second", error)) << error;
        watchFlushes(nullptr);
        EXPECT_EQ(held, (std::vector<std::string>{"first", "second"}));
        std::ifstream in(path);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "second");
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(root_)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left.size(), 2u) << "only the two files, no new file left beside them";
}

// A file made to try a folder whose removal is refused stays only until the next chance to remove it;
// one that still cannot go is named once, and one whose name another file has taken since is left alone.
// One whose identity cannot be read is removed at once by its name, or named; one a killed run left goes
// with the next write.
TEST_F(HostFiles, RemovesAFileItMadeAndCouldNotRemoveLaterByItsIdentityOrNamesItOnce) {
    const fs::path folder = root_ / "folder";
    fs::create_directories(folder);
    const std::string out = (folder / "out.json").string();
    const auto files = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().string());
        return names;
    };
    int refusals = 0;
    bool unknown = false;   // the look at the new file refused: its identity cannot be read
    watchFileOperations([&](FileOperation operation, const std::string&) {
        if (operation == FileOperation::look) return unknown ? EACCES : 0;
        return operation == FileOperation::unlink && refusals-- > 0 ? EIO : 0;
    });
    std::string error;
    refusals = 1;
    ASSERT_TRUE(canReplaceFile(out, error)) << error;
    ASSERT_EQ(files().size(), 1u) << "the try left its file";
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{});
    EXPECT_EQ(files().size(), 0u);

    refusals = 2;
    ASSERT_TRUE(canReplaceFile(out, error)) << error;
    ASSERT_EQ(files().size(), 1u);
    const std::string left = files()[0];
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{left + ": made by the host beside " + out +
                                                          ", cannot be removed: " + std::strerror(EIO)});
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{}) << "named once";
    EXPECT_EQ(files(), std::vector<std::string>{left});
    fs::remove(left);

    refusals = 1;
    ASSERT_TRUE(canReplaceFile(out, error)) << error;
    ASSERT_EQ(files().size(), 1u);
    const std::string taken = files()[0];
    std::ofstream((folder / "other").string()) << "someone's";
    fs::rename(folder / "other", taken);   // made while the old one lived: another file
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{});
    std::ifstream in(taken);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "someone's");
    fs::remove(taken);

    // Known by its name only, it goes at once by that name; where that is refused, it is named once.
    unknown = true;
    refusals = 0;
    ASSERT_TRUE(canReplaceFile(out, error)) << error;
    EXPECT_EQ(files().size(), 0u);
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{});
    refusals = 1;
    ASSERT_TRUE(canReplaceFile(out, error)) << error;
    ASSERT_EQ(files().size(), 1u);
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{files()[0] + ": made by the host beside " + out +
                                                          ", cannot be removed: " + std::strerror(EIO)});
    EXPECT_EQ(removeLeftFiles(), std::vector<std::string>{}) << "named once";
    watchFileOperations(nullptr);
    fs::remove(files()[0]);

    // What killed runs left beside it goes with the next write, unless a live run holds it; files that
    // only look alike stay.
    const std::vector<std::string> alike = {(folder / "out.json.partial-x1").string(),
                                            (folder / "notes.json.partial-5").string()};
    for (const std::string& name : alike) std::ofstream(name) << "someone's";
    std::ofstream((folder / "out.json.partial-12345").string()) << "a killed run's";
    const std::string live = (folder / "out.json.partial-67890").string();
    std::ofstream(live) << "a live run's";
    const int held = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(replaceFile(out, "new", error)) << error;
    std::vector<std::string> expected = alike;
    expected.push_back(live);
    expected.push_back(out);
    std::vector<std::string> now = files();
    std::sort(now.begin(), now.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(now, expected);
    ::close(held);
    ASSERT_TRUE(replaceFile(out, "newer", error)) << error;
    EXPECT_FALSE(fs::exists(live));
    // A write made while another is on its way (flushed, not yet renamed) leaves that one's file to it.
    bool inner = true;
    watchFlushes([&](const std::string&) {
        std::string ignored;
        if (std::exchange(inner, false)) {
            EXPECT_TRUE(replaceFile(out, "inner", ignored)) << ignored;
        }
    });
    EXPECT_TRUE(replaceFile(out, "outer", error)) << error;
    watchFlushes(nullptr);
    EXPECT_FALSE(inner);
    std::ifstream written(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "outer");
}

// A flush is the system's: one it refuses (a descriptor that is not open) fails with its errno, and no
// watcher hears of it.
TEST_F(HostFiles, AFlushTheSystemRefusesFails) {
    std::vector<std::string> flushed;
    watchFlushes([&](const std::string& path) { flushed.push_back(path); });
    errno = 0;
    const bool done = flushFile(-1, (root_ / "none").string());
    const int error = errno;
    watchFlushes(nullptr);
    EXPECT_FALSE(done);
    EXPECT_EQ(error, EBADF);
    EXPECT_TRUE(flushed.empty());
}

}   // namespace
