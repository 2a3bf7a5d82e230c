// SkellowReport: what a replacement run counts, and the report it shows at the end.
#pragma once

#include <cstdint>

#include "Foundation/String.h"
#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"

namespace skellow {

struct SourceSearch;

// The counts of one run. Every element the run took up ends as replaced or failed; missing counts the
// elements whose mapping names a part that is not loaded. Of the failed, refused and unnamed have a reason
// of their own in the report.
struct SkellowReport {
    std::uint32_t total = 0;       // elements of the groups mapped in the active configuration
    std::uint32_t attempted = 0;   // elements the run took up
    std::uint32_t success = 0;     // elements now on their new part, placed as before
    std::uint32_t missing = 0;     // elements left alone: their mapped part is not loaded
    std::uint32_t refused = 0;     // failed: mapped to a loaded part of another kind, or not placeable
    std::uint32_t unnamed = 0;     // failed: the part they refer to has no name to map them by
    bool editsPutBack = true;      // the layers shown or unlocked and the elements unlocked are as they were

    std::uint32_t getFailures() const { return attempted - success; }
    // The elements the search found but could not group (unread, unnamed) count as failed.
    void countUntaken(const SourceSearch& found);
    // A line per count that is not zero, in the order replaced, missing, failed for no reason known,
    // refused, unnamed, each ending in "\n"; "No relevant objects were found to be skellowed" when all are
    // zero. A line whose text the host does not give is left out; with no text left, or a line of the
    // missing or the failed left out, the three counts end it in a fixed text ("Skellowing: 2 replaced,
    // 0 missing, 1 failed").
    tarnwick::String getText() const;
};

// How far an object must move so that the midpoint of its box's front edge (the minimum corner plus half
// the width along x) stays where it was after its part changed, both boxes taken unrotated: the
// difference of the two midpoints turned about z by the object's angle (radians).
tarnwick::CadPoint frontEdgeOffset(const tarnwick::Cube& before, const tarnwick::Cube& after, double angle);

}   // namespace skellow
