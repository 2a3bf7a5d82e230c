#include "Environment/ListHeaderResizeEvent.h"

namespace tarnwick {

ListHeaderResizeEvent::ListHeaderResizeEvent(const ControlLink& link, const ListHeaderRecord& record)
    : InterfaceEvent(kType, kMethod, link, record.pack()) {}

}   // namespace tarnwick
