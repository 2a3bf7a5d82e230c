// ParametricSource: a parametric (GDL) library part in memory: the ComponentSource (record, location,
// link), the part's sections, its parameters and the host's details block of the part. The Library
// makes its kinds through the source creators and writes changed or new parts back (Library::savePart).
#pragma once

#include <cstdint>
#include <memory>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Foundation/MemoryBlock.h"
#include "LibraryParts/ComponentResourceMemo.h"
#include "Project/ComponentSource.h"

namespace tarnwick {

// Owned by the caller; copy through clone(). Sections, parameters and details load on first use and
// changes live in memory until the Library saves the part. The 'PARD' section is never kept as bytes:
// it is built from the parameters when the part is written.
//
// The parameters are the host's parameter records of the part (the default ones, read through
// Library::getParameters) with the part's A and B sizes.
class ParametricSource : public ComponentSource, public ComponentResourceMemo {
public:
    ParametricSource(const host::LibraryPartRecord& record, const ComponentLink& link);
    explicit ParametricSource(const ComponentLink& link);   // a part not yet in the host
    // Copies the source, the sections and the details; the parameters are read again on first use.
    ParametricSource(const ParametricSource& other);
    ~ParametricSource() override;

    std::int32_t getIndex() const override { return ComponentSource::getIndex(); }

    // The 3200-byte details block: zero, and filled by the host when the source is valid, on the first
    // call; later calls give the same block.
    host::LibraryPartDetails& getDetails();

    // The handle of the part's parameter records, still owned by the source; null when the part has none
    // or they cannot be read.
    host::Handle getParameters();
    // A new 'PARD' section built by the host from the parameters and A and B; empty when that fails.
    MemoryBlock makeParameterSection();

protected:
    bool keepsParameterSection() const override { return true; }

private:
    void loadParameters();

    std::unique_ptr<host::LibraryPartDetails> details_;   // none until first asked for
    host::Handle parameters_ = nullptr;   // owned; released with the host's parameter disposal
    double a_ = 0.0;                      // the part's A and B sizes, read with the parameters
    double b_ = 0.0;
    bool parametersLoaded_ = false;
};

}   // namespace tarnwick
