// The element search of a command: the loaded parts that can replace, and the placed elements of a source
// kind grouped by their source name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Foundation/String.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class ProgressWindow;
}

namespace skellow {

// Every placeable loaded part, in the library's order, stepping the progress once a part. False when the
// project has no library, none was found, or the user cancelled.
bool gatherLibraryParts(LibraryPartList& parts, tarnwick::ProgressWindow& progress);

// The loaded parts of the type whose name holds the text in any letter case, in the list's order, into
// `found` (emptied first); their number.
std::size_t findPartsByName(std::int32_t type, const tarnwick::String& text, const LibraryPartList& parts,
                            LibraryPartList& found);

// A trailing version number of a part of an earlier library: "Chair 19" becomes "Chair" and gives 19,
// "Chair 45" gives 4 (40 to 99 are versions 4 to 9). 0, and the name unchanged, when the name does not end
// in digits after some other character, or they are no version (below 8, 22 to 39, above 99).
std::uint16_t stripLegacyVersion(tarnwick::String& name);

// "This functionality is coming in a future release", as a warning.
void warnNotAvailable();

}   // namespace skellow
