// DateTime: a calendar date and time of day with a time zone, as the host's time records hold them.
#pragma once

#include <cstdint>

#include "Foundation/String.h"

namespace tarnwick {

// A plain value; copy freely. Always holds a valid proleptic Gregorian date and time: the setters refuse
// (false, nothing changed) fields out of range, so a corrupt host record cannot make a date that does not
// exist. The zone is the offset of the time from UTC in minutes (east positive); times in different zones
// compare by the instant they name.
class DateTime {
public:
    DateTime() = default;   // 0000-01-01 00:00:00.000 in zone 0

    bool setDate(std::uint16_t year, std::uint16_t month, std::uint16_t day);   // also clears the time
    void getDate(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day) const;
    void clearTime();   // 00:00:00.000, the date kept
    // Weekday 0 is Sunday. False when any field is out of range (the weekday is not checked against the
    // date).
    bool set(std::uint16_t year, std::uint16_t month, std::uint16_t weekday, std::uint16_t day,
             std::uint16_t hour, std::uint16_t minute, std::uint16_t second, std::uint16_t millisecond);
    void setToNow();                                        // the local time of the machine, with its zone
    std::uint16_t getWeekday() const { return weekday_; }   // 0 Sunday; setDate and parse work it out

    int compare(const DateTime& other) const;   // < 0, 0 or > 0 by instant; milliseconds count
    bool operator==(const DateTime& other) const { return compare(other) == 0; }
    bool operator<(const DateTime& other) const { return compare(other) < 0; }

    String format() const;              // "YYYY-MM-DD HH:MM:SS" in the time's own zone
    String formatForFileName() const;   // "YYYY-MM-DD HH.MM.SS": no ':' that a file name cannot hold
    // Reads what format() writes, or a date alone ("YYYY-MM-DD", time cleared); the zone becomes 0.
    // False, nothing changed, on any other text.
    bool parse(const String& text);

private:
    std::int64_t toUtcMilliseconds() const;

    std::uint16_t year_ = 0;
    std::uint16_t month_ = 1;
    std::uint16_t day_ = 1;
    std::uint16_t weekday_ = 6;   // 0000-01-01 fell on a Saturday
    std::uint16_t hour_ = 0;
    std::uint16_t minute_ = 0;
    std::uint16_t second_ = 0;
    std::uint16_t millisecond_ = 0;
    std::int16_t zone_ = 0;
};

}   // namespace tarnwick
