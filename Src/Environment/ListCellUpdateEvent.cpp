#include "Environment/ListCellUpdateEvent.h"

namespace tarnwick {

ListCellUpdateEvent::ListCellUpdateEvent(const ControlLink& link, std::int16_t hostItem,
                                         std::int16_t hostField, std::int16_t width, std::int16_t height,
                                         host::PictureContext* context)
    : InterfaceEvent(kType, kMethod, link),
      hostItem_(hostItem),
      hostField_(hostField),
      width_(width),
      height_(height),
      context_(context) {}

}   // namespace tarnwick
