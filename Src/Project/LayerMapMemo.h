// LayerMapMemo: a LayerMap kept as memo data: read from and written to the layer-status part of the
// host's extended attribute definition.
#pragma once

#include <cstdint>
#include <memory>

#include <HostMemory.h>

#include "Project/LayerMap.h"
#include "Project/Memo.h"

namespace tarnwick {

class MemoStore;

// Owns its map (null when there is none). The owner (a LayerCombination) gives load.
class LayerMapMemo : public Memo {
public:
    static constexpr std::uint64_t kPartMask = 0x7ffffffbfffffffULL;   // every part of the definition

    LayerMapMemo() = default;
    LayerMapMemo(const LayerMapMemo& other);
    LayerMapMemo& operator=(const LayerMapMemo& other);

    // Virtual operations, in the order of the interface.
    ~LayerMapMemo() override;
    void update(Memo& newMemo, Memo& oldMemo) override;   // nothing
    bool isValid() const override { return map_ != nullptr; }
    // read: drops the map, then builds it from the store's layer statuses; false (no map) when empty.
    bool read(MemoStore& store) override;
    // write: replaces the store's layer statuses by one record per layer of the project, in the
    // Specification's order, with the layer's status from the map (absent layers hidden). False without
    // a map or a Specification.
    bool write(MemoStore& store) override;
    virtual std::uint64_t getPartMask() const { return kPartMask; }

    LayerMap* getLayerMap();                           // loads on demand first; null when there is none
    void setLayerMap(std::unique_ptr<LayerMap> map);   // loads on demand first, then replaces the map

protected:
    bool readStatuses(host::Handle statuses);   // as read, from a handle of layer-status records
    // A new handle of the statuses as write makes them; null (and false) without a map or Specification.
    bool makeStatuses(host::Handle& statuses) const;

private:
    std::unique_ptr<LayerMap> map_;
};

}   // namespace tarnwick
