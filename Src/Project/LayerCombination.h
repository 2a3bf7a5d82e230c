// LayerCombination: the attribute that stores a status (hidden, locked, group) for every layer of the
// project, kept as a LayerMapMemo over the host's extended definition.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/AttributeLink.h"
#include "Project/LayerMapMemo.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host combination record as a combination keeps it.
struct LayerCombinationRecord {
    host::AttributeHeader header;
    std::int16_t statusCount;   // layer-status entries in the extended definition
    std::uint8_t carried;
    std::uint8_t reserved299[5];
};
static_assert(sizeof(LayerCombinationRecord) == 304);
static_assert(offsetof(LayerCombinationRecord, statusCount) == host::kLayerCombinationCountOffset);

// An attribute of type 8; copy with clone. Its map loads with the memo, on first use.
class LayerCombination : public RecordAttribute<LayerCombinationRecord>, public LayerMapMemo {
public:
    LayerCombination();                                     // a new combination with a reset record
    explicit LayerCombination(const AttributeLink& link);   // the record loads on first use
    LayerCombination(const host::AttributeDefinition& definition, const AttributeLink& link);   // creator's
    LayerCombination(const LayerCombination& other);
    ~LayerCombination() override;

    // The attribute creator for type 8: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::layerCombination; }
    // The 16-bit link index negated, in the low half of the result (high half 0): combinations are told
    // from layers by the sign of that half.
    std::int32_t getIndex() const override;
    // A new extended definition holding a status per project layer (the record's count becomes their
    // number); null without a map or a Specification.
    AttributeExtensionPtr copyExtendedDefinition() const override;

    // Loads the record; without a store, the owner's extended definition of this combination comes back
    // in a new AttributeMemoStore that the caller owns (without one the memo is only marked loaded);
    // the map is read from the store when the mask asks for it. True when a map was read.
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;

protected:
    void resetRecord(LayerCombinationRecord& record, bool failed) const override;
};

}   // namespace tarnwick
