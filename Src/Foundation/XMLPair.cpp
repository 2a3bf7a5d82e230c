#include "Foundation/XMLPair.h"

#include "Foundation/TracedException.h"
#include "Foundation/XMLAssemblyProxy.h"

namespace tarnwick {

XMLPair::XMLPair(std::string_view tag, const XMLUnitKey<Guid>& key, std::unique_ptr<XMLAssembly> value)
    : XMLAssembly(tag), key_(key), owned_(std::move(value)), value_(owned_.get()) {
    if (!value_) throw TracedException("out_of_range", "XMLPair::XMLPair");
}

XMLPair::XMLPair(std::string_view tag, const XMLUnitKey<Guid>& key, XMLAssembly& value)
    : XMLAssembly(tag), key_(key), value_(&value) {}

XMLPair::~XMLPair() = default;

std::unique_ptr<XMLAssembly> XMLPair::releaseValue() {
    if (!owned_) return nullptr;
    value_ = nullptr;
    return std::move(owned_);
}

std::unique_ptr<XMLAssembly> XMLPair::clone() const {
    if (!value_) throw TracedException("out_of_range", "XMLPair::clone");
    auto copy = std::make_unique<XMLPair>(getTag(), key_, value_->clone());
    copy->setPresent(isPresent());
    return copy;
}

void XMLPair::clear() {
    key_.setValue(Guid());
    if (value_) value_->clear();
    XMLAssembly::clear();
}

bool XMLPair::isValid() { return key_.getValue().isValid() && value_ != nullptr; }

std::unique_ptr<XMLProxy> XMLPair::findChild(std::string_view name, bool) {
    if (name == key_.getTag()) return key_.makeProxy();
    if (value_ && name == value_->getTag()) return std::make_unique<XMLAssemblyProxy>(*value_);
    return nullptr;
}

std::unique_ptr<XMLProxy> XMLPair::makeChildProxy(std::size_t index) {
    if (index == 0) return key_.makeProxy();
    if (index == 1 && value_) return std::make_unique<XMLAssemblyProxy>(*value_);
    return nullptr;
}

}   // namespace tarnwick
