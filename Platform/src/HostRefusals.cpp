#include "HostRefusals.h"

#include "FourCC.h"

namespace host {

bool refusedWork(const HostCall& call) {
    if (call.result == kNoError) return false;
    switch (call.slot) {
        case HostSlot::undoableCommand:
        case HostSlot::getElement:
        case HostSlot::getElementHead:
        case HostSlot::getElementMemo:
        case HostSlot::getElementIFCAttributes:
        case HostSlot::getElementIFCProperties:
        case HostSlot::getElementIFCReferences:
        // What an element refers to: its layer or other attribute, its part and the part's parameters.
        case HostSlot::getAttribute:
        // A text of the add-on's resources: what it shows the user is then short of it.
        case HostSlot::getString:
            return true;
        case HostSlot::getLibraryPart:
        case HostSlot::getLibraryPartParameters:
        case HostSlot::getLibraryPartDetails:     // whether the part sizes its objects by ratio
            return call.result != kErrBadIndex;   // no part at that index: a missing part, not a failure
        case HostSlot::utilities:
            // The name of an element's part; kErrBadName: it names no part, which is an answer.
            return call.code == fourcc("GULN") && call.result != kErrBadName;
        case HostSlot::database:
            return call.code == fourcc("CABO");   // an element's bounds
        default: {
            const HostScope scope = hostSlotScope(call.slot);
            return scope == kScopeUndo || scope == kScopeByElement;
        }
    }
}

}   // namespace host
