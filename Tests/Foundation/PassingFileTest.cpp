// PassingFile: a run's new file is never taken for one a run that ended left, and of those only the files
// that can be a run's are removed.
#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Foundation/Directory.h"
#include "Foundation/PassingFile.h"
#include "Foundation/SafeFile.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

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
    // Left by runs that ended: an empty file and the start of what the cleaning run writes go; a file that
    // holds anything else may be a whole table or the user's, and stays, as does a link.
    scratch.write("data/table.xml.partial 2", "");
    scratch.write("data/table.xml.partial 3", "<new");
    scratch.write("data/table.xml.partial 4", "<old table>");
    fs::create_symlink(scratch.path() / "victim", folder.getLocation() / "table.xml.partial 5");
    PassingFile::removeLeft(folder, table, "<new table>");
    EXPECT_TRUE(fs::exists(live->getLocation()));
    EXPECT_FALSE(fs::exists(folder.getLocation() / "table.xml.partial 2"));
    EXPECT_FALSE(fs::exists(folder.getLocation() / "table.xml.partial 3"));
    EXPECT_TRUE(fs::exists(folder.getLocation() / "table.xml.partial 4"));
    EXPECT_TRUE(fs::is_symlink(folder.getLocation() / "table.xml.partial 5"));

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

}   // namespace
}   // namespace tarnwick
