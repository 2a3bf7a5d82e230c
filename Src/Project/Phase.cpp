#include "Project/Phase.h"

#include "Environment/Host.h"

namespace tarnwick {
namespace {
constexpr std::int16_t kFrameworkStrings = 32700;
// Phases 1 to 3 are named by items 23 to 25 of the framework's texts ("Existing", "Demolished",
// "Proposed"); items 1 to 22 are texts of other things, never phase names.
constexpr std::int32_t kFirstPhaseItem = 22;
constexpr std::int32_t kNamedPhases = 3;
}   // namespace

Phase::Phase() : Attribute(AttributeLink(), AttributeType::none) {}
Phase::Phase(const AttributeLink& link) : Attribute(link, AttributeType::none) {}
Phase::Phase(const Phase& other) = default;
Phase& Phase::operator=(const Phase& other) = default;
Phase::~Phase() = default;

std::unique_ptr<Attribute> Phase::clone() const { return std::make_unique<Phase>(*this); }

String Phase::getName() const {
    const std::int32_t index = getIndex();
    if (index < 1 || index > kNamedPhases) return String();
    return Host::getString(kFrameworkStrings, kFirstPhaseItem + index);
}

std::unique_ptr<host::AttributeDefinition> Phase::copyDefinition() const { return nullptr; }

AttributeExtensionPtr Phase::copyExtendedDefinition() const { return nullptr; }

}   // namespace tarnwick
