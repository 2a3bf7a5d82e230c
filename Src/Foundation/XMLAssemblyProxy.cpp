#include "Foundation/XMLAssemblyProxy.h"

#include "Foundation/XMLAssembly.h"

namespace tarnwick {

XMLAssemblyProxy::XMLAssemblyProxy(XMLAssembly& target, std::string_view tag, bool isAttribute,
                                   std::string_view nameSpace, bool present)
    : XMLProxy(tag.empty() ? target.getTag() : tag, isAttribute, nameSpace, present), target_(target) {}

XMLAssemblyProxy::~XMLAssemblyProxy() = default;

bool XMLAssemblyProxy::isPresent() const { return XMLProxy::isPresent() && target_.isPresent(); }

XMLAssembly* XMLAssemblyProxy::getRecord() { return &target_; }

}   // namespace tarnwick
