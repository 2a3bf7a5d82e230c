// PenLineRecord: which storeys an element shows on besides its own (the counts below and above, an
// offset and three flags), as the host keeps it in two records beside the element's pens.
#pragma once

#include <cstdint>

#include <HostElementRecords.h>

namespace tarnwick {

// A plain value. The default is all zero (what an element that keeps none answers).
class PenLineRecord {
public:
    PenLineRecord() = default;
    // Offset 0, both bytes 0, the first flag set, the other two the given flag.
    PenLineRecord(std::int16_t countA, std::int16_t countB, bool flag);
    // From the host's two records; the first byte is not among them and reads 0.
    PenLineRecord(const host::StoreyShowRecord& show, const host::StoreyOffsetRecord& offset);

    host::StoreyShowRecord toPenPair() const;
    host::StoreyOffsetRecord toLineRecord() const;

    std::int16_t getCountA() const { return countA_; }
    std::int16_t getCountB() const { return countB_; }
    std::int16_t getOffset() const { return offset_; }
    bool isAll() const { return flagA_ != 0; }
    bool isFlagB() const { return flagB_ != 0; }
    bool isFlagC() const { return flagC_ != 0; }
    // The 32-bit run after the two counts (the offset and both bytes) back to 0: what an element that
    // moves to another storey keeps of its showing.
    void clearOffset();

    bool operator==(const PenLineRecord&) const = default;

private:
    std::int16_t countA_ = 0;
    std::int16_t countB_ = 0;
    std::int16_t offset_ = 0;
    std::uint8_t byteA_ = 0;   // always 0 from the host
    std::uint8_t byteB_ = 0;
    std::uint8_t flagA_ = 0;
    std::uint8_t flagB_ = 0;
    std::uint8_t flagC_ = 0;
};

}   // namespace tarnwick
