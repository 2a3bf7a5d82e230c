// The groups the element search finds and the loaded parts it offers as replacements.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "Foundation/String.h"
#include "Project/ComponentLink.h"
#include "Project/ElementLink.h"

namespace skellow {

// (library-part type: 2 window, 3 door, 4 object, 5 lamp; source name). Ordered by type, then by the
// name's byte order. One key is one row of the mapping dialog and one group of the run.
using SourceKey = std::pair<std::int32_t, tarnwick::String>;

// The elements found under each key, in the order found.
using SourceGroupMap = std::map<SourceKey, std::vector<tarnwick::ElementLink>>;

// What the element search found: the groups, and the elements of the searched types that the host failed
// to give in full, so that nobody can tell whether they belong to the kind. The run counts those as failed.
struct SourceSearch {
    SourceGroupMap groups;
    std::uint32_t unread = 0;
    std::uint32_t unnamed = 0;   // elements of the kind whose part has no name to map them by
    bool listUnread = false;     // the host failed to give a list of elements: the groups may lack any
};

// A placeable loaded part: its name and link, in the library's order.
struct LibraryPartEntry {
    tarnwick::String name;
    tarnwick::ComponentLink link;
};
using LibraryPartList = std::vector<LibraryPartEntry>;

}   // namespace skellow
