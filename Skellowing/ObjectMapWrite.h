// Writing the table's file and the copies beside it, so that a failed write or a run stopped half-way
// loses nothing: each new file written whole and on the disk before it takes a name that counts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Foundation/File.h"
#include "Foundation/String.h"

namespace skellow {

class ObjectMap;

// bytes into the open file, on the disk, and the file closed: a file that is then whole, whatever stops
// the run after.
bool writeWhole(tarnwick::DataFile& file, std::string_view bytes);

// The file being written, deleted however the write ends unless it took the table's place. Held locked
// while this run has it, so that a run that finds it left behind can tell a dead run's from a live one's.
class PartialFile {
public:
    explicit PartialFile(std::unique_ptr<tarnwick::DataFile> file) : file_(std::move(file)) {
        if (file_) file_->holdLock();
    }
    ~PartialFile() {
        if (file_) file_->remove();
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    tarnwick::DataFile& operator*() const { return *file_; }
    bool made() const { return file_ != nullptr; }
    void keep() { file_.reset(); }

private:
    std::unique_ptr<tarnwick::DataFile> file_;
};

// The whole table as the file holds it, made before any file is touched. False when it holds a text the
// file cannot hold.
bool tableText(ObjectMap& table, tarnwick::String& text);

// Why nothing but a regular file (or nothing) at location can take the table: a folder, a pipe, socket
// or device is never written over. Empty when it can.
tarnwick::String whyNoTableAt(const tarnwick::FileLocation& location, std::int32_t folderText,
                              std::int32_t otherText);

// The table's text into a new file beside the table's file, which then takes its place in one step, on
// the disk before and after. A table that is a link is written to the file the link names, in that file's
// folder, and the link stays. The new file has the old one's owner, group and permissions before it holds
// anything; where it cannot be given them, or the old file has more than one name or carries extended
// attributes (which a new file would not have), the table is written into the old file itself. Only a
// regular file is ever written over. Empty when written; otherwise why not, and the old file holds what
// it held.
tarnwick::String writeTable(const tarnwick::Directory& folder, const tarnwick::String& name,
                            std::string_view text);

// The bytes in a new file of the folder under the first free name, readable by those who could read
// the file at like and no others. Its name; empty when none could be made.
tarnwick::String copyBeside(const tarnwick::Directory& folder,
                            const std::function<tarnwick::String(int)>& nameFor, int tries,
                            const tarnwick::FileLocation& like, std::string_view bytes);

// The file as it was, beside it: a backup that already holds exactly these bytes, or a new one. Its
// name; empty when none could be made.
tarnwick::String keepCopy(const tarnwick::Directory& folder, const tarnwick::String& baseName,
                          std::string_view bytes);

}   // namespace skellow
