// ElevationReference: the marker of a elevation view (host type 33), placed in the floor plan.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/CutPlaneReference.h"

namespace tarnwick {

// A CutPlaneReference of its own type; see there for the record and the section line.
class ElevationReference : public CutPlaneReference {
public:
    static constexpr std::uint16_t kType = host::kElementElevationMarker;

    // The creator: a new ElevationReference for a record of type 33, else null.
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);

    explicit ElevationReference(const ElementLink& link);   // the host's defaults of the type
    ElevationReference(const host::ElementRecord& record, const ElementLink& link);
    ElevationReference(const ElevationReference& other);
    ~ElevationReference() override;

    std::unique_ptr<Element> clone() const override;
    // The host's defaults of the link's type and variation (zeros when it has none), to be written.
    virtual void loadDefaults();
};

}   // namespace tarnwick
