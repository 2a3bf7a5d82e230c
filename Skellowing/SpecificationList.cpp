#include "Skellowing/SpecificationList.h"

#include "Foundation/XMLTypeProxy.h"

namespace tarnwick {

template <>
std::span<const XMLTypeProxy<skellow::ObjectMapType>::EnumText>
XMLTypeProxy<skellow::ObjectMapType>::enumTexts() {
    using skellow::ObjectMapType;
    static constexpr EnumText kTexts[] = {{ObjectMapType::ifc, "IFC"},
                                          {ObjectMapType::dwg, "DWG"},
                                          {ObjectMapType::gsm, "GSM"},
                                          {ObjectMapType::missing, "missing"},
                                          {ObjectMapType::legacy, "legacy"}};
    return kTexts;
}

}   // namespace tarnwick

namespace skellow {
namespace {

using tarnwick::String;

constexpr std::string_view kTags[] = {"sourceName", "objectType"};

}   // namespace

SpecificationList::SpecificationList() : XMLArray(kTag, ObjectSpecification::kTag) {}

SpecificationList::SpecificationList(const String& name, ObjectMapType kind)
    : XMLArray(kTag, ObjectSpecification::kTag), sourceName_(name), kind_(kind) {}

SpecificationList::SpecificationList(const SpecificationList& other) = default;
SpecificationList::~SpecificationList() = default;

std::unique_ptr<tarnwick::XMLAssembly> SpecificationList::clone() const {
    return std::make_unique<SpecificationList>(*this);
}

bool SpecificationList::isValid() { return !sourceName_.isEmpty(); }

ObjectSpecification& SpecificationList::at(std::size_t index) const {
    return static_cast<ObjectSpecification&>(getItem(index));
}

ObjectSpecification& SpecificationList::add(std::unique_ptr<ObjectSpecification> specification) {
    return static_cast<ObjectSpecification&>(addItem(std::move(specification)));
}

ObjectSpecification* SpecificationList::findSpecification(const SourceKey& key) const {
    if (size() == 0) return nullptr;
    const String lowered = key.second.toLower();
    for (std::size_t i = 0; i < size(); ++i)
        if (at(i).matchesLowered(key.first, lowered)) return &at(i);
    return nullptr;
}

bool SpecificationList::removeSpecification(const SourceKey& key) {
    for (std::size_t i = 0; i < size(); ++i) {
        if (at(i).matches(key)) {
            removeItem(i);
            return true;
        }
    }
    return false;
}

std::span<const std::string_view> SpecificationList::getChildTags() const { return kTags; }

std::unique_ptr<tarnwick::XMLProxy> SpecificationList::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(sourceName_, kTags[0],
                                                                    /*isAttribute=*/true);
        case 1:
            return std::make_unique<tarnwick::XMLTypeProxy<ObjectMapType>>(kind_, kTags[1],
                                                                           /*isAttribute=*/true);
        default:
            return XMLArray::makeChildProxy(index);
    }
}

std::unique_ptr<tarnwick::XMLAssembly> SpecificationList::makeItem() {
    return std::make_unique<ObjectSpecification>();
}

}   // namespace skellow
