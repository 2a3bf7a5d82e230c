// SpecificationList: one named configuration of one source kind in the object mapping table.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "Foundation/String.h"
#include "Foundation/XMLArray.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/ObjectSpecification.h"
#include "Skellowing/SourceGroups.h"

namespace skellow {

// Owns its specifications, in the order added. A copy clones each of them (see ObjectSpecification for
// what clones share). <specificationList sourceName="Default" objectType="IFC">...</specificationList>;
// a list read without a name makes the read fail. A search by key takes constant time: the first mapping
// of each (type, lower-case name) is indexed, anew after the list was read or lost an item.
class SpecificationList : public tarnwick::XMLArray {
public:
    static constexpr std::string_view kTag = "specificationList";

    SpecificationList();   // no name, kind IFC: what the reader fills
    SpecificationList(const tarnwick::String& name, ObjectMapType kind);
    SpecificationList(const SpecificationList& other);   // the index is not shared: made again when asked
    SpecificationList& operator=(const SpecificationList&) = delete;
    ~SpecificationList() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    bool isValid() override;   // false when the name is empty
    void clear() override;     // deletes every mapping
    // Reading an item: the name the reader writes into it is not known yet, so the index is made again.
    std::unique_ptr<tarnwick::XMLProxy> findChild(std::string_view name, bool attribute) override;

    const tarnwick::String& getName() const { return sourceName_; }
    void setName(const tarnwick::String& name) { sourceName_ = name; }
    ObjectMapType getKind() const { return kind_; }

    std::size_t size() const { return getItemCount(); }
    ObjectSpecification& at(std::size_t index) const;   // throws TracedException "out_of_range" past the end
    ObjectSpecification& add(std::unique_ptr<ObjectSpecification> specification);   // appended
    // The first mapping of the key's type whose original name equals the key's name in any letter case;
    // null when none.
    ObjectSpecification* findSpecification(const SourceKey& key) const;
    bool removeSpecification(const SourceKey& key);   // the first match, deleted; false when none

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override;
    std::unique_ptr<tarnwick::XMLAssembly> makeItem() override;

private:
    // (library-part type, the name in lower case as UTF-8).
    struct IndexKey {
        std::int32_t type;
        std::string name;
        bool operator==(const IndexKey&) const = default;
    };
    struct IndexHash {
        std::size_t operator()(const IndexKey& key) const;
    };
    static IndexKey indexKeyOf(std::int32_t type, const tarnwick::String& name);
    void buildIndex() const;
    void indexItem(ObjectSpecification& specification) const;   // kept only when its key is new

    tarnwick::String sourceName_;
    ObjectMapType kind_ = ObjectMapType::ifc;
    // The first specification of each key, valid while indexed_; shadowed_ counts the later ones of a key
    // already held, which only a full rebuild can bring forward when the first goes.
    mutable std::unordered_map<IndexKey, ObjectSpecification*, IndexHash> index_;
    mutable std::size_t shadowed_ = 0;
    mutable bool indexed_ = false;
};

}   // namespace skellow
