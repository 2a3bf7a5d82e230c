// SafeFile's write into a file itself: what it held is on the disk before the file is emptied and comes
// back however the write ends, the record of its copy is never left out, and a record is followed only to
// the very copy it names, while the file is the state of the write it names. On a file system that keeps
// records on files and on one that does not (the folder's own kind, and the other through the seam).
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/SafeFile.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"
#include "Support/FileClock.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using State = SafeFile::RecordedCopy::State;

String copyName(int n) { return String(("copy " + std::to_string(n)).c_str()); }

std::string held(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file operation of the test's writes answered as a file system that keeps no user attributes.
int noRecords(host::FileOperation operation, const std::string&) {
    return operation == host::FileOperation::attribute ? ENOTSUP : 0;
}

// The record of a copy, set as the folder of file keeps it: on the file, or in the note beside its name.
void setRecord(const fs::path& file, const std::string& value) {
    if (SafeFile::recordsCopies(file)) {
        ASSERT_EQ(::setxattr(file.c_str(), "user.tarnwick.copy", value.data(), value.size(), 0), 0);
        return;
    }
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    std::ofstream(file.string() + ".copy", std::ios::trunc) << info.st_ino << " " << value;
}

TEST(SafeFile, WhatAFileHeldComesBackHoweverAWriteIntoItEnds) {
    ScratchFolder scratch;
    // Failed at any one of its calls, or stopped by an exception at any call on the file: what the file
    // held is in it or in the copy that its record names, unless it holds the new content on the disk;
    // the copy goes only where the file is known to hold either whole.
    for (const bool records : {true, false}) {
        for (const bool stop : {false, records}) {
            for (int at = 1;; ++at) {
                SCOPED_TRACE((records ? "records, " : "no records, ") +
                             std::string(stop ? "stopped" : "failed") + " at call " + std::to_string(at));
                const fs::path file = scratch.write("sweep/table.xml", "old rows");
                int calls = 0;
                bool hit = false;
                bool stopped = false;
                SafeFile::Outcome outcome;
                host::watchFileOperations([&](host::FileOperation operation, const std::string& path) -> int {
                    if (!records && operation == host::FileOperation::attribute) return ENOTSUP;
                    // An exception out of a close would end the test in a destructor.
                    if (stop && (path != file.string() || operation == host::FileOperation::close)) return 0;
                    if (++calls != at) return 0;
                    hit = true;
                    if (stop) throw std::runtime_error("stopped");
                    return EIO;
                });
                try {
                    outcome = SafeFile::writeInPlace(file, "new rows", copyName, 3);
                } catch (const std::runtime_error&) {
                    stopped = true;
                }
                host::watchFileOperations(records ? nullptr : noRecords);
                const SafeFile::RecordedCopy kept = SafeFile::recordedCopy(file);
                host::watchFileOperations(nullptr);
                if (!hit) break;
                const std::string holds = held(file);
                const bool told = !stopped && (outcome.result == SafeFile::Result::notPutBack ||
                                               outcome.result == SafeFile::Result::notFlushed);
                if (told || (holds != "old rows" && holds != "new rows")) {
                    EXPECT_EQ(kept.state, State::found) << holds;
                    EXPECT_EQ(held(kept.copy), "old rows");
                }
                if (told) {
                    EXPECT_EQ(outcome.copy, kept.copy);
                }
                if (!stopped && outcome.done()) {
                    EXPECT_EQ(holds, "new rows");
                }
                if (!stopped && outcome.result == SafeFile::Result::cutShort) {
                    EXPECT_EQ(holds, "old rows");
                }
                // Nothing else is left beside it: a copy that stays is recorded.
                for (const fs::directory_entry& entry : fs::directory_iterator(file.parent_path())) {
                    if (entry.path() != file && entry.path() != kept.copy) {
                        EXPECT_EQ(entry.path().filename(), "table.xml.copy");
                    }
                }
                fs::remove_all(file.parent_path());
            }
        }
    }

    // A cut that the system refuses after it emptied the file: the copy stays, recorded.
    const fs::path cut = scratch.write("cut/table.xml", "old rows");
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (operation != host::FileOperation::truncate || path != cut.string()) return 0;
        std::filesystem::resize_file(cut, 0);
        return EIO;
    });
    const SafeFile::Outcome refused = SafeFile::writeInPlace(cut, "new rows", copyName, 3);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(refused.result, SafeFile::Result::notPutBack);
    EXPECT_EQ(held(refused.copy), "old rows");
    EXPECT_EQ(SafeFile::recordedCopy(cut).copy, refused.copy);

    // A write into a file that a stopped write left cut fails, and the cut is put back: the record of the
    // stopped write stays, naming the whole copy.
    int writes = 0;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        return operation == host::FileOperation::write && path == cut.string() && ++writes == 1 ? ENOSPC : 0;
    });
    EXPECT_EQ(SafeFile::writeInPlace(cut, "other rows", copyName, 3).result, SafeFile::Result::cutShort);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(held(cut), "");
    EXPECT_EQ(SafeFile::recordedCopy(cut).state, State::found);
    EXPECT_EQ(SafeFile::recordedCopy(cut).copy, refused.copy);

    // The write fails, and what it held, written back, cannot be put on the disk: the copy, which is, stays
    // recorded, as private as the file.
    for (const bool records : {true, false}) {
        SCOPED_TRACE(records ? "records as the folder keeps them" : "no records");
        const fs::path mine = scratch.write(records ? "kept/mine.xml" : "unrecorded/mine.xml", "mine");
        fs::permissions(mine, fs::perms::owner_read | fs::perms::owner_write);
        bool writeFailed = false;
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            if (!records && operation == host::FileOperation::attribute) return ENOTSUP;
            if (path != mine.string()) return 0;
            if (operation == host::FileOperation::write && !writeFailed) {
                writeFailed = true;
                return ENOSPC;
            }
            return operation == host::FileOperation::flush && writeFailed ? EIO : 0;
        });
        const SafeFile::Outcome unflushed = SafeFile::writeInPlace(mine, "yours", copyName, 3);
        const SafeFile::RecordedCopy kept = SafeFile::recordedCopy(mine);
        host::watchFileOperations(nullptr);
        EXPECT_EQ(unflushed.result, SafeFile::Result::cutShort);
        EXPECT_EQ(held(mine), "mine");
        EXPECT_EQ(kept.state, State::found);
        EXPECT_EQ(kept.copy, mine.parent_path() / "copy 1");
        EXPECT_EQ(held(kept.copy), "mine");
        EXPECT_EQ(fs::status(kept.copy).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }

    // A record that cannot be read, which may name the only whole copy, or that cannot be set for another
    // reason than a file system without records: nothing is written, and no copy stays that no record
    // names.
    const fs::path other = scratch.write("other/other.xml", "old");
    for (const bool copied : {false, true}) {   // the record read, then the record set once the copy is kept
        bool copyFlushed = false;
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            if (operation == host::FileOperation::flush && path != other.string()) copyFlushed = true;
            return operation == host::FileOperation::attribute && copyFlushed == copied ? EIO : 0;
        });
        const SafeFile::Outcome unrecorded = SafeFile::writeInPlace(other, "new", copyName, 3);
        host::watchFileOperations(nullptr);
        EXPECT_EQ(unrecorded.result, SafeFile::Result::notRecorded);
        EXPECT_EQ(unrecorded.systemError, EIO);
        EXPECT_EQ(held(other), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(other.parent_path()), {}), 1);
    }
}

