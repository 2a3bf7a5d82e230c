// PartAttributes: where objects, lamps, doors and windows keep the attributes of their parts: one run of
// 16-bit indices from record offset 112 (pens, line type, surface, fill), read and written by part.
#pragma once

#include <cstdint>
#include <memory>

#include "Project/AttributeLink.h"

namespace tarnwick {

class Attribute;
class Finish;
class LineStyle;
class Pen;

// Over the run in a kind's copy of the host record: the bytes from record offset 112 (an opening
// record begins there). Parts: 0 the element as a whole
// (setting its pen sets every pen), 1 its outline, 3 its cut fill, 6 and 11, 8 and 12, 10 further pens.
// A part without the attribute reads as index 0 (no fill: null) and takes nothing.
class PartAttributes {
public:
    static constexpr std::size_t kRecordOffset = 112;   // where the run starts in the host record

    // With belowCounts, as objects keep them, every part below 2 reads as the whole element's line type
    // and surface, and every part below 4 but 2 has the fill; else only the parts named above do.
    PartAttributes(unsigned char* run, bool belowCounts) : record_(run), belowCounts_(belowCounts) {}

    Pen getPen(std::int32_t part) const;
    LineStyle getLineStyle(std::int32_t part) const;
    Finish getFinish(std::int32_t part) const;
    std::unique_ptr<Attribute> getFill(std::int32_t part) const;        // owned by the caller
    std::int32_t setPen(const AttributeLink& pen, std::int32_t part);   // the index stored, else 0
    void setFill(const AttributeLink& fill, std::int32_t part);         // an index of 1 or more only
    void setLineStyle(const AttributeLink& lineStyle, std::int32_t part);
    void setFinish(const AttributeLink& finish, std::int32_t part);

private:
    std::int16_t index(std::size_t offset) const;
    void put(std::size_t offset, std::int16_t index);

    bool isBody(std::int32_t part) const { return part == 0 || part == 1 || (belowCounts_ && part < 0); }
    bool hasFill(std::int32_t part) const { return isBody(part) || part == 3; }

    unsigned char* record_;   // the run's first byte
    bool belowCounts_;
};

}   // namespace tarnwick
