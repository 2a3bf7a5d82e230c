#include "Skellowing/SkellowingPrefs.h"

#include <stdexcept>

#include "Environment/Host.h"
#include "Foundation/XMLTypeProxy.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::String;

// In kind order; "legace" is how stored projects spell it.
constexpr std::string_view kTags[kSourceKinds] = {"ifcSource", "dwgSource", "gsmSource", "missingSource",
                                                  "legaceSource"};

std::size_t indexOf(ObjectMapType kind) {
    const auto index = static_cast<std::size_t>(kind);
    if (index >= kSourceKinds) throw std::out_of_range("skellow::SkellowingPrefs: no such source kind");
    return index;
}

String defaultName() {
    return tarnwick::Host::getString(strings::kConfigurations, strings::kDefaultConfiguration);
}

}   // namespace

SkellowingPrefs::SkellowingPrefs() : Package("skellowingPrefs") { reset(); }

SkellowingPrefs::SkellowingPrefs(const SkellowingPrefs& other) : Package(other) {
    for (std::size_t i = 0; i < kSourceKinds; ++i) sources_[i] = other.sources_[i];
}

SkellowingPrefs::~SkellowingPrefs() = default;

std::unique_ptr<tarnwick::XMLAssembly> SkellowingPrefs::clone() const {
    return std::make_unique<SkellowingPrefs>(*this);
}

void SkellowingPrefs::clear() {
    Package::clear();
    reset();
}

const String& SkellowingPrefs::getSource(ObjectMapType kind) const { return sources_[indexOf(kind)]; }

void SkellowingPrefs::setSource(const String& name, ObjectMapType kind) { sources_[indexOf(kind)] = name; }

void SkellowingPrefs::reset() {
    const String name = defaultName();
    for (String& source : sources_) source = name;
}

std::span<const std::string_view> SkellowingPrefs::getChildTags() const { return kTags; }

std::unique_ptr<tarnwick::XMLProxy> SkellowingPrefs::makeChildProxy(std::size_t index) {
    if (index >= kSourceKinds) return nullptr;
    return std::make_unique<tarnwick::XMLTypeProxy<String>>(sources_[index], kTags[index]);
}

}   // namespace skellow
