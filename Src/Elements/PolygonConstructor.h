// PolygonConstructor: a PolygonMemo over polygon handles that are not an element's memo (the polygons
// and hatches of a shape the host draws), with the counts that came with them.
#pragma once

#include <memory>

#include <HostElementRecords.h>
#include <HostMemory.h>

#include "Elements/PolygonMemo.h"

namespace tarnwick {

class PolygonConstructor : public PolygonMemo {
public:
    PolygonConstructor();
    ~PolygonConstructor() override;

    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;   // nothing to fetch
    host::PolygonCounts getReadCounts() const override;                          // the source's counts

    // The polygon of the three handles (still the caller's), owned by the caller; null when they do not
    // hold one.
    std::unique_ptr<CadPolygon> fromElement(const host::PolygonCounts& counts, host::Handle coords,
                                            host::Handle pends, host::Handle parcs);

private:
    host::PolygonCounts sourceCounts_{};
};

}   // namespace tarnwick
