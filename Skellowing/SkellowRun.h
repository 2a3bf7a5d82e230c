// skellowElements: the replacement run of a menu command: every grouped element mapped in the active
// configuration takes its mapped library part, keeping its placement, and the user is told the counts.
#pragma once

#include "Foundation/String.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/SkellowReport.h"
#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class Drawing;
class Specification;
}   // namespace tarnwick

namespace skellow {

class ObjectMap;

// Runs inside the host's undo step; shows the report in a notification, also after a cancel, and gives
// its counts back. An element that cannot be fetched, made editable or switched, or whose placement
// cannot be kept, counts as failed, and so does each element the search could not read or name; the
// elements of a group mapped to a loaded part of another kind or to one that cannot be placed are refused
// (failed, with that reason); those of a group whose part is not loaded count as missing. A replaced
// object keeps its width and depth in metres. Memo loading and the edit manager's changes are put back on
// every path, exceptions included.
SkellowReport skellowElements(ObjectMapType kind, tarnwick::Drawing& drawing,
                              const tarnwick::Specification& specification, const SourceSearch& found,
                              const ObjectMap& table, const tarnwick::String& configuration);

}   // namespace skellow
