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
// "ObjectMap"; when asked, cut after its last character that is not "." and then given ".xml".
void getObjectMapLocation(std::unique_ptr<tarnwick::Directory>& folder, tarnwick::String& name,
                          bool withExtension);

// Fills the table from the file. A missing file gives the default table, written at once (a failed write
// is shown, and the table is used all the same). A file that cannot be read is read once more in the
// table's turn (another run may be writing into it), then named with the reason: the user may put back the
// copy that the save which cut it recorded on it (found through any of its names; the default), or any
// other whole table beside it (with its time; never the default), or go on with a new table; the
// unreadable file is then kept beside it under a new name. A copy recorded on a file that reads whole is
// removed. A read that leaves anything out (a parameter that cannot be built, a second configuration of
// one name and kind) or changes it (bytes that are not UTF-8) keeps a copy of the file as it was beside
// it, and the user is told what was left out. The table changes only when the command can go on. False
// when it cannot: no data folder (an error names it), a folder, pipe, socket, device or a link in a
// circle where the table's file should be (an error names it), another run saving the table for longer
// than the wait, the user declined, or the file could not be kept aside.
bool loadObjectMap(ObjectMap& table);

// Writes the whole table, unless it is as the file held it. Its text is made first, then written into a
// new file beside the table, put on the disk and given the table's name, so that a failed write or a run
// stopped half-way leaves the old file as it was. Where that would change what the file is to those who
// share it (a second name for it, an owner or group the new file cannot be given), the table is written
// into the file itself, once what it held is on the disk under a backup name beside it and recorded on
// the file: a failed write puts it back, and a stopped one leaves the copy that the next load through any
// of the file's names offers. Only a regular file is
// written over, and a read-only one is not replaced. False, after an alert that says why, when the file
// could not be written or the host gave no data folder or name; a failure told already for this table is
// not told again.
bool saveObjectMap(ObjectMap& table);

// How long a save waits for another run that is saving the table, 30 s until set (tests set less).
void setTableLockPatience(std::chrono::milliseconds patience);

}   // namespace skellow
