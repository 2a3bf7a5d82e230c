// The simulated host's rules of the dispatch point: which calls need an undoable command, and which an
// open project.
#pragma once

#include <cstdint>

#include "HostTable.h"

namespace host {

// Whether the call changes the project, so that outside an undoable command it is refused with
// kErrOutsideUndoScope. Slots whose element decides answer false: their bodies check.
bool needsUndoScope(HostSlot slot, std::uint32_t code);

// Whether the call reads or writes what the project holds, so that with no project open it is refused
// with kErrNoProject ('PROJ' too: that is how an add-on asks).
bool needsOpenProject(HostSlot slot, std::uint32_t code);

}   // namespace host
