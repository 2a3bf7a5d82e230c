// Writing the table's file and the copies beside it through the framework's safe files, so that a failed
// write or a run stopped half-way loses nothing, and saying why when a write fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "Foundation/Directory.h"
#include "Foundation/File.h"
#include "Foundation/String.h"

namespace skellow {

class ObjectMap;

// Why a save failed, as the user is told, and the heading it goes under.
struct Unwritten {
    tarnwick::String why;   // empty: written
    // The table file's text: kUnwritableTable (permissions) or kCannotWrite; kSavedNotFinished when the
    // file holds the new table all the same (not surely on the disk)
    std::int32_t heading = 0;
    bool holdsNew = false;
    // Written, or holdsNew: the digest of the text written (tarnwick::wholeDigestOf), when the write made it.
    std::optional<std::uint64_t> digest = std::nullopt;
    bool failed() const { return !why.isEmpty(); }
};

// The whole table as the file holds it, made before any file is touched. False, with why, when it holds
// a text the file cannot hold or the memory ran out. sizeHint: the bytes the text took before, if known.
bool tableText(ObjectMap& table, tarnwick::String& text, tarnwick::String& why, std::size_t sizeHint = 0);

// What is at a location where the table's file should be, looked at without following a link there.
struct TableEntry {
    enum class Kind {
        none,   // nothing: the system said so
        file,   // a regular file
        folder,
        other,    // a link, pipe, socket or device
        unseen,   // the system could not say: systemError
    } kind = Kind::none;
    int systemError = 0;
};
TableEntry lookAtTableEntry(const tarnwick::FileLocation& location);
// Why a table's links could not be followed, right after File::followLinks gave nothing: 0 where they
// lead nowhere (round in a circle, too long a chain, an empty link), else the system's errno.
int linkFailure();

// The save's words for a table whose file the system could not look at: nothing is written over it.
Unwritten unseenTable(const tarnwick::String& path, int systemError);

// Why nothing but a regular file (or nothing) at location, as entry found it, can take the table: a
// folder, a pipe, socket or device is never written over. Empty when it can, or when it was unseen.
tarnwick::String whyNoTableAt(const tarnwick::FileLocation& location, const TableEntry& entry,
                              std::int32_t folderText, std::int32_t otherText);

// The table's text into the table's file (SafeFile::save): a new file that takes its place in one step,
// or, where that would not be the same file to those who share it, the file itself, once what it held is
// on the disk as "ObjectMap backup N.xml" beside it. A table that is a link is written to the file the
// link names, in that file's folder, and the link stays. Only a regular file is ever written over, and a
// read-only one is not replaced. What it held stays unless the new table is written.
Unwritten writeTable(const tarnwick::Directory& folder, const tarnwick::String& name, std::string_view text);

// The bytes in a new file of the folder under the first free name, readable by those who could read
// the file at like and no others, on the disk with its name. Its name; empty when none could be made,
// with the system's reason (an errno, 0 for none) in systemError when given.
tarnwick::String copyBeside(const tarnwick::Directory& folder, const tarnwick::String& tableName,
                            const std::function<tarnwick::String(int)>& nameFor, int tries,
                            const tarnwick::FileLocation& like, std::string_view bytes,
                            int* systemError = nullptr);

// The file as it was, beside it: a backup that already holds exactly these bytes, or a new one. Its
// name; empty when none could be made, with the system's reason as copyBeside gives it.
tarnwick::String keepCopy(const tarnwick::Directory& folder, const tarnwick::String& baseName,
                          std::string_view bytes, int* systemError = nullptr);

}   // namespace skellow
