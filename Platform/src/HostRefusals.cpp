#include "HostRefusals.h"

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
            return true;
        default: {
            const HostScope scope = hostSlotScope(call.slot);
            return scope == kScopeUndo || scope == kScopeByElement;
        }
    }
}

}   // namespace host
