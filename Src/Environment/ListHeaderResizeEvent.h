// ListHeaderResizeEvent: the user resizes a list header item (phases 0, 1 and 2).
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"
#include "Environment/ListHeaderRecord.h"

namespace tarnwick {

// Type 'LHRE', method 25; the value is the packed header record (ListHeaderRecord::pack).
class ListHeaderResizeEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("LHRE");
    static constexpr std::uint32_t kMethod = 25;

    ListHeaderResizeEvent(const ControlLink& link, const ListHeaderRecord& record);

    ListHeaderRecord getRecord() const { return ListHeaderRecord::unpack(getValue()); }
};

}   // namespace tarnwick
