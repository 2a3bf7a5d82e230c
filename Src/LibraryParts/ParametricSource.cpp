#include "LibraryParts/ParametricSource.h"

#include "Environment/HostApi.h"
#include "Project/Library.h"

namespace tarnwick {

ParametricSource::ParametricSource(const host::LibraryPartRecord& record, const ComponentLink& link)
    : ComponentSource(record, link) {}

ParametricSource::ParametricSource(const ComponentLink& link) : ComponentSource(link) {}

ParametricSource::ParametricSource(const ParametricSource& other)
    : ComponentSource(other),
      ComponentResourceMemo(other),
      details_(other.details_ ? std::make_unique<host::LibraryPartDetails>(*other.details_) : nullptr) {}

ParametricSource::~ParametricSource() {
    if (parameters_ != nullptr) hostApi().call<host::HostSlot::disposeParameters>(&parameters_);
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

host::Handle ParametricSource::getParameters() {
    if (!parametersLoaded_) loadParameters();
    return parameters_;
}

MemoryBlock ParametricSource::makeParameterSection() {
    const host::Handle parameters = getParameters();
    host::Handle section = nullptr;
    const std::uint32_t result = hostApi().call<host::HostSlot::makeParameterSection>(
        getRecord(), parameters, a_, b_, /*flags=*/0, &section, /*reserved=*/nullptr);
    MemoryBlock block(section);
    if (result != 0) block.clear();
    return block;
}

void ParametricSource::loadParameters() {
    parametersLoaded_ = true;
    Library* library = getLink().getLibrary();
    if (library == nullptr) return;   // a part of no library has no parameters to read
    std::int32_t count = 0;
    parameters_ = library->getParameters(getLink(), &count, &a_, &b_);
}

}   // namespace tarnwick
