#include "LibraryParts/Primitive.h"

namespace tarnwick {

Primitive::~Primitive() = default;

}   // namespace tarnwick
