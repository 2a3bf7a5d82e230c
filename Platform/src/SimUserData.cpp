#include "SimUserData.h"

#include <cstring>
#include <utility>

#include "HostMemory.h"

namespace host {
namespace {

// The user data a head names: a placed element's (by guid) or its tool default's. Null when the
// guid names no element; `toolDefault` tells which.
std::optional<SimUserData>* userDataOf(SimulatedHost& host, const ElementHead& head, bool create,
                                       bool& toolDefault) {
    SimProject& p = host.project();
    const GuidBytes guid = toGuidBytes(head.guid);
    toolDefault = isNullGuid(guid);
    if (!toolDefault) {
        SimElement* element = p.findElement(guid);
        return element ? &element->userData : nullptr;
    }
    if (head.type <= 0) return nullptr;
    auto found = p.state.defaults.find({head.type, head.variation});
    if (found == p.state.defaults.end()) {
        if (!create) return nullptr;
        SimToolDefault fresh;
        ElementHead freshHead{};
        freshHead.type = head.type;
        freshHead.variation = head.variation;
        freshHead.layer = 1;
        std::memcpy(fresh.record.data(), &freshHead, sizeof freshHead);
        found = p.state.defaults.emplace(std::make_pair(head.type, head.variation), std::move(fresh)).first;
    }
    return &found->second.userData;
}

}   // namespace

Result SimUserDataSlots::getElementUserData(SimulatedHost& host, Addon&, const ElementHead* head,
                                            UserDataRecord* data) {
    if (!head || !data) return kErrBadParameters;
    std::memset(static_cast<void*>(data), 0, sizeof *data);   // padding too
    // A placed element's is read without making the element this state's own (undo shares it).
    bool toolDefault = isNullGuid(toGuidBytes(head->guid));
    const SimElement* element = std::as_const(host.project()).findElement(toGuidBytes(head->guid));
    const std::optional<SimUserData>* stored = toolDefault ? userDataOf(host, *head, false, toolDefault)
                                               : element   ? &element->userData
                                                           : nullptr;
    if (!stored) return toolDefault && head->type > 0 ? kErrNoUserData : kErrBadIndex;
    if (!stored->has_value()) return kErrNoUserData;
    const SimUserData& userData = **stored;
    data->version = userData.version;
    data->platformSign = userData.platformSign;
    data->flags = userData.flags;
    if (userData.bytes.empty()) return kNoError;   // no bytes: no handle
    data->data = newHandle(userData.bytes.size(), /*clear=*/false);
    if (!data->data) return kErrMemFull;
    std::memcpy(*data->data, userData.bytes.data(), userData.bytes.size());
    return kNoError;
}

Result SimUserDataSlots::setElementUserData(SimulatedHost& host, Addon&, const ElementHead* head,
                                            const UserDataRecord* data) {
    if (!head || !data) return kErrBadParameters;
    if (!isNullGuid(toGuidBytes(head->guid)) && !host.insideUndoableCommand()) return kErrOutsideUndoScope;
    if (data->data && !isLiveHandle(data->data)) return kErrBadHandle;
    bool toolDefault = false;
    std::optional<SimUserData>* stored = userDataOf(host, *head, true, toolDefault);
    if (!stored) return toolDefault ? kErrBadParameters : kErrBadIndex;
    SimUserData userData{data->version, data->platformSign, data->flags, {}};
    if (data->data && *data->data) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(*data->data);
        userData.bytes.assign(bytes, bytes + getHandleSize(data->data));
    }
    *stored = std::move(userData);
    return kNoError;
}

Result SimUserDataSlots::clearElementUserData(SimulatedHost& host, Addon&, const ElementHead* head) {
    if (!head) return kErrBadParameters;
    if (!isNullGuid(toGuidBytes(head->guid)) && !host.insideUndoableCommand()) return kErrOutsideUndoScope;
    bool toolDefault = false;
    std::optional<SimUserData>* stored = userDataOf(host, *head, false, toolDefault);
    if (!stored) return toolDefault && head->type > 0 ? kErrNoUserData : kErrBadIndex;
    if (!stored->has_value()) return kErrNoUserData;
    stored->reset();
    return kNoError;
}

}   // namespace host
