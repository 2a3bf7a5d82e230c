#include "Foundation/DateTime.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace tarnwick {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
constexpr std::int64_t kMillisecondsPerMinute = 60'000;

bool isLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool isValidDate(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    constexpr std::uint16_t kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const int last = kDaysInMonth[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
    return day <= last;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar, for any 16-bit year (std::chrono::year
// stops at 32767). Counts from March so that the leap day ends the year; eras are 400 years.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::uint16_t weekdayOf(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    const std::int64_t days = daysFromCivil(year, month, day);
    return static_cast<std::uint16_t>(((days + 4) % 7 + 7) % 7);   // 1970-01-01 was a Thursday (4)
}

// One fixed-width unsigned field of `width` digits at `at`; advances `at`. False on anything else.
bool readField(std::string_view text, std::size_t& at, std::size_t width, std::uint16_t& value) {
    if (at + width > text.size()) return false;
    for (std::size_t i = at; i < at + width; ++i)
        if (text[i] < '0' || text[i] > '9') return false;   // from_chars would also take a sign
    std::from_chars(text.data() + at, text.data() + at + width, value);
    at += width;
    return true;
}

bool readChar(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

}   // namespace

bool DateTime::setDate(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    if (!isValidDate(year, month, day)) return false;
    year_ = year;
    month_ = month;
    day_ = day;
    weekday_ = weekdayOf(year, month, day);
    clearTime();
    return true;
}

void DateTime::getDate(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day) const {
    year = year_;
    month = month_;
    day = day_;
}

void DateTime::clearTime() { hour_ = minute_ = second_ = millisecond_ = 0; }

bool DateTime::set(std::uint16_t year, std::uint16_t month, std::uint16_t weekday, std::uint16_t day,
                   std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                   std::uint16_t millisecond) {
    if (!isValidDate(year, month, day) || weekday > 6 || hour > 23 || minute > 59 || second > 59 ||
        millisecond > 999)
        return false;
    year_ = year;
    month_ = month;
    weekday_ = weekday;
    day_ = day;
    hour_ = hour;
    minute_ = minute;
    second_ = second;
    millisecond_ = millisecond;
    return true;
}

void DateTime::setToNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    set(static_cast<std::uint16_t>(local.tm_year + 1900), static_cast<std::uint16_t>(local.tm_mon + 1),
        static_cast<std::uint16_t>(local.tm_wday), static_cast<std::uint16_t>(local.tm_mday),
        static_cast<std::uint16_t>(local.tm_hour), static_cast<std::uint16_t>(local.tm_min),
        static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec),   // a leap second reads as :59
        static_cast<std::uint16_t>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000));
    zone_ = static_cast<std::int16_t>(local.tm_gmtoff / 60);
}

std::int64_t DateTime::toUtcMilliseconds() const {
    const std::int64_t days = daysFromCivil(year_, month_, day_);
    const std::int64_t timeOfDay = ((hour_ * 60 + minute_) * 60 + second_) * 1000 + millisecond_;
    return days * kMillisecondsPerDay + timeOfDay - zone_ * kMillisecondsPerMinute;
}

int DateTime::compare(const DateTime& other) const {
    const std::int64_t a = toUtcMilliseconds();
    const std::int64_t b = other.toUtcMilliseconds();
    return a < b ? -1 : (a > b ? 1 : 0);
}

String DateTime::format() const {
    char text[64];   // room for any 16-bit fields
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{year_}, unsigned{month_},
                  unsigned{day_}, unsigned{hour_}, unsigned{minute_}, unsigned{second_});
    return String(text);
}

String DateTime::formatForFileName() const {
    char text[64];   // room for any 16-bit fields
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u.%02u.%02u", unsigned{year_}, unsigned{month_},
                  unsigned{day_}, unsigned{hour_}, unsigned{minute_}, unsigned{second_});
    return String(text);
}

bool DateTime::parse(const String& text) {
    const std::string_view in = text.getView();
    std::size_t at = 0;
    std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readField(in, at, 4, year) || !readChar(in, at, '-') || !readField(in, at, 2, month) ||
        !readChar(in, at, '-') || !readField(in, at, 2, day))
        return false;
    if (at < in.size() &&
        (!readChar(in, at, ' ') || !readField(in, at, 2, hour) || !readChar(in, at, ':') ||
         !readField(in, at, 2, minute) || !readChar(in, at, ':') || !readField(in, at, 2, second)))
        return false;
    if (at != in.size()) return false;
    if (!set(year, month, isValidDate(year, month, day) ? weekdayOf(year, month, day) : 0, day, hour, minute,
             second, 0))
        return false;
    zone_ = 0;
    return true;
}

}   // namespace tarnwick
