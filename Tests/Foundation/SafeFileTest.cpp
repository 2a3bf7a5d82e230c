// SafeFile's write into a file itself: what it held comes back however the write ends, the record of its
// copy is never left out, and a record is followed only to the very copy it names.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "Foundation/SafeFile.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using State = SafeFile::RecordedCopy::State;

String copyName(int n) { return String(("copy " + std::to_string(n)).c_str()); }

std::string held(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SafeFile, WhatAFileHeldComesBackHoweverAWriteIntoItEnds) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "old");
    // An exception while the new content is put on the disk: what the file held is back.
    int flushes = 0;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) -> int {
        if (operation == host::FileOperation::flush && path == file.string() && ++flushes == 2)
            throw std::runtime_error("stopped");
        return 0;
    });
    EXPECT_THROW(SafeFile::writeInPlace(file, "new", copyName, 3), std::runtime_error);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(held(file), "old");

    // A record that cannot be read, which may name the only whole copy, or that cannot be set for another
    // reason than a file system without records: nothing is written, and no copy stays that no record
    // names.
    const fs::path other = scratch.write("other.xml", "old");
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
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), {}), 4);   // home, 2 files, a copy
    }
}

TEST(SafeFile, ARecordIsFollowedOnlyToTheCopyItNames) {
    ScratchFolder scratch;
    const fs::path file = scratch.write("table.xml", "cut");
    const fs::path copy = scratch.write("copy 1", "whole");
    struct stat info {};
    ASSERT_EQ(::stat(copy.c_str(), &info), 0);
    const auto record = [&](const std::string& value) {
        ASSERT_EQ(::setxattr(file.c_str(), "user.tarnwick.copy", value.data(), value.size(), 0), 0);
    };
    // As this release records it, and as the one before did, with the device first.
    record(std::to_string(info.st_ino) + " " + copy.string());
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::found);
    record("7 " + std::to_string(info.st_ino) + " " + copy.string());
    EXPECT_EQ(SafeFile::recordedCopy(file).copy, copy);
    // Another file under the copy's name is not the copy.
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
    std::ofstream(note, std::ios::trunc) << "1" << noted.substr(noted.find(' '));
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::none);
    std::ofstream(note, std::ios::trunc) << noted;
    // The next write puts it back whole, and the note goes with the copy.
    EXPECT_FALSE(SafeFile::recordsCopies(file));
    host::watchFileOperations([](host::FileOperation operation, const std::string&) {
        return operation == host::FileOperation::attribute ? ENOTSUP : 0;
    });
    EXPECT_TRUE(SafeFile::writeInPlace(file, "old", copyName, 3).done());
    SafeFile::dropRecordedCopy(file);
    EXPECT_EQ(SafeFile::recordedCopy(file).state, State::none);
    host::watchFileOperations(nullptr);
    EXPECT_EQ(held(file), "old");
    EXPECT_FALSE(fs::exists(scratch.path() / "table.xml.copy"));
    EXPECT_FALSE(fs::exists(scratch.path() / "copy 2"));
}

}   // namespace
}   // namespace tarnwick
