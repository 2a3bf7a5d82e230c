#include "Project/City.h"

namespace tarnwick {

City::City() : RecordAttribute(AttributeLink(), AttributeType::city) { static_cast<void>(record()); }

City::City(const AttributeLink& link) : RecordAttribute(link, AttributeType::city) {}

City::City(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::city) {}

City::City(const City& other) = default;
City& City::operator=(const City& other) = default;
City::~City() = default;

std::unique_ptr<Attribute> City::create(const host::AttributeDefinition& definition,
                                        const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::city)) return nullptr;
    return std::make_unique<City>(definition, link);
}

std::unique_ptr<Attribute> City::clone() const { return std::make_unique<City>(*this); }

AttributeExtensionPtr City::copyExtendedDefinition() const { return nullptr; }

void City::resetRecord(CityRecord& record, bool failed) const {
    record = CityRecord{};
    record.header.type = toByte(AttributeType::city);
    if (!failed) setLinkWhileLoading(AttributeLink());   // from now on a new, unlinked city
}

}   // namespace tarnwick
