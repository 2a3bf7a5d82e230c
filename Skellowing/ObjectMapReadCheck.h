// Reading the table's file: its bytes to the end, then its table, with a line for each thing the read
// left out or changed.
#pragma once

#include <string>
#include <vector>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Foundation/String.h"
#include "Skellowing/ObjectMap.h"

namespace skellow {

// A table file as one read found it.
struct TableRead {
    ObjectMap table;
    std::string bytes;
    bool whole = false;        // read to its end
    int systemError = 0;       // why not, when it was not
    tarnwick::String detail;   // why it cannot be read; empty when it can
    std::vector<tarnwick::String> leftOut;
};

// Read into a table of its own, so that a read that stops half-way leaves nothing behind.
void readTableFile(const tarnwick::Directory& folder, const tarnwick::String& name, TableRead& read);
// The table of the bytes read whole, as readTableFile reads them; name is the file's, for the lines.
void parseTable(const tarnwick::String& name, TableRead& read);

}   // namespace skellow
