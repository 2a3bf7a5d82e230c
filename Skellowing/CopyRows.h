// CopyRows: whether a copy of the table's file holds a row the table lacks, which no clean-up may remove.
#pragma once

#include <string_view>

#include "Foundation/File.h"

namespace skellow {

// Whether every row that copy (a file's text) holds is in table (the table file's text) too, compared
// whole: configuration, source, mapping, GUID and parameters; a configuration that maps nothing counts as
// a row of its own. An empty copy, or one that is the start of
// the table's text, holds no row of its own. False when either cannot be read whole as a table, since what
// it holds cannot be known.
bool tableHoldsEveryRowOf(std::string_view table, std::string_view copy);
// Whether text reads whole as a table, leaving nothing out: only then can the rows it holds be known.
bool readsAsWholeTable(std::string_view text);
// The same of the file at copy; false when it cannot be read to its end.
bool tableHoldsEveryRowOfFile(std::string_view table, const tarnwick::FileLocation& copy);

}   // namespace skellow
