// The module's registration: the framework's entry points make and free the product's add-on.
#include "Environment/AddonFactory.h"
#include "Skellowing/SkellowingAddon.h"

namespace {

const tarnwick::AddonFactory registration(&skellow::createAddon, &skellow::destroyAddon);

}   // namespace
