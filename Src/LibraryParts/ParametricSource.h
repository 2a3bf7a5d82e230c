// ParametricSource: a parametric (GDL) library part in memory: the ComponentSource (record, location,
// link), the part's sections, its parameters and the host's details block of the part. The Library
// makes its kinds through the source creators and writes changed or new parts back (Library::savePart).
#pragma once

#include <cstdint>
#include <memory>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Foundation/MemoryBlock.h"
#include "LibraryParts/ComponentParameterMemo.h"
#include "LibraryParts/ComponentResourceMemo.h"
#include "Project/ComponentSource.h"

namespace tarnwick {

// Owned by the caller; copy through clone(). Sections, parameters and details load on first use and
// changes live in memory until the Library saves the part. The 'PARD' section is never kept as bytes:
// it is built from the parameters when the part is written.
//
// The parameters are the part's default parameters (read through Library::getParameters on first use)
// as a parameter memo, with the part's A and B sizes.
class ParametricSource : public ComponentSource, public ComponentParameterMemo, public ComponentResourceMemo {
public:
    ParametricSource(const host::LibraryPartRecord& record, const ComponentLink& link);
    explicit ParametricSource(const ComponentLink& link);   // a part not yet in the host
    // Copies the source, the parameters with their default sizes, the sections and the details.
    ParametricSource(const ParametricSource& other);
    ~ParametricSource() override;

    using ComponentSource::isValid;   // the source's validity; the memo is always valid
    std::int32_t getIndex() const override { return ComponentSource::getIndex(); }
    // A section was set, or the parameters were loaded (the list is handed out for change in place).
    bool isChanged() const override { return hasChangedSections() || isLoaded(); }

    // The parameter memo's side.
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;
    ComponentLink getComponentLink() const override { return getLink(); }
    void prepareWrite() override {}
    void setWidth(double width) override;   // the stored default too, then "A"
    void setDepth(double depth) override;
    // Editing the part's own parameters: the flag set, the library index in the record.
    void fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) override;

    // The 3200-byte details block: zero, and filled by the host when the source is valid, on the first
    // call; later calls give the same block.
    host::LibraryPartDetails& getDetails();

    // A handle of the part's parameter records as they are now, still owned by the source (until the
    // next call or the source goes); null when there are none. Throws when memory fails.
    host::Handle getParameterHandle();
    // A new 'PARD' section built by the host from the parameters and A and B; empty when that fails, and
    // for a part in the host whose parameters could not be read (its section must not be emptied).
    MemoryBlock makeParameterSection();

protected:
    bool keepsParameterSection() const override { return true; }
    void loadParameterSection() override { ensureLoaded(); }

private:
    std::unique_ptr<host::LibraryPartDetails> details_;   // none until first asked for
    host::Handle parameterHandle_ = nullptr;   // owned; released with the host's parameter disposal
};

}   // namespace tarnwick
