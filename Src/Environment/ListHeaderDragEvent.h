// ListHeaderDragEvent: a list header item was dragged to a new position.
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"
#include "Environment/ListHeaderRecord.h"

namespace tarnwick {

// Type 'LHDE', method 24; the value is the packed header record (ListHeaderRecord::pack).
class ListHeaderDragEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("LHDE");
    static constexpr std::uint32_t kMethod = 24;

    ListHeaderDragEvent(const ControlLink& link, const ListHeaderRecord& record);

    ListHeaderRecord getRecord() const { return ListHeaderRecord::unpack(getValue()); }
};

}   // namespace tarnwick
