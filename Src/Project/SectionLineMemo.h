// SectionLineMemo: the three point lists of a section or elevation marker (its line, distance and depth
// points), read from and written to the marker's memo.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "Geometry/CadPolygon.h"
#include "Project/Memo.h"

namespace tarnwick {

// Each polygon is open and may be missing (null). Copies are deep. The memo parts: the line (bit 15,
// 0x8000) and the distance and depth points (bit 14, 0x4000), with bit 0; one map for reading and
// writing.
class SectionLineMemo : public Memo {
public:
    SectionLineMemo() = default;
    SectionLineMemo(const SectionLineMemo& other);
    SectionLineMemo& operator=(const SectionLineMemo& other);
    ~SectionLineMemo() override;

    void update(Memo& newMemo, Memo& oldMemo) override;   // nothing
    // The line polygon exists and is valid (open, two points at least, no edge shorter than 1e-5).
    bool isValid() const override;
    // The three lists into the store's arrays, from the polygons' own counts; false (nothing written)
    // when the memo is not valid.
    bool write(MemoStore& store) override;
    // The lists from the store, each bounded by its array's size as well as by the stored count; false
    // (no polygons) without line points or with fewer than two.
    bool read(MemoStore& store) override;

    // Each loaded first; null when missing. Changing a polygon through the mutable form changes it in
    // place, for the next write.
    const CadPolygon* getLinePolygon() const;
    CadPolygon* getLinePolygon();
    const CadPolygon* getDistancePolygon() const;
    CadPolygon* getDistancePolygon();
    const CadPolygon* getDepthPolygon() const;
    CadPolygon* getDepthPolygon();
    void setLinePolygon(std::unique_ptr<CadPolygon> polygon);   // taken over; the memo counts as changed
    void setDistancePolygon(std::unique_ptr<CadPolygon> polygon);
    void setDepthPolygon(std::unique_ptr<CadPolygon> polygon);
    static std::uint64_t getPartMask() { return 0xC001; }
    // The counts the marker's record holds (line, distance, depth).
    virtual std::array<std::uint16_t, 3> getStoredPointCounts() const = 0;
    std::array<std::uint16_t, 3> getPointCounts();   // of the polygons, loaded first; 0 for a missing one
    bool isChanged() const { return changed_; }

protected:
    void markChanged() { changed_ = true; }
    CadPolygon* linePolygon() { return line_.get(); }
    CadPolygon* distancePolygon() { return distance_.get(); }
    CadPolygon* depthPolygon() { return depth_.get(); }
    const CadPolygon* linePolygon() const { return line_.get(); }
    const CadPolygon* distancePolygon() const { return distance_.get(); }
    const CadPolygon* depthPolygon() const { return depth_.get(); }

private:
    std::unique_ptr<CadPolygon> line_;
    std::unique_ptr<CadPolygon> distance_;
    std::unique_ptr<CadPolygon> depth_;
    bool changed_ = false;
};

}   // namespace tarnwick
