#include "SimCallRules.h"

#include <algorithm>
#include <iterator>

#include "FourCC.h"
#include "SimulatedHost.h"

namespace host {
namespace {

// Dispatcher codes that change the project and so need an undoable command; code 0 stands for every
// code of the slot.
struct ChangingCode {
    HostSlot slot;
    std::uint32_t code;
};
constexpr ChangingCode kProjectChangingCodes[] = {
    {HostSlot::elementTools, 0},               // locking, grouping, suspending groups: all change the project
    {HostSlot::environment, fourcc("DELI")},   // deleting part files unloads their parts
    {HostSlot::environment, fourcc("DELS")},
    {HostSlot::environment, fourcc("CPLA")},   // the location is saved with the project
};

// Of the dispatchers that serve the host as well as the project, the codes that address an element, a
// library part or a view.
constexpr std::uint32_t kProjectInterfaceCodes[] = {fourcc("SETD"), fourcc("OBJS"), fourcc("HGEL")};
constexpr std::uint32_t kProjectUtilityCodes[] = {
    fourcc("OPAR"), fourcc("CHGP"), fourcc("GPAR"), fourcc("GLUI"), fourcc("CLPS"),
    fourcc("COMP"), fourcc("RPAS"), fourcc("NTOC"), fourcc("GULN"), fourcc("GELU")};

template <std::size_t N>
bool listed(const std::uint32_t (&codes)[N], std::uint32_t code) {
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

}   // namespace

bool needsUndoScope(HostSlot slot, std::uint32_t code) {
    switch (hostSlotScope(slot)) {
        case kScopeNone:
            return false;
        case kScopeUndo:
            return true;
        case kScopeByElement:   // the body decides (it knows whether a placed element is meant)
            return false;
        case kScopeByCode:
            break;
    }
    for (const auto& changing : kProjectChangingCodes)
        if (changing.slot == slot && (changing.code == 0 || changing.code == code)) return true;
    return false;
}

bool needsOpenProject(HostSlot slot, std::uint32_t code) {
    switch (slot) {
        case HostSlot::interface:
            return listed(kProjectInterfaceCodes, code);   // the process window is the host's
        case HostSlot::utilities:
            return listed(kProjectUtilityCodes, code);   // conversions and command parameter lists are not
        // The host's own: the add-on's registrations, its resources, and releasing what a call handed out.
        case HostSlot::registerMenu:
        case HostSlot::installMenuHandler:
        case HostSlot::catchProjectNotifications:
        case HostSlot::installModuleDataMergeHandler:
        case HostSlot::isInsideCommand:
        case HostSlot::registerCommandService:
        case HostSlot::installCommandHandler:
        case HostSlot::callAddonCommand:
        case HostSlot::disposeElementMemo:
        case HostSlot::disposeZoneRelation:
        case HostSlot::disposeAttributeExtension:
        case HostSlot::disposeParameters:
        case HostSlot::getString:
        case HostSlot::getResourceModule:
            return false;
        default:
            return true;
    }
}

// The add-ons hear of the closing while the project is still there to read.
void SimulatedHost::closeProject() {
    if (!projectOpen_) return;
    notifyProject(kProjectClose);
    projectOpen_ = false;
}

void SimulatedHost::openProject() {
    if (projectOpen_) return;
    projectOpen_ = true;
    notifyProject(kProjectOpen);
}

}   // namespace host
