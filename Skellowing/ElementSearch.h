// The element search of a command: the loaded parts that can replace, and the placed elements of a source
// kind grouped by their source name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Foundation/String.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class ComponentElem;
class ComponentLink;
class Drawing;
class ProgressWindow;
}   // namespace tarnwick

namespace skellow {

// The parts that can replace and the elements of the kind, under a progress window of three phases. False,
// after telling the user why (no placeable part; nothing found; the host failed to give the parts or a
// list of elements; only elements that could not be read), or silently when the user cancelled.
bool gatherElements(ObjectMapType kind, tarnwick::Drawing& drawing, LibraryPartList& parts,
                    SourceSearch& found);

// Every placeable loaded part, in the library's order, stepping the progress once a part. False when the
// project has no library, none was found, the host failed to give one, or the user cancelled.
bool gatherLibraryParts(LibraryPartList& parts, tarnwick::ProgressWindow& progress);

// The elements of the kind grouped by (part type, source name): the selected ones, or every one when none
// of the selection qualifies (nor failed to be read). Objects only for DXF/DWG; objects, doors, lamps and
// windows otherwise. An element without a source name is left out, unless it belongs to the kind by the
// part it names and that part has no name: it is counted as unnamed. One the host fails to give in full is
// counted as unread. False when nothing was found, a list could not be read, or the user cancelled.
bool findSourceElements(ObjectMapType kind, tarnwick::Drawing& drawing, SourceSearch& found,
                        tarnwick::ProgressWindow& progress);

// Whether an element belongs to a kind of source, as far as the host's answers tell; unnamed: it does, but
// the part it names has no name to group and map it by.
enum class SourceMatch { no, yes, unread, unnamed };

// The element's IFC "Name" into `name` (emptied first); yes when it is not empty and the element has the
// parameter "gs_ifc_buildingmaterial1". No for an element without IFC data.
SourceMatch getIfcSourceName(tarnwick::ComponentElem& element, tarnwick::String& name);
// The element's part name into `name` in any case; yes when it has the text parameter
// "Derived_from_AutoCad" that imports from DXF/DWG leave (unnamed when its part has no name).
SourceMatch getDwgSourceName(tarnwick::ComponentElem& element, tarnwick::String& name);

// A wrapper of the key's part type (2 window, 3 door, 4 object, 5 lamp) standing on the part; empty for
// another type. The key's name is not used.
std::shared_ptr<tarnwick::ComponentElem> makeElementWrapper(const SourceKey& key,
                                                            const tarnwick::ComponentLink& part);
// A new wrapper of the key's part type holding the host's defaults of its element type, their parameters
// and gables too when `withMemo`; empty for another type.
std::shared_ptr<tarnwick::ComponentElem> makeNewElementWrapper(const SourceKey& key, bool withMemo);

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