// Before the file is emptied, its copy, the copy's record and name are on the disk: the record on the file
// with the file, or the note before it takes its name. An empty file has nothing to keep.
TEST(SafeFile, WhatAFileHeldIsOnTheDiskBeforeItIsEmptied) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "old");
    for (const bool records : {SafeFile::recordsCopies(file), false}) {
        SCOPED_TRACE(records ? "records on the file" : "no records");
        std::vector<std::string> flushed;   // what was flushed, and whether the file then held the old text
        host::watchFlushes([&](const std::string& path) {
            flushed.push_back(fs::path(path).filename().string() +
                              (held(file) == "old" ? " (old)" : " (new)"));
        });
        host::watchFileOperations([records](host::FileOperation operation, const std::string& path) {
            return records ? 0 : noRecords(operation, path);
        });
        EXPECT_TRUE(SafeFile::writeInPlace(file, "new", copyName, 3).done());
        host::watchFileOperations(nullptr);
        host::watchFlushes(nullptr);
        const std::string folder = scratch.path().filename().string();
        const std::vector<std::string> recordFlushed = {"table.xml.partial (old)", folder + " (old)",
                                                        "table.xml (old)", "table.xml (new)"};
        const std::vector<std::string> noteFlushed = {
            "table.xml.partial (old)", "table.xml.copy.partial (old)", folder + " (old)", "table.xml (new)"};
        EXPECT_EQ(flushed, records ? recordFlushed : noteFlushed);
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), {}), 2);   // home and the file
        scratch.write("table.xml", "old");
    }
    // A write into an empty file that stops leaves no copy beside it.
    const fs::path empty = scratch.write("empty.xml", "");
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) -> int {
        if (operation == host::FileOperation::flush && path == empty.string() && held(empty) == "new")
            throw std::runtime_error("stopped");
        return 0;
    });
    EXPECT_THROW(SafeFile::writeInPlace(empty, "new", copyName, 3), std::runtime_error);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(held(empty), "");
    EXPECT_EQ(SafeFile::recordedCopy(empty).state, State::none);
    // One that fails and cannot be emptied again says that the file held nothing, naming no copy.
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (path != empty.string()) return 0;
        if (operation == host::FileOperation::flush) return EIO;
        return operation == host::FileOperation::truncate && held(empty) == "new" ? EIO : 0;
    });
    const SafeFile::Outcome unflushed = SafeFile::writeInPlace(empty, "new", copyName, 3);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(unflushed.result, SafeFile::Result::notFlushed);
    EXPECT_TRUE(unflushed.heldNothing);
    EXPECT_EQ(unflushed.copy, FileLocation());
    EXPECT_EQ(SafeFile::recordedCopy(empty).state, State::none);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), {}), 3);
}

