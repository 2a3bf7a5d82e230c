// The object mapping table's file, "ObjectMap.xml" in the add-on's data folder: where it is, reading it
// and writing it.
#pragma once

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
// The table changes only when the command can go on. False when it cannot: no data folder (no message),
// the user declined a new table, or the unreadable file could not be set aside.
bool loadObjectMap(ObjectMap& table);

// Writes the whole table: into a new file first, which then takes the old one's place, so that a failed
// write leaves the old file as it was. False (after an alert) when the file could not be written, and
// without a message when there is no data folder.
bool saveObjectMap(ObjectMap& table);

}   // namespace skellow
