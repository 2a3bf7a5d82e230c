#include "Project/ComplexProfile.h"

namespace tarnwick {

ComplexProfile::ComplexProfile() : RecordAttribute(AttributeLink(), AttributeType::complexProfile) {
    static_cast<void>(record());
}

ComplexProfile::ComplexProfile(const AttributeLink& link)
    : RecordAttribute(link, AttributeType::complexProfile) {}

ComplexProfile::ComplexProfile(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::complexProfile) {}

ComplexProfile::ComplexProfile(const ComplexProfile& other) = default;
ComplexProfile& ComplexProfile::operator=(const ComplexProfile& other) = default;
ComplexProfile::~ComplexProfile() = default;

std::unique_ptr<Attribute> ComplexProfile::create(const host::AttributeDefinition& definition,
                                                  const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::complexProfile)) return nullptr;
    return std::make_unique<ComplexProfile>(definition, link);
}

std::unique_ptr<Attribute> ComplexProfile::clone() const { return std::make_unique<ComplexProfile>(*this); }

AttributeExtensionPtr ComplexProfile::copyExtendedDefinition() const { return nullptr; }

void ComplexProfile::resetRecord(ComplexProfileRecord& record, bool) const {
    record = ComplexProfileRecord{};
    record.header.type = toByte(AttributeType::complexProfile);
}

}   // namespace tarnwick
