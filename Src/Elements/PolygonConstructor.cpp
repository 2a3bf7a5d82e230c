#include "Elements/PolygonConstructor.h"

#include "Project/ElementMemoStore.h"

namespace tarnwick {

PolygonConstructor::PolygonConstructor() = default;
PolygonConstructor::~PolygonConstructor() = default;

bool PolygonConstructor::load(std::uint64_t, std::unique_ptr<MemoStore>&) { return false; }

host::PolygonCounts PolygonConstructor::getReadCounts() const { return sourceCounts_; }

std::unique_ptr<CadPolygon> PolygonConstructor::fromElement(const host::PolygonCounts& counts,
                                                            host::Handle coords, host::Handle pends,
                                                            host::Handle parcs) {
    sourceCounts_ = counts;
    // The handles stay the caller's: the memo record is ours and on the stack, the store keeps off it.
    host::ElementMemo memo{};
    memo.coords = coords;
    memo.pends = pends;
    memo.parcs = parcs;
    {
        ElementMemoStore store(&memo, /*keep=*/true);
        makePolygon(store);
    }
    std::unique_ptr<CadPolygon> polygon = takePolygon();
    setLoaded(false);
    return polygon;
}

}   // namespace tarnwick
