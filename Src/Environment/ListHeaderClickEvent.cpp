#include "Environment/ListHeaderClickEvent.h"

namespace tarnwick {

ListHeaderClickEvent::ListHeaderClickEvent(const ControlLink& link, const ListHeaderRecord& record)
    : InterfaceEvent(kType, kMethod, link, record.pack()) {}

}   // namespace tarnwick
