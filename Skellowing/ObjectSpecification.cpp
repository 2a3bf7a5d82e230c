#include "Skellowing/ObjectSpecification.h"

#include <optional>

#include "Elements/ComponentElem.h"
#include "Elements/Object.h"
#include "Elements/Opening.h"
#include "Environment/Host.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLTypeProxy.h"
#include "LibraryParts/FamilyGuid.h"
#include "LibraryParts/LengthParameter.h"
#include "Project/ComponentSource.h"
#include "Project/Library.h"

namespace tarnwick {

template <>
std::span<const XMLTypeProxy<host::LibraryPartType>::EnumText>
XMLTypeProxy<host::LibraryPartType>::enumTexts() {
    static constexpr EnumText kTexts[] = {{host::kLibraryDoor, "door"},
                                          {host::kLibraryLamp, "lamp"},
                                          {host::kLibraryObject, "object"},
                                          {host::kLibraryWindow, "window"}};
    return kTexts;
}

}   // namespace tarnwick

namespace skellow {
namespace {

using tarnwick::ComponentLink;
using tarnwick::String;
using tarnwick::XMLTypeProxy;

constexpr std::string_view kTags[] = {"mappedType", "originalName", "mappedName", "mappedObjectGuid",
                                      "customParameters"};
constexpr std::size_t kCustomParameters = 4;

// The first cell of the custom parameter of the name, when it is a length.
std::optional<double> customLength(const tarnwick::ParameterList& list, const char* name) {
    const auto* length = dynamic_cast<const tarnwick::LengthParameter*>(list.find(String(name)));
    if (!length) return std::nullopt;
    return length->get(0, 0);
}

}   // namespace

ObjectSpecification::ObjectSpecification() : XMLAssembly(kTag) {}

ObjectSpecification::ObjectSpecification(const SourceKey& key, bool prefilled)
    : XMLAssembly(kTag),
      originalName_(key.second),
      mappedType_(static_cast<host::LibraryPartType>(key.first)),
      prefilled_(prefilled) {}

ObjectSpecification::ObjectSpecification(const ObjectSpecification& other)
    : XMLAssembly(other),
      originalName_(other.originalName_),
      mappedName_(other.mappedName_),
      mappedObjectGuid_(other.mappedObjectGuid_),
      mappedType_(other.mappedType_),
      customParameters_(other.customParameters_),
      mappedPart_(other.mappedPart_),
      prefilled_(other.prefilled_) {}
ObjectSpecification::~ObjectSpecification() = default;

std::unique_ptr<tarnwick::XMLAssembly> ObjectSpecification::clone() const { return copy(); }

std::unique_ptr<ObjectSpecification> ObjectSpecification::copy() const {
    return std::make_unique<ObjectSpecification>(*this);
}

void ObjectSpecification::clear() {
    XMLAssembly::clear();
    mappedName_.clear();
    mappedType_ = host::kLibraryObject;
    customParameters_.reset();
    mappedPart_.reset();
    prefilled_ = false;
}

std::unique_ptr<tarnwick::XMLProxy> ObjectSpecification::findChild(std::string_view name, bool attribute) {
    // Reading "customParameters" appends to the list, made when there is none.
    if (attribute || name != kTags[kCustomParameters]) return XMLAssembly::findChild(name, attribute);
    if (!customParameters_) customParameters_ = std::make_shared<tarnwick::ParameterList>();
    xmlParameters_ = std::make_unique<XMLParameterList>(*customParameters_, kTags[kCustomParameters]);
    return std::make_unique<tarnwick::XMLAssemblyProxy>(*xmlParameters_, kTags[kCustomParameters]);
}

// --- The replacement part ------------------------------------------------------------------------------
const ComponentLink* ObjectSpecification::findMappedPart() {
    // A part of another type would change the key this mapping answers to: it does not resolve.
    const auto fits = [this](const ComponentLink& link) {
        return link.isValid() && link.getType() == static_cast<std::uint32_t>(mappedType_);
    };
    if (!mappedPart_) {
        tarnwick::Library* const library = tarnwick::Host::getLibrary();
        const auto type = static_cast<std::uint32_t>(mappedType_);
        // By the guid, of any type: a part of another type is still the one the mapping names.
        std::shared_ptr<ComponentLink> byGuid;
        if (!mappedObjectGuid_.isEmpty())
            byGuid = std::make_shared<ComponentLink>(tarnwick::FamilyGuid(mappedObjectGuid_), 0u, library);
        if (byGuid && fits(*byGuid)) {
            mappedPart_ = std::move(byGuid);
        } else {
            mappedPart_ = std::make_shared<ComponentLink>(mappedName_, type, library);
            if (!mappedPart_->isValid() && byGuid && byGuid->isValid()) mappedPart_ = std::move(byGuid);
        }
    }
    return fits(*mappedPart_) ? mappedPart_.get() : nullptr;
}

const ComponentLink* ObjectSpecification::findNamedPart() {
    findMappedPart();
    return mappedPart_->isValid() ? mappedPart_.get() : nullptr;
}

bool ObjectSpecification::setMappedPart(const ComponentLink& link) {
    tarnwick::Library* const library = link.getLibrary() ? link.getLibrary() : tarnwick::Host::getLibrary();
    if (!library) return false;
    const std::unique_ptr<tarnwick::ComponentSource> source = library->getSource(link);
    if (!source || !source->isValid()) return false;
    mappedName_ = source->getName();
    mappedObjectGuid_ = source->getUniqueId();
    mappedPart_ = std::make_shared<ComponentLink>(source->getLink());
    return true;
}

void ObjectSpecification::setTypedName(const String& name) {
    mappedName_ = name;
    mappedObjectGuid_.clear();
    mappedPart_.reset();
}

// --- Custom parameters -------------------------------------------------------------------------------
void ObjectSpecification::setCustomParameters(const tarnwick::ParameterList& reference,
                                              const tarnwick::ParameterList& edited) {
    // A list shared with the table's other copies is copied before it changes, so that an edit of the
    // dialog's working copy reaches the table only when the dialog is accepted.
    if (customParameters_ && customParameters_.use_count() > 1)
        customParameters_ = std::make_shared<tarnwick::ParameterList>(*customParameters_);
    // 1. From the reference's last parameter to its first.
    for (std::uint64_t i = reference.size(); i-- > 0;) {
        const tarnwick::Parameter* const defaults = reference.at(i);
        if (!defaults) continue;
        // 2. Its edited counterpart; 3. whether the user changed it.
        const tarnwick::Parameter* const changed = edited.find(defaults->getName());
        if (!changed) continue;
        const bool differs = changed->isDifferent(*defaults);
        // 4. The old custom value goes; 5. a changed one comes back.
        if (customParameters_) {
            const std::uint64_t old = customParameters_->indexOf(defaults->getName());
            if (old != tarnwick::ParameterList::kNotFound) customParameters_->erase(old);
        } else if (differs) {
            customParameters_ = std::make_shared<tarnwick::ParameterList>();
        }
        if (differs) customParameters_->push_back(changed->clone());
    }
}

// --- XML children ----------------------------------------------------------------------------------------
const std::vector<XMLParameter>& ObjectSpecification::getSkippedParameters() const {
    static const std::vector<XMLParameter> none;
    return xmlParameters_ ? xmlParameters_->getSkipped() : none;
}

std::span<const std::string_view> ObjectSpecification::getChildTags() const { return kTags; }

std::unique_ptr<tarnwick::XMLProxy> ObjectSpecification::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<host::LibraryPartType>>(
                mappedType_, kTags[0], /*isAttribute=*/true, std::string_view{},
                mappedType_ != host::kLibraryObject);
        case 1:
            return std::make_unique<XMLTypeProxy<String>>(originalName_, kTags[1]);
        case 2:
            return std::make_unique<XMLTypeProxy<String>>(mappedName_, kTags[2]);
        case 3:
            return std::make_unique<XMLTypeProxy<String>>(mappedObjectGuid_, kTags[3]);
        case kCustomParameters:   // for a write: a snapshot of the list, written when it holds a parameter
            if (!customParameters_) return nullptr;
            xmlParameters_ = std::make_unique<XMLParameterList>(*customParameters_, kTags[kCustomParameters]);
            xmlParameters_->snapshot();
            return std::make_unique<tarnwick::XMLAssemblyProxy>(*xmlParameters_, kTags[kCustomParameters],
                                                                /*isAttribute=*/false, std::string_view{},
                                                                xmlParameters_->getItemCount() > 0);
        default:
            return nullptr;
    }
}

void ObjectSpecification::apply(tarnwick::ComponentElem& element) const {
    if (!customParameters_ || customParameters_->size() == 0) return;
    const tarnwick::ParameterList& custom = *customParameters_;
    element.parameters().mergeParameterList(custom, false, true, false);
    if (auto* object = dynamic_cast<tarnwick::Object*>(&element)) {
        // An object's sizes also go into its record, so they are set through its size setters.
        if (const auto width = customLength(custom, "A")) object->setWidth(*width);
        if (const auto depth = customLength(custom, "B")) object->setDepth(*depth);
        if (const auto height = customLength(custom, "ZZYZX")) object->setHeight(*height);
    } else if (auto* opening = dynamic_cast<tarnwick::Opening*>(&element)) {
        if (const auto width = customLength(custom, "A")) opening->setOpeningWidth(*width);
        if (const auto height = customLength(custom, "ZZYZX")) opening->setOpeningHeight(*height);
    }
}

}   // namespace skellow