// A save into a file with other names, or one that may have them (it cannot be looked at), writes into
// the file itself, which every name then shows.
TEST(SafeFile, ASaveKeepsOneFileUnderAllItsNames) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "old");
    const fs::path second = scratch.path() / "second.xml";
    fs::create_hard_link(file, second);
    for (const bool looked : {true, false}) {
        SCOPED_TRACE(looked ? "looked at" : "cannot be looked at");
        const std::string text = looked ? "new" : "newer";
        bool refused = looked;
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            if (refused || operation != host::FileOperation::look || path != file.string()) return 0;
            refused = true;
            return EIO;
        });
        EXPECT_TRUE(SafeFile::save(file, text, copyName, 3).done());
        host::watchFileOperations(nullptr);
        EXPECT_TRUE(refused);
        EXPECT_TRUE(fs::equivalent(file, second));
        EXPECT_EQ(held(second), text);
    }
}

// A record is followed only to the copy it names, and only while the file is the state of the write it
// names: what that write held before, or a cut (which an empty file may be). A file holding the write's
// new content whole is done with it; one holding anything else was written since.
TEST(SafeFile, ARecordIsFollowedOnlyToItsCopyWhileTheFileIsItsWritesState) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "cut");
    const fs::path copy = scratch.write("copy 1", "whole");
    struct stat info {};
    ASSERT_EQ(::stat(copy.c_str(), &info), 0);
    const std::string inode = std::to_string(info.st_ino);
    // As the releases before recorded it, naming no write, with the device first or not: followed.
    setRecord(file, inode + " " + copy.string());
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::found);
    setRecord(file, "7 " + inode + " " + copy.string());
    EXPECT_EQ(SafeFile::recordedCopy(file).copy, copy);

    // What a write stopped by a full disk recorded, for a table of a few lines and for a large one: its
    // new text whole means it ended; what the file held, or a cut whose every whole block agrees with
    // either, is its state; anything else was written since. An empty file cannot say by its blocks: a
    // record on the file follows it, while a note, which keeps the time the write left the file at, knows
    // it for another save's once the clock has moved past that time.
    for (const bool records : {SafeFile::recordsCopies(file), false}) {
        SCOPED_TRACE(records ? "records on the file" : "no records");
        const auto recorded = [records](host::FileOperation operation, const std::string& path) {
            return records ? 0 : noRecords(operation, path);
        };
        for (const std::size_t size : {1'400, 300'000}) {
            SCOPED_TRACE(size);
            const std::string larger(size, 'b');
            const std::string large(size * 2 / 3, 'a');
            const fs::path big = scratch.write("large.xml", large);
            host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
                if (const int fault = recorded(operation, path)) return fault;
                return operation == host::FileOperation::write && path == big.string() ? ENOSPC : 0;
            });
            ASSERT_EQ(SafeFile::writeInPlace(big, larger, copyName, 3).result, SafeFile::Result::notPutBack);
            host::watchFileOperations(recorded);
            pastTheLastChangeOf(big, big.parent_path() / "clock");
            std::string otherCut = larger.substr(0, size / 2);
            otherCut[size / 10] = 'c';   // another save's text, alike but in one early block
            const std::pair<std::string, State> cuts[] = {
                {large, State::found},
                {"", records ? State::found : State::stale},
                {larger.substr(0, size * 5 / 6), State::found},
                {large.substr(0, size / 3), State::found},
                {otherCut, State::stale},
                {larger + "b", State::stale},
                {larger, State::ended},
            };
            for (const auto& [holding, state] : cuts) {
                SCOPED_TRACE(holding.size());
                scratch.write("large.xml", holding);
                EXPECT_EQ(SafeFile::recordedCopy(big).state, state);
            }
            host::watchFileOperations(nullptr);
            fs::remove(big);
            fs::remove(scratch.path() / "large.xml.copy");
            fs::remove(scratch.path() / "copy 2");
        }
    }
    // A record that a write ended, or that another save wrote past, whose copy is gone, is what it is; a
    // write into the file records its own copy in its place.
    for (const bool ended : {true, false}) {
        SCOPED_TRACE(ended ? "ended" : "written past");
        const fs::path past = scratch.write("past/table.xml", "held rows");
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            return operation == host::FileOperation::write && path == past.string() ? ENOSPC : 0;
        });
        const SafeFile::Outcome stopped = SafeFile::writeInPlace(past, "its rows", copyName, 3);
        host::watchFileOperations(nullptr);
        ASSERT_EQ(stopped.result, SafeFile::Result::notPutBack);
        scratch.write("past/table.xml", ended ? "its rows" : "another save's rows");
        fs::rename(stopped.copy, past.parent_path() / "moved");
        const SafeFile::RecordedCopy gone = SafeFile::recordedCopy(past);
        EXPECT_EQ(gone.state, ended ? State::ended : State::stale);
        EXPECT_EQ(gone.copy, FileLocation());
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            return operation == host::FileOperation::write && path == past.string() ? ENOSPC : 0;
        });
        const SafeFile::Outcome own = SafeFile::writeInPlace(past, "my rows", copyName, 3);
        host::watchFileOperations(nullptr);
        ASSERT_EQ(own.result, SafeFile::Result::notPutBack);
        EXPECT_EQ(held(own.copy), ended ? "its rows" : "another save's rows");
        const SafeFile::RecordedCopy recorded = SafeFile::recordedCopy(past);
        EXPECT_EQ(recorded.state, State::found);
        EXPECT_EQ(recorded.copy, own.copy);
        fs::remove_all(past.parent_path());
    }
    // Another file under the copy's name is not the copy.
    scratch.write("table.xml", "cut");
    scratch.write("other", "another");
    fs::rename(scratch.path() / "other", copy);
    const SafeFile::RecordedCopy replaced = SafeFile::recordedCopy(file);
    EXPECT_EQ(replaced.state, State::unfollowable);
    EXPECT_EQ(replaced.copy, copy);
    EXPECT_EQ(replaced.systemError, 0);
}

