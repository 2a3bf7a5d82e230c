#include "Project/LayerMap.h"

#include <cstring>

#include "Environment/Host.h"
#include "Foundation/Memory.h"
#include "Project/AttributeIterator.h"
#include "Project/Specification.h"

namespace tarnwick {

LayerMap::LayerMap(bool allLayers) {
    Specification* specification = allLayers ? Host::getSpecification() : nullptr;
    if (specification == nullptr) return;
    map_ = std::make_unique<Map>();
    // Reading the statuses must not write the layers back.
    const Specification::Filter layers(AttributeType::layer, /*countCache=*/true);
    for (auto it = specification->begin(layers, /*writeBack=*/false); it != Specification::end(); ++it)
        if (const auto* layer = dynamic_cast<const Layer*>(&*it))
            map_->insert_or_assign(keyOf(*layer), layer->getStatus());
}

LayerMap::LayerMap(host::Handle statuses) {
    const std::size_t count = getHandleSize(statuses) / sizeof(host::LayerStatusRecord);
    if (count == 0) return;
    map_ = std::make_unique<Map>();
    for (std::size_t i = 0; i < count; ++i) {
        host::LayerStatusRecord record;
        std::memcpy(&record, *statuses + i * sizeof(record), sizeof(record));
        map_->insert_or_assign(record.layer, Layer::Status(record));
    }
}

LayerMap::LayerMap(const LayerMap& other) : map_(other.map_ ? std::make_unique<Map>(*other.map_) : nullptr) {}

LayerMap& LayerMap::operator=(const LayerMap& other) {
    if (this != &other) map_ = other.map_ ? std::make_unique<Map>(*other.map_) : nullptr;
    return *this;
}

LayerMap::~LayerMap() = default;

Layer::Status LayerMap::getStatus(const Layer& layer) const { return getStatus(keyOf(layer)); }

Layer::Status LayerMap::getStatus(std::int16_t layerIndex) const {
    if (map_) {
        const auto found = map_->find(layerIndex);
        if (found != map_->end()) return found->second;
    }
    return Layer::Status(kLayerHidden, 0);   // a layer the combination does not name is hidden
}

Layer::Status& LayerMap::entry(const Layer& layer) {
    if (!map_) map_ = std::make_unique<Map>();
    return map_->try_emplace(keyOf(layer), Layer::Status(0, 0)).first->second;
}

void LayerMap::setHidden(const Layer& layer, bool on) { entry(layer).setHidden(on); }
void LayerMap::setLocked(const Layer& layer, bool on) { entry(layer).setLocked(on); }
void LayerMap::setOutsideWorkspace(const Layer& layer, bool on) { entry(layer).setOutsideWorkspace(on); }
void LayerMap::setCarried(const Layer& layer, bool on) { entry(layer).setCarried(on); }
void LayerMap::setGroup(const Layer& layer, std::int32_t group) { entry(layer).setGroup(group); }
void LayerMap::setStatus(const Layer& layer, const Layer::Status& status) { entry(layer) = status; }

}   // namespace tarnwick
