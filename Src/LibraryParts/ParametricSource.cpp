#include "LibraryParts/ParametricSource.h"

#include "Environment/HostApi.h"
#include "LibraryParts/LengthParameter.h"
#include "Project/ElementMemoStore.h"
#include "Project/Library.h"

namespace tarnwick {
namespace {

// The value of a size parameter when the part has it as a length; else the stored default.
double sizeOr(tarnwick::ParameterList& parameters, const char* name, double fallback) {
    const auto* length = dynamic_cast<const LengthParameter*>(parameters.find(name));
    return length != nullptr && length->holdsCell(0, 0) ? length->get(0, 0) : fallback;
}

}   // namespace

ParametricSource::ParametricSource(const host::LibraryPartRecord& record, const ComponentLink& link)
    : ComponentSource(record, link) {}

ParametricSource::ParametricSource(const ComponentLink& link) : ComponentSource(link) {}

ParametricSource::ParametricSource(const ParametricSource& other)
    : ComponentSource(other),
      ComponentParameterMemo(other),
      ComponentResourceMemo(other),
      details_(other.details_ ? std::make_unique<host::LibraryPartDetails>(*other.details_) : nullptr) {}

ParametricSource::~ParametricSource() {
    if (parameterHandle_ != nullptr) hostApi().call<host::HostSlot::disposeParameters>(&parameterHandle_);
}

host::LibraryPartDetails& ParametricSource::getDetails() {
    if (!details_) {
        details_ = std::make_unique<host::LibraryPartDetails>();
        if (isValid() &&
            hostApi().call<host::HostSlot::getLibraryPartDetails>(getIndex(), details_.get()) != 0)
            *details_ = host::LibraryPartDetails{};   // what a failed call left is not the part's
    }
    return *details_;
}

// --- Parameters ------------------------------------------------------------------------------------
bool ParametricSource::load(std::uint64_t, std::unique_ptr<MemoStore>& store) {
    if (!store) {
        auto made = std::make_unique<ElementMemoStore>();
        if (!fetchDefaultSizes(*made, /*onlyOnce=*/false)) {
            // A new part has no parameters yet; one in the host whose defaults failed stays unloaded, so
            // that it is neither written back empty nor taken as having none.
            if (getIndex() == 0) setLoaded(true);
            return getIndex() == 0;
        }
        store = std::move(made);
    }
    if (isLoaded()) return true;
    return readParameters(*store);
}

void ParametricSource::setWidth(double width) {
    setDefaultWidth(width);
    ComponentParameterMemo::setWidth(width);
}

void ParametricSource::setDepth(double depth) {
    setDefaultDepth(depth);
    ComponentParameterMemo::setDepth(depth);
}

void ParametricSource::fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) {
    commit = true;
    record.libraryIndex = getIndex();
}

host::Handle ParametricSource::getParameterHandle() {
    getParameters().writeHandle(parameterHandle_);   // releases the one handed out before
    return parameterHandle_;
}

MemoryBlock ParametricSource::makeParameterSection() {
    tarnwick::ParameterList& parameters = getParameters();
    if (getIndex() != 0 && !isLoaded()) return MemoryBlock();
    const host::Handle handle = getParameterHandle();
    const double a = sizeOr(parameters, "A", getDefaultWidth());
    const double b = sizeOr(parameters, "B", getDefaultDepth());
    host::Handle section = nullptr;
    const std::uint32_t result = hostApi().call<host::HostSlot::makeParameterSection>(
        getRecord(), handle, a, b, /*flags=*/0, &section, /*reserved=*/nullptr);
    MemoryBlock block(section);
    if (result != 0) block.clear();
    return block;
}

}   // namespace tarnwick
