#include "Elements/ElevationReference.h"

namespace tarnwick {

std::unique_ptr<Element> ElevationReference::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<ElevationReference>(record, link);
}

ElevationReference::ElevationReference(const ElementLink& link) : CutPlaneReference(link) { loadDefaults(); }

ElevationReference::ElevationReference(const host::ElementRecord& record, const ElementLink& link)
    : CutPlaneReference(record, link) {}

ElevationReference::ElevationReference(const ElevationReference& other) = default;
ElevationReference::~ElevationReference() = default;

std::unique_ptr<Element> ElevationReference::clone() const {
    return std::make_unique<ElevationReference>(*this);
}

void ElevationReference::loadDefaults() {
    auto defaults = std::make_unique<host::ElementRecord>();
    getHostDefaults(*defaults, nullptr);   // a failed call leaves the zeroed record
    copyRecord(*defaults);
    getMutableTypeRecord().writeNeedsMemo = 1;
}

}   // namespace tarnwick
