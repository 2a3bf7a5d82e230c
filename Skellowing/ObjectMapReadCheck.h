// Reading the table's file: its bytes to the end, then its table, with a line for each thing the read
// left out or changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Foundation/String.h"
#include "Skellowing/ObjectMap.h"

namespace skellow {

// The most bytes a table's file may hold to be read: more than any table a user keeps takes (one of
// 100,000 configurations takes about 17 MB), so that a larger file, damaged or not a table, is refused by
// its size before it fills the memory.
inline constexpr std::uint64_t kMostTableBytes = std::uint64_t{256} << 20;

// A table file as one read found it.
struct TableRead {
    ObjectMap table;
    std::string bytes;
    bool whole = false;           // read to its end
    int systemError = 0;          // why not, when it was not (0: too large)
    std::uint64_t tooLarge = 0;   // the file's size, when it holds more than kMostTableBytes: not read
    tarnwick::String detail;      // why it cannot be read; empty when it can
    std::vector<tarnwick::String> leftOut;
};

// The file's bytes to its end, unless it is larger than a table may be: then nothing is read, and detail
// gives its size and the limit. Nothing is parsed.
void readTableBytes(const tarnwick::Directory& folder, const tarnwick::String& name, TableRead& read);
// Read into a table of its own, so that a read that stops half-way leaves nothing behind.
void readTableFile(const tarnwick::Directory& folder, const tarnwick::String& name, TableRead& read);
// The table of the bytes read whole, as readTableFile reads them; name is the file's, for the lines.
void parseTable(const tarnwick::String& name, TableRead& read);

}   // namespace skellow
