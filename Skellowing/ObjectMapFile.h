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
// table's turn (another run may be writing into it), then named with the reason and with what is known
// of it: the copy that the save which cut it recorded, put back by default; any other whole table beside
// it, with its time; a record whose copy cannot be reached. Only a lone file with no record and nothing
// beside it takes a new table by default; in every other case nothing is written unless the user asks.
// The unreadable file is then kept beside it under a new name (a shared one only as a copy). A copy
// recorded on a file that reads whole is removed. A read that leaves anything out (a parameter that
// cannot be built, a second configuration of one name and kind, a value given twice) or changes it
// (bytes that are not UTF-8) keeps a copy of the file as it was beside it, and the user is told what was
// left out. The table changes only when the command can go on. False when it cannot: no data folder or
// one that takes no new file (an error names it), a folder, pipe, socket, device or a link in a circle
// where the table's file should be (an error names it), another run saving the table for longer than the
// wait, the user declined, or the file could not be kept aside.
bool loadObjectMap(ObjectMap& table);

// Writes the whole table, unless it is as the file held it. Its text is made first, then written into a
// new file beside the table, put on the disk and given the table's name, so that a failed write or a run
// stopped half-way leaves the old file as it was. Where that would change what the file is to those who
// share it (a second name for it, an owner or group the new file cannot be given), the table is written
// into the file itself, once what it held is on the disk under a backup name beside it and recorded (on
// the file, or in a note beside the name where its file system keeps no record): a failed write puts it
// back, and a stopped one leaves the copy that the next load offers. Only a regular file is written
// over, and a read-only one is not replaced. False, after an alert that says why, when the file could not
// be written or the host gave no data folder or name; a failure told already for this table is not told
// again.
bool saveObjectMap(ObjectMap& table);

// How long a save waits for another run that is saving the table, 30 s until set (tests set less).
void setTableLockPatience(std::chrono::milliseconds patience);

}   // namespace skellow
