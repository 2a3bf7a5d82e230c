#include "Styles/PresetParameter.h"

#include "Foundation/XMLTypeProxy.h"

namespace tarnwick {
namespace {
constexpr std::string_view kChildTags[] = {"name", "row", "column"};
}   // namespace

PresetParameter::PresetParameter(const String& name, unsigned long long row)
    : XMLAssembly(kTag), name(name), row(row) {}

PresetParameter::~PresetParameter() = default;

std::unique_ptr<XMLAssembly> PresetParameter::clone() const {
    return std::make_unique<PresetParameter>(*this);
}

void PresetParameter::clear() {
    name.clear();
    row = 0;
    column = 0;
    XMLAssembly::clear();
}

std::span<const std::string_view> PresetParameter::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> PresetParameter::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<String>>(name, kChildTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<XMLTypeProxy<unsigned long long>>(row, kChildTags[1]);
        case 2:
            return std::make_unique<XMLTypeProxy<unsigned long long>>(column, kChildTags[2]);
        default:
            return nullptr;
    }
}

}   // namespace tarnwick
