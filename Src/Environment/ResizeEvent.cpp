#include "Environment/ResizeEvent.h"

namespace tarnwick {

ResizeEvent::ResizeEvent(const ControlLink& link, Phase phase, std::int32_t horizontalChange,
                         std::int32_t verticalChange)
    : InterfaceEvent(kType, kMethod, link, static_cast<std::int64_t>(phase)),
      horizontalChange_(horizontalChange),
      verticalChange_(verticalChange) {}

}   // namespace tarnwick