TEST(SafeFile, WithoutRecordsOnFilesAStoppedWriteLeavesANoteBesideTheName) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "old");
    // A file system that keeps no attributes, and a disk too full to write the new content or put the old
    // back.
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::attribute) return ENOTSUP;
        return operation == host::FileOperation::write && path == file.string() ? ENOSPC : 0;
    });
    const SafeFile::Outcome cut = SafeFile::writeInPlace(file, "new", copyName, 3);
    EXPECT_EQ(cut.result, SafeFile::Result::notPutBack);
    EXPECT_EQ(held(file), "");
    const SafeFile::RecordedCopy found = SafeFile::recordedCopy(file);
    EXPECT_EQ(found.state, State::found);
    EXPECT_EQ(found.copy, scratch.path() / "copy 1");
    EXPECT_EQ(held(found.copy), "old");
    // A note beside the name that names another file is not this file's.
    const fs::path note = scratch.path() / "table.xml.copy";
    const std::string noted = held(note);
    const std::string another = "1" + noted.substr(noted.find(' '));
    std::ofstream(note, std::ios::trunc) << another;
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::none);
    // Nor is it removed as this file's record once the file is whole, nor is one that cannot be read.
    const auto mayGo = [](const FileLocation&) { return true; };
    EXPECT_EQ(SafeFile::dropRecordedCopy(file, mayGo), FileLocation());
    EXPECT_EQ(held(note), another);
    std::ofstream(note, std::ios::trunc) << noted;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::attribute) return ENOTSUP;
        return operation == host::FileOperation::read && path == note.string() ? EIO : 0;
    });
    SafeFile::dropRecordedCopy(file, mayGo);
    EXPECT_EQ(held(note), noted);
    EXPECT_EQ(held(found.copy), "old");
    EXPECT_FALSE(SafeFile::recordsCopies(file));
    // A note, or a file, that cannot be looked at may be the record's: it cannot be followed, and is not
    // "none".
    for (const fs::path& unseen : {note, file}) {
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            if (operation == host::FileOperation::attribute) return ENOTSUP;
            return operation == host::FileOperation::look && path == unseen.string() ? EIO : 0;
        });
        const SafeFile::RecordedCopy recorded = SafeFile::recordedCopy(file);
        EXPECT_EQ(recorded.state, State::unfollowable) << unseen;
        EXPECT_EQ(recorded.systemError, EIO) << unseen;
    }

    // Whole again, the file is first put on the disk: while it cannot be, the copy and the note stay; the
    // copy stays too, on its own, while it holds what the caller says the file lacks.
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::attribute) return ENOTSUP;
        return operation == host::FileOperation::flush && path == file.string() ? EIO : 0;
    });
    scratch.write("table.xml", "new");
    EXPECT_EQ(SafeFile::dropRecordedCopy(file, [](const FileLocation&) { return true; }), FileLocation());
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::ended);
    host::watchFileOperations(noRecords);
    EXPECT_EQ(SafeFile::dropRecordedCopy(file, [](const FileLocation&) { return false; }), found.copy);
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::none);
    EXPECT_EQ(held(found.copy), "old");
    EXPECT_FALSE(fs::exists(note));

    // The next write into the cut file puts back what it held whole, recording no copy of an empty file,
    // and a copy no longer needed goes with its note. (Emptied again here, the file is no longer as the
    // note's write left it: the note is laid as the release before wrote it, which cannot tell.)
    const std::size_t field = noted.find(' ') + 1;
    const std::string unlaid = noted.substr(0, field) + std::string(noted.find(' ', field) - field, '-') +
                               noted.substr(noted.find(' ', field));
    std::ofstream(note, std::ios::trunc) << unlaid;
    scratch.write("table.xml", "");
    EXPECT_TRUE(SafeFile::writeInPlace(file, "old", copyName, 3).done());
    EXPECT_FALSE(fs::exists(note));
    // Also once the file was written since through another name.
    std::ofstream(note, std::ios::trunc) << noted;
    scratch.write("table.xml", "written since");
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::stale);
    EXPECT_EQ(SafeFile::dropRecordedCopy(file, [](const FileLocation&) { return true; }), FileLocation());
    host::watchFileOperations(nullptr);
    EXPECT_FALSE(fs::exists(note));
    EXPECT_FALSE(fs::exists(found.copy));
    EXPECT_FALSE(fs::exists(scratch.path() / "copy 2"));

    // A lone file saved by a new one that takes its name: the note about the file replaced goes with it.
    std::ofstream(note, std::ios::trunc) << noted;
    host::watchFileOperations(noRecords);
    EXPECT_TRUE(SafeFile::save(file, "whole", copyName, 3).done());
    host::watchFileOperations(nullptr);
    EXPECT_EQ(held(file), "whole");
    EXPECT_FALSE(fs::exists(note));
}

