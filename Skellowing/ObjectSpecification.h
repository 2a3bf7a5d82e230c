// ObjectSpecification: one mapping of the object mapping table: which library part replaces the elements
// of one source name, and the parameter values that go with it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include <HostRecords.h>

#include "Foundation/String.h"
#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLTypeProxy.h"
#include "LibraryParts/ParameterList.h"
#include "Project/ComponentLink.h"
#include "Skellowing/SourceGroups.h"
#include "Skellowing/XMLParameterList.h"

namespace tarnwick {
class ComponentElem;
}

namespace skellow {

// Owned by its SpecificationList. A copy (clone) shares the custom parameters and the resolved part with
// its source: a change made in place to the shared list shows in both. The resolved part and the
// prefilled mark live only in memory.
//
// <objectSpecification mappedType="door"><originalName/><mappedName/><mappedObjectGuid/>
// <customParameters/></objectSpecification>: "mappedType" is left out for an object, "customParameters"
// when there are none.
class ObjectSpecification : public tarnwick::XMLAssembly {
public:
    static constexpr std::string_view kTag = "objectSpecification";

    ObjectSpecification();   // empty texts, an object, no parameters
    // A new mapping of the key: its name and type, nothing mapped yet.
    ObjectSpecification(const SourceKey& key, bool prefilled);
    ObjectSpecification(const ObjectSpecification& other);
    ~ObjectSpecification() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    std::unique_ptr<ObjectSpecification> copy() const;   // the same mapping, as a new object
    // Empties mappedName, makes it an object again and drops parameters, part and mark; originalName and
    // mappedObjectGuid keep their texts.
    void clear() override;
    std::unique_ptr<tarnwick::XMLProxy> findChild(std::string_view name, bool attribute) override;

    // The replacement part: by mappedObjectGuid when there is one, else by mappedName, in the project's
    // library; the answer is kept until the mapping changes. Null when no loaded part of the mapping's
    // type answers (a part found of another type does not count). Borrowed from this specification.
    const tarnwick::ComponentLink* findMappedPart();
    // The loaded part the mapping names as findMappedPart looks it up, of whatever type; null when none.
    const tarnwick::ComponentLink* findNamedPart();
    // Merges the custom parameters into the element's; an object takes custom lengths "A", "B" and
    // "ZZYZX" as its sizes, a door or window "A" and "ZZYZX" as its opening's. Nothing is written.
    void apply(tarnwick::ComponentElem& element) const;
    // Maps to the loaded part of the link: its name, unique id and link. False (nothing changed) when the
    // link names no loaded, valid part.
    bool setMappedPart(const tarnwick::ComponentLink& link);
    // A replacement name typed by the user: the unique id and the resolved part are dropped with the old
    // name, so that the new name is what resolves.
    void setTypedName(const tarnwick::String& name);

    const tarnwick::String& getOriginalName() const { return originalName_; }
    const tarnwick::String& getMappedName() const { return mappedName_; }
    const tarnwick::String& getMappedObjectGuid() const { return mappedObjectGuid_; }
    host::LibraryPartType getMappedType() const { return mappedType_; }
    bool isPrefilled() const { return prefilled_; }
    void setPrefilled(bool prefilled) { prefilled_ = prefilled; }

    // The custom parameters; null when there are none. Shared with copies.
    const std::shared_ptr<tarnwick::ParameterList>& getCustomParameters() const { return customParameters_; }
    // Keeps as custom parameters exactly those of `edited` that differ from the part's defaults in
    // `reference`: a name whose edited value equals the default is removed, one that differs is (re)added
    // as a copy of the edited parameter, after those kept from before.
    void setCustomParameters(const tarnwick::ParameterList& reference, const tarnwick::ParameterList& edited);
    // The custom parameters its read could not build, as read; empty when none, and once it is written.
    const std::vector<XMLParameter>& getSkippedParameters() const;

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override;

private:
    tarnwick::String originalName_;
    tarnwick::String mappedName_;
    tarnwick::String mappedObjectGuid_;
    host::LibraryPartType mappedType_ = host::kLibraryObject;
    std::shared_ptr<tarnwick::ParameterList> customParameters_;
    std::unique_ptr<XMLParameterList>
        xmlParameters_;   // the XML form of the parameters while read or written
    std::shared_ptr<tarnwick::ComponentLink> mappedPart_;   // a cache; may hold a link that did not resolve
    bool prefilled_ = false;
};

}   // namespace skellow

namespace tarnwick {
// "door", "lamp", "object", "window", in the order reading compares them.
template <>
std::span<const XMLTypeProxy<host::LibraryPartType>::EnumText>
XMLTypeProxy<host::LibraryPartType>::enumTexts();
}   // namespace tarnwick
