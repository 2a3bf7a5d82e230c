#include "Elements/SectionReference.h"

namespace tarnwick {

std::unique_ptr<Element> SectionReference::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<SectionReference>(record, link);
}

SectionReference::SectionReference(const ElementLink& link) : CutPlaneReference(link) { loadDefaults(); }

SectionReference::SectionReference(const host::ElementRecord& record, const ElementLink& link)
    : CutPlaneReference(record, link) {}

SectionReference::SectionReference(const SectionReference& other) = default;
SectionReference::~SectionReference() = default;

std::unique_ptr<Element> SectionReference::clone() const { return std::make_unique<SectionReference>(*this); }

void SectionReference::loadDefaults() {
    auto defaults = std::make_unique<host::ElementRecord>();
    getHostDefaults(*defaults, nullptr);   // a failed call leaves the zeroed record
    copyRecord(*defaults);
    getMutableTypeRecord().writeNeedsMemo = 1;
}

}   // namespace tarnwick
