#include "Project/LayerCombination.h"

#include "Foundation/Memory.h"
#include "Project/AttributeMemoStore.h"
#include "Project/Specification.h"

namespace tarnwick {

LayerCombination::LayerCombination() : RecordAttribute(AttributeLink(), AttributeType::layerCombination) {
    static_cast<void>(record());   // no owner: a reset record, a new combination
}

LayerCombination::LayerCombination(const AttributeLink& link)
    : RecordAttribute(link, AttributeType::layerCombination) {}

LayerCombination::LayerCombination(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::layerCombination) {}

LayerCombination::LayerCombination(const LayerCombination& other) = default;

LayerCombination::~LayerCombination() = default;

std::unique_ptr<Attribute> LayerCombination::create(const host::AttributeDefinition& definition,
                                                    const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::layerCombination)) return nullptr;
    return std::make_unique<LayerCombination>(definition, link);
}

std::unique_ptr<Attribute> LayerCombination::clone() const {
    return std::make_unique<LayerCombination>(*this);
}

std::int32_t LayerCombination::getIndex() const {
    const auto negated = static_cast<std::uint16_t>(-static_cast<std::int32_t>(getLink().getShortIndex()));
    return static_cast<std::int32_t>(negated);
}

AttributeExtensionPtr LayerCombination::copyExtendedDefinition() const {
    LayerCombinationRecord& combination = record();
    auto* self = const_cast<LayerCombination*>(this);   // the memo loads on demand
    self->loadOnDemand(getPartMask());
    AttributeMemoStore store;   // releases the statuses too when the write fails
    if (!self->LayerMapMemo::write(store)) return nullptr;
    combination.statusCount = static_cast<std::int16_t>(
        getHandleSize(static_cast<const AttributeMemoStore&>(store).layer_statItems()) /
        sizeof(host::LayerStatusRecord));
    return store.release();
}

bool LayerCombination::load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) {
    static_cast<void>(record());
    if (!store) {   // the owner's extended definition, handed back to the caller in a store
        Specification* owner = getLink().getOwner();
        if (owner != nullptr && getLink().isValid())
            if (AttributeExtensionPtr definition = owner->loadDefinition(getLink())) {
                store = std::make_unique<AttributeMemoStore>(definition.get());
                static_cast<void>(definition.release());   // the store's now
            }
    }
    const bool wanted = (mask & getPartMask()) != 0;
    if (!store) {   // nothing in the host (yet): loaded, without a map, and nothing was read
        if (wanted) setLoaded(true);
        return false;
    }
    if (!wanted) return false;
    const bool read = LayerMapMemo::read(*store);
    setLoaded(true);
    return read;
}

void LayerCombination::resetRecord(LayerCombinationRecord& record, bool failed) const {
    record = LayerCombinationRecord{};
    record.header.type = toByte(AttributeType::layerCombination);
    if (!failed) setLinkWhileLoading(AttributeLink());
}

}   // namespace tarnwick
