// CutPlaneReference: a section or elevation marker placed in the floor plan, which makes a cut view: its
// record (pen, elevation, the element it was placed from, the view it makes) and its section line.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <HostElementRecords.h>
#include <HostMarkers.h>
#include <HostRecords.h>

#include "Elements/Element.h"
#include "Project/Pen.h"
#include "Project/SectionLineMemo.h"

namespace tarnwick {

// Made by its creator (element types 25 and 33) from the marker's record, of which it keeps the first
// 1600 bytes; owned by the caller. Host failures give null, false or empty values.
class CutPlaneReference : public Element, public SectionLineMemo {
public:
    using Record = std::array<std::uint8_t, host::kMarkerRecordBytes>;

    explicit CutPlaneReference(const ElementLink& link);   // an empty record and memo
    CutPlaneReference(const host::ElementRecord& record, const ElementLink& link);
    CutPlaneReference(const CutPlaneReference& other);
    ~CutPlaneReference() override;

    // The creator for markers: null for a record of another type.
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);

    std::unique_ptr<Element> clone() const override;
    // The line's first point at the marker's elevation; without line points, the Element's.
    CadPoint getPosition() const override;
    // The record's elevation; relative: less the level of the element's storey (when it has one).
    double getElevation(bool absolute) const override;
    // Moves the line, distance and depth points by the step to the point, then takes its z as the
    // absolute elevation. Without line points only the elevation changes.
    void setPosition(const CadPoint& point) override;
    void setElevation(double value, bool absolute) override;   // relative: the storey's level added
    // A whole record: the kept bytes, the head's type from the link with its storey, and the point
    // counts of the polygons when they were loaded (so the record and the arrays agree).
    std::unique_ptr<host::ElementRecord> getHostElement() const override;
    // The Element's own memo loading; then, unless memo loading is suspended, the section line is read
    // along (whatever the mask asks) unless it is loaded and valid already, from the given store or,
    // without one, from the host's memo of the marker, which becomes the store (a failed fetch leaves
    // the line loaded and empty). A mask naming the line's parts reads it again in any case.
    void loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store) override;
    // The section line in a new store, with the mask of what it holds (kMemoSectionLine, and
    // kMemoSectionDistances when there are distance or depth points); null and 0 when the line is not
    // valid.
    std::unique_ptr<ElementMemoStore> getMemo(std::uint64_t& mask) const override;
    const host::ElementHead& getTypeRecord() const override;
    host::ElementHead& getMutableTypeRecord() override;

    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;   // the memo's load
    std::array<std::uint16_t, 3> getStoredPointCounts() const override;          // from the record

    // The pen of part 0 or 1 (the record's pen index); other parts: the pen of index 0.
    Pen getPen(std::int32_t part) const override;
    std::int32_t setPen(const AttributeLink& pen, std::int32_t part) override;   // parts 0 and 1
    // The line from the first distance point seen on the negative side of the line's first two points.
    bool isOnNegativeSide() const;
    ElementLink getLinkedElement() const;   // the element it was placed from, in its Drawing
    Guid getViewGuid() const;               // the database guid of the view it makes
    // The angle of the line from its first to its second point (0 without a valid line), turned half
    // round unless the marker looks to the negative side.
    double getDirection() const;

    // The marker's height: its upper limit less its lower one (the elevation).
    double getHeight() override;
    virtual std::uint64_t getMarkerValue() const;   // the 64-bit marker data of the cut view
    virtual void setHeight(double height);          // the upper limit, from the lower one

protected:
    void copyRecord(const host::ElementRecord& record);   // the first 1600 bytes

private:
    template <typename T>
    T field(std::size_t offset) const;
    template <typename T>
    void setField(std::size_t offset, T value);
    double storeyLevel() const;   // 0 without a storey

    alignas(host::ElementRecord) Record record_{};   // starts with the head
};

}   // namespace tarnwick
