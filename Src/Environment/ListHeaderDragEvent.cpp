#include "Environment/ListHeaderDragEvent.h"

namespace tarnwick {

ListHeaderDragEvent::ListHeaderDragEvent(const ControlLink& link, const ListHeaderRecord& record)
    : InterfaceEvent(kType, kMethod, link, record.pack()) {}

}   // namespace tarnwick
