// The user data calls of the simulated host: the add-on's bytes kept with a placed element or with a
// tool default, read, set and cleared. The bodies of their slots; the dispatch point
// (SimulatedHost.cpp) adds the call log, the faults and the undo-scope rule.
#pragma once

#include "HostRecords.h"
#include "HostResult.h"
#include "SimulatedHost.h"

namespace host {

struct SimUserDataSlots {
    using Addon = SimulatedHost::LoadedAddon;

    // kErrNoUserData when there is none; kErrBadIndex when the guid names no element.
    static Result getElementUserData(SimulatedHost& host, Addon&, const ElementHead* head,
                                     UserDataRecord* data);
    // A placed element's only inside an undoable command; a tool default is made when missing.
    static Result setElementUserData(SimulatedHost& host, Addon&, const ElementHead* head,
                                     const UserDataRecord* data);
    static Result clearElementUserData(SimulatedHost& host, Addon&, const ElementHead* head);
};

}   // namespace host
