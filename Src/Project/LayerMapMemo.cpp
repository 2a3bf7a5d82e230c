#include "Project/LayerMapMemo.h"

#include <cstring>
#include <vector>

#include "Environment/Host.h"
#include "Foundation/Memory.h"
#include "Project/AttributeIterator.h"
#include "Project/AttributeSelection.h"
#include "Project/Layer.h"
#include "Project/MemoStore.h"
#include "Project/Specification.h"

namespace tarnwick {

LayerMapMemo::LayerMapMemo(const LayerMapMemo& other)
    : Memo(other), map_(other.map_ ? std::make_unique<LayerMap>(*other.map_) : nullptr) {}

LayerMapMemo& LayerMapMemo::operator=(const LayerMapMemo& other) {
    if (this == &other) return *this;
    Memo::operator=(other);
    map_ = other.map_ ? std::make_unique<LayerMap>(*other.map_) : nullptr;
    return *this;
}

LayerMapMemo::~LayerMapMemo() = default;

void LayerMapMemo::update(Memo&, Memo&) {}

bool LayerMapMemo::read(MemoStore& store) {
    return readStatuses(static_cast<const MemoStore&>(store).layer_statItems());
}

bool LayerMapMemo::write(MemoStore& store) {
    host::Handle statuses = nullptr;
    if (!makeStatuses(statuses)) return false;
    host::Handle* target = store.layer_statItems();
    disposeHandle(*target);
    *target = statuses;
    return true;
}

bool LayerMapMemo::readStatuses(host::Handle statuses) {
    map_.reset();
    if (getHandleSize(statuses) < sizeof(host::LayerStatusRecord)) return false;
    map_ = std::make_unique<LayerMap>(statuses);
    return true;
}

bool LayerMapMemo::makeStatuses(host::Handle& statuses) const {
    statuses = nullptr;
    Specification* specification = Host::getSpecification();
    if (!map_ || specification == nullptr) return false;
    // Every layer of the project, in the Specification's order; reading them must not write them.
    AttributeSelection<Layer> layers;
    const Specification::Filter filter(AttributeType::layer, /*countCache=*/true);
    for (auto it = specification->begin(filter, /*writeBack=*/false); it != Specification::end(); ++it)
        layers.add(it->clone());
    if (layers.size() == 0) return true;   // a project without layers: no statuses
    statuses = allocateHandle(layers.size() * sizeof(host::LayerStatusRecord));
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const std::int16_t index = layers[i].getLink().getShortIndex();
        host::LayerStatusRecord record;
        map_->getStatus(index).toRecord(record);
        record.layer = index;
        std::memcpy(*statuses + i * sizeof(record), &record, sizeof(record));
    }
    return true;
}

LayerMap* LayerMapMemo::getLayerMap() {
    loadOnDemand(getPartMask());
    return map_.get();
}

void LayerMapMemo::setLayerMap(std::unique_ptr<LayerMap> map) {
    loadOnDemand(getPartMask());
    map_ = std::move(map);
}

}   // namespace tarnwick
