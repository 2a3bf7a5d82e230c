#include "Skellowing/XMLParameterList.h"

namespace skellow {

XMLParameterList::XMLParameterList(std::string_view tag) : XMLArray(tag, XMLParameter::kTag) {}
XMLParameterList::XMLParameterList(const XMLParameterList& other) = default;
XMLParameterList::~XMLParameterList() = default;

std::unique_ptr<tarnwick::XMLAssembly> XMLParameterList::clone() const {
    return std::make_unique<XMLParameterList>(*this);
}

bool XMLParameterList::isValid() {
    for (std::size_t i = getItemCount(); i-- > 0;) {
        if (!static_cast<const XMLParameter&>(getItem(i)).isUsable()) {
            removeItem(i);
            ++dropped_;
        }
    }
    return true;
}

const XMLParameter& XMLParameterList::at(std::size_t index) const {
    return static_cast<const XMLParameter&>(getItem(index));
}

std::unique_ptr<tarnwick::XMLAssembly> XMLParameterList::makeItem() {
    return std::make_unique<XMLParameter>();
}

}   // namespace skellow
