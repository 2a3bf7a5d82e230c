#include "Skellowing/ObjectMap.h"

#include "Environment/Host.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::String;

ObjectMap::ObjectMap() : XMLArray(kTag, SpecificationList::kTag) {}
ObjectMap::ObjectMap(const ObjectMap& other) = default;
ObjectMap::~ObjectMap() = default;

std::unique_ptr<tarnwick::XMLAssembly> ObjectMap::clone() const { return std::make_unique<ObjectMap>(*this); }

void ObjectMap::assign(const ObjectMap& other) {
    if (this == &other) return;
    XMLArray::operator=(other);
}

void ObjectMap::clear() {
    XMLArray::clear();
    ensureDefaults();
}

bool ObjectMap::isValid() {
    ensureDefaults();
    return true;
}

void ObjectMap::ensureDefaults() {
    String name;   // fetched once, and only when a kind lacks its list
    for (std::size_t index = 0; index < kSourceKinds; ++index) {
        const ObjectMapType kind = kindAt(index);
        bool found = false;
        for (std::size_t i = 0; i < size() && !found; ++i) found = at(i).getKind() == kind;
        if (found) continue;
        if (name.isEmpty())
            name = tarnwick::Host::getString(strings::kConfigurations, strings::kDefaultConfiguration);
        if (name.isEmpty()) return;   // no text from the host: a nameless list could not be read back
        addList(name, kind);
    }
}

SpecificationList& ObjectMap::at(std::size_t index) const {
    return static_cast<SpecificationList&>(getItem(index));
}

SpecificationList& ObjectMap::addList(const String& name, ObjectMapType kind) {
    return static_cast<SpecificationList&>(addItem(std::make_unique<SpecificationList>(name, kind)));
}

bool ObjectMap::renameList(const String& name, const String& newName, ObjectMapType kind) {
    SpecificationList* const list = findList(name, kind);
    if (!list) return false;
    list->setName(newName);
    return true;
}

bool ObjectMap::removeList(const String& name, ObjectMapType kind) {
    for (std::size_t i = 0; i < size(); ++i) {
        if (at(i).getKind() == kind && at(i).getName() == name) {
            removeItem(i);
            return true;
        }
    }
    return false;
}

SpecificationList* ObjectMap::findList(const String& name, ObjectMapType kind) const {
    for (std::size_t i = 0; i < size(); ++i)
        if (at(i).getKind() == kind && at(i).getName() == name) return &at(i);
    return nullptr;
}

ObjectSpecification* ObjectMap::findSpecification(const SourceKey& key, String& name, ObjectMapType kind,
                                                  bool create, bool prefilled,
                                                  SpecificationList** where) const {
    // 1. The configuration itself; 2. a new mapping there when asked.
    if (SpecificationList* const list = findList(name, kind)) {
        ObjectSpecification* specification = list->findSpecification(key);
        if (!specification && create)
            specification = &list->add(std::make_unique<ObjectSpecification>(key, prefilled));
        if (specification) {
            if (where) *where = list;
            return specification;
        }
    }
    // 4. Any configuration of any kind: an inherited mapping.
    for (std::size_t i = 0; i < size(); ++i) {
        if (ObjectSpecification* const specification = at(i).findSpecification(key)) {
            name = at(i).getName();
            if (where) *where = &at(i);
            return specification;
        }
    }
    return nullptr;
}

ObjectSpecification* ObjectMap::findOwnSpecification(const SourceKey& key, const String& name,
                                                     ObjectMapType kind) const {
    const SpecificationList* const list = findList(name, kind);
    return list ? list->findSpecification(key) : nullptr;
}

void ObjectMap::copySpecification(const ObjectSpecification& specification, const String& name,
                                  ObjectMapType kind) {
    SpecificationList* const list = findList(name, kind);
    if (!list) return;
    std::unique_ptr<ObjectSpecification> copy = specification.copy();
    copy->findMappedPart();
    list->add(std::move(copy));
}

void ObjectMap::removeSpecification(const SourceKey& key, const String& name, ObjectMapType kind) {
    if (SpecificationList* const list = findList(name, kind)) list->removeSpecification(key);
}

std::unique_ptr<tarnwick::XMLAssembly> ObjectMap::makeItem() { return std::make_unique<SpecificationList>(); }

}   // namespace skellow
