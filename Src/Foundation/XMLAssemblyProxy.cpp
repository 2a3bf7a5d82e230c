#include "Foundation/XMLAssemblyProxy.h"

namespace tarnwick {

bool XMLAssemblyProxy::isPresent() const { return XMLProxy::isPresent() && target_.isPresent(); }

XMLAssembly* XMLAssemblyProxy::getRecord() { return &target_; }

}   // namespace tarnwick
