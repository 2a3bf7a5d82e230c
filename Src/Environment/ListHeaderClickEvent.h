// ListHeaderClickEvent: a click on a list header item.
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"
#include "Environment/ListHeaderRecord.h"

namespace tarnwick {

// Type 'LHCE', method 23; the value is the packed header record (ListHeaderRecord::pack).
class ListHeaderClickEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("LHCE");
    static constexpr std::uint32_t kMethod = 23;

    ListHeaderClickEvent(const ControlLink& link, const ListHeaderRecord& record);

    ListHeaderRecord getRecord() const { return ListHeaderRecord::unpack(getValue()); }
};

}   // namespace tarnwick
