#include "Foundation/XMLProxy.h"

namespace tarnwick {

XMLProxy::XMLProxy(std::string_view tag, bool isAttribute, std::string_view nameSpace, bool present)
    : tag_(tag), nameSpace_(nameSpace), isAttribute_(isAttribute), present_(present) {}

XMLProxy::~XMLProxy() = default;

XMLAssembly* XMLProxy::getRecord() { return nullptr; }

bool XMLProxy::setFromText(std::string_view) { return false; }

bool XMLProxy::getText(std::string&) const { return false; }

}   // namespace tarnwick
