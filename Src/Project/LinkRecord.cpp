#include "Project/LinkRecord.h"

#include "Environment/Host.h"
#include "Project/Attribute.h"
#include "Project/Plan.h"

namespace tarnwick {
namespace {

// The floor plan and the 3D model are one database, addressed by storey.
bool isPlanOrModel(std::int32_t kind) { return kind == host::kDatabasePlan || kind == host::kDatabaseModel; }

}   // namespace

LinkRecord::LinkRecord(std::int32_t kind, const Guid& guid, std::int32_t index)
    : kind_(kind), guid_(guid), index_(index) {}

LinkRecord::LinkRecord(const host::DatabaseRecord& record, std::int32_t index)
    : kind_(record.type), guid_(record.guid), index_(index) {}

bool LinkRecord::isIndexKind() const { return kind_ == 0 || isPlanOrModel(kind_) || !guid_.isValid(); }

bool LinkRecord::isValid() const {
    if (kind_ == 0) return false;
    return isPlanOrModel(kind_) || guid_.isValid();
}

// A pair is storey-addressed only when both records are; a mixed pair compares guids, so the answer
// does not depend on which record stands first.
bool LinkRecord::operator==(const LinkRecord& other) const {
    if (kind_ != other.kind_) return false;
    if (isIndexKind() && other.isIndexKind()) return true;
    return guid_ == other.guid_;
}

// Key: (kind, guid-addressed, index or guid). Lexicographic, hence a strict weak ordering.
bool LinkRecord::operator<(const LinkRecord& other) const {
    if (kind_ != other.kind_) return kind_ < other.kind_;
    const bool byStorey = isIndexKind();
    if (byStorey != other.isIndexKind()) return byStorey;   // storey-addressed first
    if (byStorey) return getStoreyIndex() < other.getStoreyIndex();
    return guid_ < other.guid_;
}

// Asked of a Drawing's id about an element's location: the Drawing's own addressing decides.
bool LinkRecord::isSameDatabase(const LinkRecord& other) const {
    if (kind_ != other.kind_ && !(isPlanOrModel(kind_) && isPlanOrModel(other.kind_))) return false;
    return isIndexKind() || guid_ == other.guid_;
}

void LinkRecord::clear(bool alsoIndex) {
    kind_ = 0;
    guid_.clear();
    if (alsoIndex) index_ = 0;
}

void LinkRecord::setIndex(const Attribute& attribute) { index_ = attribute.getIndex(); }

Storey* LinkRecord::getStorey() const {
    if (!isIndexKind()) return nullptr;
    Plan* plan = Host::getPlan();
    return plan != nullptr ? plan->getStorey(getStoreyIndex()) : nullptr;
}

}   // namespace tarnwick