// A whole copy kept beside a file (a backup) is as private as the file, and is made only once its name
// is on the disk: a folder that cannot be flushed is told.
TEST(SafeFile, ACopyKeptBesideAFileIsOnTheDiskAsPrivateAsTheFile) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "table");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    const Directory folder(scratch.path());
    const SafeFile::Outcome kept =
        SafeFile::writeNew(folder, String("table.xml"), copyName, 3, "table", &file);
    ASSERT_TRUE(kept.done());
    EXPECT_EQ(held(kept.file), "table");
    EXPECT_EQ(fs::status(kept.file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        return operation == host::FileOperation::flush && path == scratch.path().string() ? EIO : 0;
    });
    const SafeFile::Outcome unflushed =
        SafeFile::writeNew(folder, String("table.xml"), copyName, 3, "table", &file);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(unflushed.result, SafeFile::Result::folderNotFlushed);
    EXPECT_EQ(unflushed.systemError, EIO);

    // What a stopped run left beside a name goes only once a file replacing it is there on the disk.
    const fs::path left = scratch.write("table.xml.partial 2", "");
    const auto fill = [](DataFile& data) { return data.write("new", 3); };
    for (const bool flushed : {false, true}) {
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            return !flushed && operation == host::FileOperation::flush && path == scratch.path().string()
                       ? EIO
                       : 0;
        });
        const SafeFile::Outcome replaced = SafeFile::replace(folder, String("table.xml"), fill, {});
        host::watchFileOperations(nullptr);
        EXPECT_EQ(replaced.result, flushed ? SafeFile::Result::written : SafeFile::Result::folderNotFlushed);
        EXPECT_EQ(fs::exists(left), !flushed);
    }
}

}   // namespace
}   // namespace tarnwick
