#include "Foundation/XMLArrayProxy.h"

#include "Foundation/XMLArray.h"

namespace tarnwick {

XMLArrayProxy::XMLArrayProxy(XMLArray& target, std::string_view tag, bool isAttribute,
                             std::string_view nameSpace, bool present)
    : XMLAssemblyProxy(target, tag, isAttribute, nameSpace, present), array_(target) {}

XMLArrayProxy::~XMLArrayProxy() = default;

}   // namespace tarnwick
