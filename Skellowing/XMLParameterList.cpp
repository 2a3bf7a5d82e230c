#include "Skellowing/XMLParameterList.h"

namespace skellow {

XMLParameterList::XMLParameterList(tarnwick::ParameterList& list, std::string_view tag)
    : XMLArray(tag, XMLParameter::kTag), list_(list) {}

XMLParameterList::XMLParameterList(const XMLParameterList& other) = default;
XMLParameterList::~XMLParameterList() = default;

std::unique_ptr<tarnwick::XMLAssembly> XMLParameterList::clone() const {
    return std::make_unique<XMLParameterList>(*this);
}

bool XMLParameterList::isValid() {
    for (std::size_t i = 0; i < getItemCount(); ++i) {
        const auto& read = static_cast<const XMLParameter&>(getItem(i));
        if (std::unique_ptr<tarnwick::Parameter> parameter = read.toParameter())
            list_.push_back(std::move(parameter));
        else
            skipped_.push_back(read);
    }
    XMLArray::clear();
    return true;
}

void XMLParameterList::snapshot() {
    XMLArray::clear();
    for (std::uint64_t i = 0; i < list_.size(); ++i) {
        const tarnwick::Parameter* const parameter = list_.at(i);
        if (parameter && XMLParameter::getTypeName(parameter->getType()))
            addItem(std::make_unique<XMLParameter>(*parameter));
    }
}

std::unique_ptr<tarnwick::XMLAssembly> XMLParameterList::makeItem() {
    return std::make_unique<XMLParameter>();
}

}   // namespace skellow
