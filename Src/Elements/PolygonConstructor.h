// PolygonConstructor: a PolygonMemo over polygon handles that are not an element's memo (the polygons
// and hatches of a shape the host draws), with the counts that came with them; and the collection of a
// shape the host draws piece by piece into drawing primitives.
#pragma once

#include <memory>

#include <HostElementRecords.h>
#include <HostMemory.h>
#include <HostShapes.h>

#include "Elements/PolygonMemo.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// Collection: one at a time, process-wide, on the thread that asks the host to draw. Between
// beginCollect and endCollect the host's callback turns every piece into a primitive appended to the
// receiver; pieces drawn as the lines that fill a hatch are kept only when asked for, and carry the
// hatch-line flag; those inside a hatch's border carry the hatch-border flag.
class PolygonConstructor : public PolygonMemo {
public:
    static void beginCollect(PrimitiveList& receiver, bool keepHatchLines);   // clears the hatch state
    static void endCollect();
    static bool isCollecting();
    // The host's shape callback: 0, or kErrNoReceiver (changing nothing) while no collection runs.
    // Pieces missing the data they need add nothing. Allocation failures throw TracedException.
    static std::uint32_t shapePrimitiveCallback(const host::ShapePrimitive* primitive, const void* data1,
                                                const void* data2, const void* data3);

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
