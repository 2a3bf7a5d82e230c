// PolygonMemo: a polygon with holes kept in the polygon parts of an element memo (coords, pends, parcs,
// vertexIDs, meshPolyZ) and the counts record beside them, turned into an owned CadPolygon and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostElementRecords.h>

#include "Geometry/CadPolygon.h"
#include "Project/Memo.h"

namespace tarnwick {

class MemoStore;

// Host encoding, both ways: every array is 1-based (entry 0 is a placeholder, the pends' 0, the id
// counter or 0). A contour lists its vertices and then its first vertex again; the first contour is
// the outline, the others holes; pends[c + 1] is the index of contour c's last entry. A vertex carries
// the arc angle of the edge that ends at it, and an arc entry (begin, end, angle) is written where that
// angle exceeds Tolerance::angle. Reading a contour starts at its second entry, so the vertex the host
// lists second comes first.
//
// Inconsistent host data (counts that disagree with the handles, missing required handles) gives no
// polygon and reports nothing. Allocation failures throw TracedException "bad_alloc".
class PolygonMemo : public Memo {
public:
    static constexpr std::uint64_t kMemoKind = 1;   // the polygon part of the memo mask

    // The locked arrays of a store (null for a missing handle).
    struct Arrays {
        host::PolygonCoord* coords = nullptr;
        std::int32_t* pends = nullptr;
        host::PolygonArc* parcs = nullptr;
        std::uint32_t* vertexIDs = nullptr;
        double* meshPolyZ = nullptr;
    };

    PolygonMemo();
    PolygonMemo(const PolygonMemo& other);   // the polygon copied
    PolygonMemo& operator=(const PolygonMemo& other);
    ~PolygonMemo() override;

    // --- Virtual operations, in the order of the interface ------------------------------------------
    bool isValid() const override;           // a polygon that is valid without the self-intersection test
    bool write(MemoStore& store) override;   // false when there is no valid polygon or no room for it
    bool read(MemoStore& store) override;    // makePolygon; true when a polygon came of it
    virtual bool makePolygon(MemoStore& store);
    virtual CadPolygon* getMutablePolygon();   // loads first; null when there is none
    virtual const CadPolygon* getPolygon();
    virtual void adoptPolygon(std::unique_ptr<CadPolygon> polygon);   // loaded; the old one goes
    virtual void setPolygon(const CadPolygon& polygon);               // loaded; a copy is kept
    virtual PolyPoint makePoint(MemoStore& store, std::size_t index, const CadPoint& point, std::uint32_t id,
                                double angle);
    virtual bool prepareHandles();
    virtual void onPointWritten(const PolyPoint& point, MemoStore& store, std::size_t index);
    virtual bool isClosed() const;           // true
    virtual bool skipsPlaceholder() const;   // true: host arrays start at 1
    virtual bool skipsFirstVertex() const;   // isClosed
    virtual bool countsHoles() const;        // isClosed
    virtual host::PolygonCounts& getWriteCounts();
    virtual host::PolygonCounts getReadCounts() const = 0;
    // New handles for the counts (the store's old ones disposed), locked. False for empty counts.
    virtual bool allocateHandles(MemoStore& store, const host::PolygonCounts& counts, Arrays& arrays);
    // False for empty counts, counted arcs without parcs, or coords or pends missing.
    virtual bool lockHandles(MemoStore& store, const host::PolygonCounts& counts, Arrays& arrays);
    virtual void unlockHandles(MemoStore& store);

    // The counts this polygon writes (zero without one); numbers its unnumbered vertices first.
    void writeCounts(host::PolygonCounts& counts);
    bool hasVertexIds() const { return hasVertexIds_; }

protected:
    std::unique_ptr<CadPolygon> takePolygon() { return std::move(polygon_); }

private:
    std::unique_ptr<CadPolygon> polygon_;   // null until built or set
    host::PolygonCounts counts_{};          // the counts of the last write
    bool hasVertexIds_ = false;             // the last read had vertex ids
};

}   // namespace tarnwick
