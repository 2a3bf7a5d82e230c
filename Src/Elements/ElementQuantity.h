// ElementQuantity: one request for the quantities the host computes for an element, made on the stack
// for one field at a time: mark the field in the mask, request, read the field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <HostElementRecords.h>

namespace tarnwick {

class ElementLink;

// Fields the host could not give read as 0: the records start zeroed and a failed request leaves them so.
class ElementQuantity {
public:
    static constexpr std::uint8_t kPartType = '-';   // an element type the host reports by parts

    ElementQuantity();
    ElementQuantity(const ElementQuantity&) = default;
    ElementQuantity& operator=(const ElementQuantity&) = default;

    std::uint8_t* getMask() { return mask_.data(); }
    std::uint8_t* getCompositeMask() { return mask_.data() + host::kCompositeMaskOffset; }
    // Marks the field at the offset of the mask (of the composite part of it) as wanted.
    void setMask(std::size_t offset);
    void setCompositeMask(std::size_t offset);

    bool request(const ElementLink& link);   // true when the host answered

    double getReal(std::size_t offset) const;            // a double of the quantity record
    std::int32_t getInteger(std::size_t offset) const;   // a 32-bit integer of it
    const std::vector<host::CompositeQuantity>& getComposites() const { return composites_; }

private:
    std::vector<host::CompositeQuantity> composites_;
    std::array<std::uint8_t, host::kQuantityRecordSize> quantity_;
    std::array<std::uint8_t, host::kQuantityMaskSize> mask_;
};

}   // namespace tarnwick
