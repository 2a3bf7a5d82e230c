// The tools' default settings of the simulated host: what a new element of a type and variation starts
// from, what writing back an element that was never placed (no guid) changes, and the tool settings
// dialog ('SETD'), in which the script may choose another library part and set its parameters. Default
// settings are no placed element: changing them needs no undoable command.
#pragma once

#include <cstdint>

#include "HostRecords.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

class SimToolDefaults {
public:
    explicit SimToolDefaults(SimProject& project) : project_(project) {}

    // The record (and memo, zeroed first) of the record's type and variation; a tool the project has no
    // settings for starts from nothing on the current storey.
    Result get(ElementRecord& element, ElementMemo* memo) const;
    // The bytes under the mask's set bits (type, variation and the empty guid stay) and the memo's parts
    // in memoMask (0: all) become the tool's settings; the stored record comes back. Nothing changes
    // when the memo cannot be taken.
    Result change(ElementRecord& element, const ElementRecord& mask, const ElementMemo* memo,
                  MemoMask memoMask, bool withDelete);
    // The scripted answer: kErrCancel when not accepted; accepted, the chosen part (by name, of the
    // tool's part type) replaces the tool's part with its sizes and parameters, then the set values
    // replace the parameters' values. What the script names wrongly is noted and left as it was.
    Result settingsDialog(std::int32_t type, std::int32_t variation);

private:
    SimToolDefault fresh(std::int32_t type, std::int32_t variation) const;

    SimProject& project_;
};

}   // namespace host
