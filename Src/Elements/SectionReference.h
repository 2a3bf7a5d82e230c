// SectionReference: the marker of a section view (host type 25), placed in the floor plan.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/CutPlaneReference.h"

namespace tarnwick {

// A CutPlaneReference of its own type; see there for the record and the section line.
class SectionReference : public CutPlaneReference {
public:
    static constexpr std::uint16_t kType = host::kElementSectionMarker;

    // The creator: a new SectionReference for a record of type 25, else null.
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);

    explicit SectionReference(const ElementLink& link);   // the host's defaults of the type
    SectionReference(const host::ElementRecord& record, const ElementLink& link);
    SectionReference(const SectionReference& other);
    ~SectionReference() override;

    std::unique_ptr<Element> clone() const override;
    // The host's defaults of the link's type and variation (zeros when it has none), to be written.
    virtual void loadDefaults();
};

}   // namespace tarnwick
