#include "Environment/ControlLink.h"

namespace tarnwick {

ControlLink::ControlLink(std::uint16_t itemId, InterfacePanel* panel) : itemId_(itemId), panel_(panel) {}

}   // namespace tarnwick
