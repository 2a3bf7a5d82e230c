// LayerMap: the statuses of many layers keyed by layer index, as a layer combination stores them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include <HostMemory.h>

#include "Project/Layer.h"

namespace tarnwick {

// A value (copies are deep). The map is absent until its first entry. A layer absent from the map is
// hidden: getStatus gives flags 0x1 and group 0 for it.
class LayerMap {
public:
    // true: the status of every layer of the project (empty without a Specification); false: empty.
    explicit LayerMap(bool allLayers);
    // One entry per whole 8-byte layer-status record of the handle (a later record of the same index
    // wins); no map for a handle of 7 bytes or fewer.
    explicit LayerMap(host::Handle statuses);
    LayerMap(const LayerMap& other);
    LayerMap& operator=(const LayerMap& other);
    virtual ~LayerMap();

    std::size_t getCount() const { return map_ ? map_->size() : 0; }
    bool hasMap() const { return map_ != nullptr; }
    Layer::Status getStatus(const Layer& layer) const;   // the hidden default when absent
    Layer::Status getStatus(std::int16_t layerIndex) const;

    // Each adds an absent layer first (flags 0, group 0), then changes the one field.
    void setHidden(const Layer& layer, bool on);
    void setLocked(const Layer& layer, bool on);
    void setOutsideWorkspace(const Layer& layer, bool on);
    void setCarried(const Layer& layer, bool on);
    void setGroup(const Layer& layer, std::int32_t group);
    void setStatus(const Layer& layer, const Layer::Status& status);

private:
    using Map = std::map<std::int16_t, Layer::Status>;
    Layer::Status& entry(const Layer& layer);
    static std::int16_t keyOf(const Layer& layer) { return layer.getLink().getShortIndex(); }

    std::unique_ptr<Map> map_;   // null until the first entry
};

}   // namespace tarnwick
