// CreatorList: the element creators filed by element type, asked in filing order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <HostRecords.h>

namespace tarnwick {

class Element;
class ElementLink;

// Makes the wrapper of one host element: a new Element owned by the caller, or null when the creator
// does not handle the record.
using ElementCreator = std::unique_ptr<Element> (*)(const host::ElementRecord& record, ElementLink& link);

// Used by Drawing's registry only. Element type ids are 16-bit: low byte the type, high byte a sub-type
// (0 = every sub-type). Sub-type 0 matches every sub-type of its type, which is not transitive
// ((6,1) and (6,2) both match (6,0) but not each other), so it cannot order an ordered map's keys.
// The map is keyed by the type byte alone; each type keeps its creators in filing order with the
// sub-type they were filed under.
class CreatorList {
public:
    // Files the creator after those of its type. Nothing when the same creator is already filed under a
    // matching type id. False when it was not filed (a null creator, or already there).
    bool add(std::uint16_t typeId, ElementCreator creator);

    // Asks every creator of the record's type byte, in filing order; the first non-null answer wins.
    std::unique_ptr<Element> make(const host::ElementRecord& record, ElementLink& link) const;

    std::size_t count(std::uint8_t typeByte) const;   // creators filed under the type byte

private:
    struct Entry {
        std::uint8_t subType;
        ElementCreator creator;
    };
    std::map<std::uint8_t, std::vector<Entry>> byType_;
};

}   // namespace tarnwick
