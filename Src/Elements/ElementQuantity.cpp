#include "Elements/ElementQuantity.h"

#include <cstring>

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Geometry/Tolerance.h"
#include "Project/ElementLink.h"

namespace tarnwick {

namespace {

// Disposes a handle on every way out.
struct HandleGuard {
    host::Handle handle = nullptr;
    ~HandleGuard() { tarnwick::disposeHandle(handle); }
};

}   // namespace

ElementQuantity::ElementQuantity() : quantity_{}, mask_{} {}

void ElementQuantity::setMask(std::size_t offset) {
    if (offset < host::kCompositeMaskOffset) mask_[offset] = 0xFF;
}

void ElementQuantity::setCompositeMask(std::size_t offset) {
    if (offset < host::kQuantityMaskSize - host::kCompositeMaskOffset)
        mask_[host::kCompositeMaskOffset + offset] = 0xFF;
}

bool ElementQuantity::request(const ElementLink& link) {
    // 1.
    quantity_.fill(0);
    host::QuantityParameters parameters{};
    parameters.tolerance = Tolerance::plan;
    HandleGuard composites;
    HandleGuard parts;
    // 2.
    const bool byParts = link.getTypeByte() == kPartType;
    host::QuantityTargets targets{quantity_.data(), &composites.handle, byParts ? &parts.handle : nullptr,
                                  nullptr};
    // 3.
    composites_.clear();
    // 4.
    const host::GuidRecord guid = link.getGuid().getRecord();
    const bool answered = hostApi().call<host::HostSlot::getElementQuantities>(
                              &guid, &parameters, &targets, mask_.data()) == host::kNoError;
    if (answered) {
        const std::size_t count =
            tarnwick::getHandleSize(composites.handle) / sizeof(host::CompositeQuantity);
        composites_.resize(count);
        if (count > 0)
            std::memcpy(composites_.data(), *composites.handle, count * sizeof(host::CompositeQuantity));
    }
    // 5. The first part stands for the element.
    if (answered && byParts && tarnwick::getHandleSize(parts.handle) >= sizeof(host::PartQuantity)) {
        const auto* first = reinterpret_cast<const host::PartQuantity*>(*parts.handle);
        std::memcpy(quantity_.data() + 32, first->values, sizeof first->values);
    }
    // 6.
    return answered;
}

double ElementQuantity::getReal(std::size_t offset) const {
    double value = 0.0;
    if (offset + sizeof value <= quantity_.size())
        std::memcpy(&value, quantity_.data() + offset, sizeof value);
    return value;
}

std::int32_t ElementQuantity::getInteger(std::size_t offset) const {
    std::int32_t value = 0;
    if (offset + sizeof value <= quantity_.size())
        std::memcpy(&value, quantity_.data() + offset, sizeof value);
    return value;
}

}   // namespace tarnwick
