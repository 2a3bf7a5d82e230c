#include "Skellowing/SpecificationList.h"

#include <functional>

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

SpecificationList::SpecificationList(const SpecificationList& other)
    : XMLArray(other), sourceName_(other.sourceName_), kind_(other.kind_) {}
SpecificationList::~SpecificationList() = default;

std::unique_ptr<tarnwick::XMLAssembly> SpecificationList::clone() const {
    return std::make_unique<SpecificationList>(*this);
}

bool SpecificationList::isValid() { return !sourceName_.isEmpty(); }

void SpecificationList::clear() {
    XMLArray::clear();
    index_.clear();
    shadowed_ = 0;
    indexed_ = true;   // empty, and so indexed
}

std::unique_ptr<tarnwick::XMLProxy> SpecificationList::findChild(std::string_view name, bool attribute) {
    if (!attribute && name == getItemTag()) indexed_ = false;
    return XMLArray::findChild(name, attribute);
}

ObjectSpecification& SpecificationList::at(std::size_t index) const {
    return static_cast<ObjectSpecification&>(getItem(index));
}

ObjectSpecification& SpecificationList::add(std::unique_ptr<ObjectSpecification> specification) {
    auto& added = static_cast<ObjectSpecification&>(addItem(std::move(specification)));
    if (indexed_) indexItem(added);
    return added;
}

ObjectSpecification* SpecificationList::findSpecification(const SourceKey& key) const {
    if (size() == 0) return nullptr;
    if (!indexed_) buildIndex();
    const auto found = index_.find(indexKeyOf(key.first, key.second));
    return found == index_.end() ? nullptr : found->second;
}

bool SpecificationList::removeSpecification(const SourceKey& key) {
    ObjectSpecification* const first = findSpecification(key);
    if (!first) return false;
    for (std::size_t i = 0; i < size(); ++i) {
        if (&at(i) != first) continue;
        removeItem(i);
        // Without a later one of the same key, dropping the entry keeps the index whole.
        if (shadowed_ == 0)
            index_.erase(indexKeyOf(key.first, key.second));
        else
            indexed_ = false;
        return true;
    }
    return false;
}

// --- The index ----------------------------------------------------------------------------------------
std::size_t SpecificationList::IndexHash::operator()(const IndexKey& key) const {
    return std::hash<std::string>()(key.name) * 31 + static_cast<std::size_t>(key.type);
}

SpecificationList::IndexKey SpecificationList::indexKeyOf(std::int32_t type, const String& name) {
    return {type, std::string(name.toLower().getView())};
}

void SpecificationList::buildIndex() const {
    index_.clear();
    index_.reserve(size());
    shadowed_ = 0;
    for (std::size_t i = 0; i < size(); ++i) indexItem(at(i));
    indexed_ = true;
}

void SpecificationList::indexItem(ObjectSpecification& specification) const {
    const auto type = static_cast<std::int32_t>(specification.getMappedType());
    if (!index_.try_emplace(indexKeyOf(type, specification.getOriginalName()), &specification).second)
        ++shadowed_;
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
