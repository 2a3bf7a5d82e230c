// The names of the table's file and of the files beside it: backups, conflicts, the new file while it
// is written, and the lock.
#pragma once

#include <functional>
#include <vector>

#include "Foundation/Directory.h"
#include "Foundation/File.h"
#include "Foundation/String.h"

namespace skellow {

inline constexpr int kMostBackups = 100;   // names in each series beside the table, from 1

// The name up to its last character that is not ".", then ".xml"; empty (no name) for a name of dots
// alone or none, as Directory::createFile refuses it.
tarnwick::String withExtension(const tarnwick::String& name);

// "ObjectMap backup.xml", "ObjectMap backup 2.xml", ...
tarnwick::String backupName(const tarnwick::String& baseName, int n);

// The passing files of runs beside the table in folder, "ObjectMap.xml.partial", "ObjectMap.xml.partial
// <pid>-2", ..., whatever run made them.
std::vector<tarnwick::String> partialNames(const tarnwick::Directory& folder,
                                           const tarnwick::String& fileName);

// "ObjectMap.xml.lock": held by the run that saves.
tarnwick::String lockName(const tarnwick::String& fileName);

// "ObjectMap conflict.xml", ...: this run's table, when the file holds another run's that it cannot join.
tarnwick::String conflictName(const tarnwick::String& baseName, int n);

// The first of nameFor(1) ... nameFor(kMostBackups) that no entry of folder has. Empty when all are taken.
tarnwick::String freeName(const tarnwick::Directory& folder,
                          const std::function<tarnwick::String(int)>& nameFor);
// The same in the backup series.
tarnwick::String freeBackupName(const tarnwick::Directory& folder, const tarnwick::String& baseName);

// The name without its ".xml": "ObjectMap" for "ObjectMap.xml".
tarnwick::String baseOf(const tarnwick::String& fileName);

tarnwick::String nameOf(const tarnwick::FileLocation& location);   // its last part

}   // namespace skellow
