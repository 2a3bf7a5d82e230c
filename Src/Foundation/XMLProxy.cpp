#include "Foundation/XMLProxy.h"

namespace tarnwick {

XMLAssembly* XMLProxy::getRecord() { return nullptr; }

bool XMLProxy::setFromText(std::string_view) { return false; }

bool XMLProxy::getText(std::string&) const { return false; }

}   // namespace tarnwick
