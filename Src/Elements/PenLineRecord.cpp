#include "Elements/PenLineRecord.h"

namespace tarnwick {

PenLineRecord::PenLineRecord(std::int16_t countA, std::int16_t countB, bool flag)
    : countA_(countA), countB_(countB), flagA_(1), flagB_(flag ? 1 : 0), flagC_(flag ? 1 : 0) {}

PenLineRecord::PenLineRecord(const host::StoreyShowRecord& show, const host::StoreyOffsetRecord& offset)
    : countA_(show.countA),
      countB_(show.countB),
      offset_(offset.offset),
      byteB_(offset.extra),
      flagA_(show.allStoreys),
      flagB_(show.flagB),
      flagC_(show.flagC) {}

host::StoreyShowRecord PenLineRecord::toPenPair() const {
    host::StoreyShowRecord show{};
    show.allStoreys = flagA_;
    show.flagB = flagB_;
    show.flagC = flagC_;
    show.countA = countA_;
    show.countB = countB_;
    return show;
}

host::StoreyOffsetRecord PenLineRecord::toLineRecord() const {
    host::StoreyOffsetRecord offset{};
    offset.offset = offset_;
    offset.extra = byteB_;
    return offset;
}

void PenLineRecord::clearOffset() {
    offset_ = 0;
    byteA_ = 0;
    byteB_ = 0;
}

}   // namespace tarnwick
