// Which of the host's refusals mean that a command did not do all it was asked: the command-line host
// reads its call log with this to decide its exit status.
#pragma once

#include "SimulatedHost.h"

namespace host {

// True when the host answered the call with an error and the call was work the command needed: an
// element it asked to read, or what an element refers to (an attribute such as its layer, its library
// part, the part's parameters, details or unique name, the element's bounds) or a text of the add-on's
// string lists (what it tells the user is then short of it), a change of the project
// (refused for a reason: a locked or missing element, no undoable command around it, ...), or an undoable
// command (then rolled back). Other reads may fail on purpose (a part searched by name, no part at an
// index) and do not count.
bool refusedWork(const HostCall& call);

}   // namespace host
