#include "Skellowing/ObjectMap.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "Environment/Host.h"
#include "Interface/PopupMenu.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::Host;
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
        if (name.isEmpty()) name = Host::getString(strings::kConfigurations, strings::kDefaultConfiguration);
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

String ObjectMap::fillConfigurationPopup(tarnwick::PopupMenu& popup, const String& name,
                                         ObjectMapType kind) const {
    constexpr std::int16_t kCommands = 3;     // add, rename, delete
    constexpr std::uint16_t kFirstName = 4;   // after the commands and the separator
    // A popup counts its items in 16 bits: the names past what it holds are not shown.
    constexpr std::size_t kMostNames = std::numeric_limits<std::int16_t>::max() - kFirstName;
    // 2. The names in any letter case; equal ones keep the table's order.
    std::vector<String> names;
    for (std::size_t i = 0; i < size(); ++i)
        if (at(i).getKind() == kind) names.push_back(at(i).getName());
    std::stable_sort(names.begin(), names.end(),
                     [](const String& a, const String& b) { return a.toLower() < b.toLower(); });
    if (names.size() > kMostNames) {
        // The configuration asked for stays shown, in its place in the order.
        const auto wanted = std::find(names.begin(), names.end(), name);
        if (wanted != names.end() && wanted - names.begin() >= static_cast<std::ptrdiff_t>(kMostNames))
            names[kMostNames - 1] = name;
        names.resize(kMostNames);
    }
    // 1. The commands' places, their texts set last.
    popup.setDimensions(0);
    popup.setDimensions(static_cast<std::int16_t>(kCommands + names.size()));
    for (std::int16_t i = 0; i < kCommands; ++i) popup.setText(String(), i);
    for (std::size_t i = 0; i < names.size(); ++i)
        popup.setText(names[i], static_cast<std::int16_t>(kCommands + i));
    // 3. to 5.
    popup.insertSeparator(static_cast<std::uint16_t>(kCommands));
    const String wanted = name.isEmpty() ? popup.getText(kFirstName) : name;
    // Without a configuration of the kind nothing is chosen: the commands' empty texts are no names.
    const String selected = names.empty() ? String() : popup.selectText(wanted, kFirstName);
    // 6. The commands name the selected configuration in double quotes.
    const String quoted = String(" \"") + selected + String("\"");
    popup.setText(Host::getString(strings::kPopup, 1), 0);
    for (std::int16_t item : {std::int16_t{1}, std::int16_t{2}}) {
        String text = Host::getString(strings::kPopup, item + 1);
        text.replaceAll(String("$1"), quoted);
        popup.setText(text, item);
    }
    // 7.
    return selected;
}

std::unique_ptr<tarnwick::XMLAssembly> ObjectMap::makeItem() { return std::make_unique<SpecificationList>(); }

}   // namespace skellow
