// The raw test module's controls, shared by the module and the tests that load it. The tests open
// the module themselves first (dlopen gives the host the same copy) and set these before the host
// starts it.
#pragma once

#include <cstdint>

#include <HostTable.h>

extern "C" {

struct RawAddonControls {
    std::uint32_t interfaceVersion;   // what GetExportedFuncAddrs reports
    std::int32_t addonType;           // what check environment answers
    std::uint32_t bodyResult;         // what the undoable command's body returns after its change
    std::uint32_t lastResult;         // the result of the last host call a menu command made
    std::uint32_t notifications;      // every notification received, or'ed together
    std::int32_t freeDataCalls;
    const host::HostFunctionTable* table;   // as SetImportedFuncAddrs gave them, so tests can
    host::HostContext* context;             // call the host as this add-on
};

typedef RawAddonControls* (*RawAddonControlsProc)(void);
}
