// Two runs on one table: what another run saved since this one read the table, with this run's own
// changes made in it.
#pragma once

#include <string>
#include <vector>

#include "Foundation/String.h"
#include "Skellowing/ObjectMap.h"

namespace skellow {

// The newer table with this run's own changes (from base to ours) made in it: a configuration or mapping
// that only one of the two changed takes that change. Each that both changed differently is a line of
// conflicts; the result is then not to be used.
// A mapping as the file holds it, all of it (source, mapping, GUID, parameters), on one line.
std::string mappingText(ObjectSpecification& specification);

ObjectMap merged(const ObjectMap& base, const ObjectMap& ours, const ObjectMap& newer,
                 std::vector<tarnwick::String>& conflicts);

}   // namespace skellow
