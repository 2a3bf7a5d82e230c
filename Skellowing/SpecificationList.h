// SpecificationList: one named configuration of one source kind in the object mapping table.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "Foundation/String.h"
#include "Foundation/XMLArray.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/ObjectSpecification.h"
#include "Skellowing/SourceGroups.h"

namespace skellow {

// Owns its specifications, in the order added. A copy clones each of them (see ObjectSpecification for
// what clones share). <specificationList sourceName="Default" objectType="IFC">...</specificationList>;
// a list read without a name makes the read fail.
class SpecificationList : public tarnwick::XMLArray {
public:
    static constexpr std::string_view kTag = "specificationList";

    SpecificationList();   // no name, kind IFC: what the reader fills
    SpecificationList(const tarnwick::String& name, ObjectMapType kind);
    SpecificationList(const SpecificationList& other);
    ~SpecificationList() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    bool isValid() override;   // false when the name is empty

    const tarnwick::String& getName() const { return sourceName_; }
    void setName(const tarnwick::String& name) { sourceName_ = name; }
    ObjectMapType getKind() const { return kind_; }

    std::size_t size() const { return getItemCount(); }
    ObjectSpecification& at(std::size_t index) const;   // throws TracedException "out_of_range" past the end
    ObjectSpecification& add(std::unique_ptr<ObjectSpecification> specification);   // appended
    // The first mapping that matches the key (ObjectSpecification::matches); null when none.
    ObjectSpecification* findSpecification(const SourceKey& key) const;
    bool removeSpecification(const SourceKey& key);   // the first match, deleted; false when none

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override;
    std::unique_ptr<tarnwick::XMLAssembly> makeItem() override;

private:
    tarnwick::String sourceName_;
    ObjectMapType kind_ = ObjectMapType::ifc;
};

}   // namespace skellow
