// The object mapping table's file, "ObjectMap.xml" in the add-on's data folder: where it is, reading it
// and writing it.
#pragma once

#include <chrono>
#include <memory>

#include "Foundation/Directory.h"
#include "Foundation/String.h"

namespace skellow {

class ObjectMap;

// The folder (owned by the caller; null when the add-on has no data folder) and the file's name,
// "ObjectMap", with ".xml" when asked.
void getObjectMapLocation(std::unique_ptr<tarnwick::Directory>& folder, tarnwick::String& name,
                          bool withExtension);

// Fills the table from the file. A missing file gives the default table, written at once (a failed write
// is shown, and the table is used all the same). A file that cannot be read is named with the reason,
// and the user may go on with a new table: the unreadable file is then kept beside it under a new name.
// A read that leaves anything out (a parameter that cannot be built, a second configuration of one name
// and kind) or changes it (bytes that are not UTF-8) keeps a copy of the file as it was beside it, and
// the user is told what was left out. The table changes only when the command can go on. False when it
// cannot: no data folder (an error names it), the user declined a new table, or the file could not be
// kept aside.
bool loadObjectMap(ObjectMap& table);

// Writes the whole table: into a new file first, made beside the table where no entry was, which then
// takes the old one's place, so that a failed write leaves the old file as it was and nothing behind.
// Where that would change what the file is to those who share it (a second name for it, an owner or
// group the new file cannot be given), the table is written into the file itself, once what it held is
// kept in a copy beside it that a failed write puts back. A table file that is read-only is not
// replaced. False, after an alert that says why, when the file could not be written or the host gave
// no data folder or name; a failure told already for this table is not told again.
bool saveObjectMap(ObjectMap& table);

// How long a save waits for another run that is saving the table, 30 s until set (tests set less).
void setTableLockPatience(std::chrono::milliseconds patience);

}   // namespace skellow
