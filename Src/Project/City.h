// City: the wrapper of one host city (a project location): latitude, longitude and time zone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host city record as a city keeps it. The coordinates are whole minutes of arc.
struct CityRecord {
    host::AttributeHeader header;
    std::int16_t latitude;
    std::int16_t longitude;
    std::int16_t timeZone;   // carried
    std::uint8_t reserved302[2];
};
static_assert(sizeof(CityRecord) == 304);
static_assert(offsetof(CityRecord, latitude) == 296);
static_assert(offsetof(CityRecord, timeZone) == 300);

// An attribute of type 7; copy with clone. Every operation loads the record first. The record's whole
// minutes are what the host keeps; the degrees read back are minutes / 60, with their fraction (45.5
// degrees are stored as 2730 minutes and read back as 45.5, not 45).
class City : public RecordAttribute<CityRecord> {
public:
    City();   // a new city: reset record, empty link
    explicit City(const AttributeLink& link);
    City(const host::AttributeDefinition& definition, const AttributeLink& link);
    City(const City& other);
    City& operator=(const City& other);
    ~City() override;

    // The attribute creator for type 7: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::city; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null

    double getLatitude() const { return record().latitude / 60.0; }                // degrees
    double getLongitude() const { return record().longitude / 60.0; }              // degrees
    void setLatitude(double degrees) { record().latitude = minutesOf(degrees); }   // truncated minutes
    void setLongitude(double degrees) { record().longitude = minutesOf(degrees); }
    std::int16_t getTimeZone() const { return record().timeZone; }
    void setTimeZone(std::int16_t value) { record().timeZone = value; }

protected:
    void resetRecord(CityRecord& record, bool failed) const override;

private:
    static std::int16_t minutesOf(double degrees) { return static_cast<std::int16_t>(degrees * 60.0); }
};

}   // namespace tarnwick
