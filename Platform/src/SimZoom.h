// The simulated host's zoom of a view: 'ZOOM' shows a box, 'DOOM' goes back to the zoom shown before.
#pragma once

#include "HostRecords.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

// kErrBadParameters for a box that is empty or not finite; the zoom is then unchanged.
Result zoomTo(SimView& view, const BoxRecord& box);
// kErrRefusedCommand when no earlier zoom is left to go back to.
Result zoomBack(SimView& view);

}   // namespace host
