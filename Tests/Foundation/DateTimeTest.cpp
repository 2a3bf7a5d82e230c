#include "Foundation/DateTime.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

DateTime makeTime(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour = 0,
                  std::uint16_t minute = 0, std::uint16_t second = 0, std::uint16_t millisecond = 0) {
    DateTime time;
    EXPECT_TRUE(time.set(year, month, /*weekday=*/0, day, hour, minute, second, millisecond));
    return time;
}

// Sets the process time zone for one test and puts the old one back.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

TEST(DateTime, StartsAtTheFirstDayOfYearZero) {
    const DateTime time;
    std::uint16_t year = 9, month = 9, day = 9;
    time.getDate(year, month, day);
    EXPECT_EQ(year, 0);
    EXPECT_EQ(month, 1);
    EXPECT_EQ(day, 1);
    EXPECT_EQ(time.format(), "0000-01-01 00:00:00");
    EXPECT_EQ(time.getWeekday(), 6);   // a Saturday, as setDate works it out
    EXPECT_EQ(time, makeTime(0, 1, 1));
}

TEST(DateTime, SetDateClearsTheTimeAndClearTimeKeepsTheDate) {
    DateTime time = makeTime(2024, 5, 7, 9, 3, 4, 500);
    ASSERT_TRUE(time.setDate(1999, 12, 31));
    EXPECT_EQ(time.format(), "1999-12-31 00:00:00");
    EXPECT_EQ(time.getWeekday(), 5);           // a Friday
    EXPECT_EQ(time, makeTime(1999, 12, 31));   // the milliseconds went too

    time = makeTime(2024, 5, 7, 9, 3, 4, 500);
    time.clearTime();
    EXPECT_EQ(time, makeTime(2024, 5, 7));
}

TEST(DateTime, RefusesFieldsOutOfRangeAndKeepsItsValue) {
    struct Case {
        std::uint16_t year, month, weekday, day, hour, minute, second, millisecond;
    };
    const Case cases[] = {
        {2024, 0, 1, 10, 0, 0, 0, 0},  {2024, 13, 1, 10, 0, 0, 0, 0},  {2024, 1, 1, 0, 0, 0, 0, 0},
        {2024, 1, 1, 32, 0, 0, 0, 0},  {2023, 2, 1, 29, 0, 0, 0, 0},   {2024, 4, 1, 31, 0, 0, 0, 0},
        {2024, 1, 7, 10, 0, 0, 0, 0},  {2024, 1, 1, 10, 24, 0, 0, 0},  {2024, 1, 1, 10, 0, 60, 0, 0},
        {2024, 1, 1, 10, 0, 0, 60, 0}, {2024, 1, 1, 10, 0, 0, 0, 1000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.year << '-' << c.month << '-' << c.day << " wd " << c.weekday << ' ' << c.hour
                     << ':' << c.minute << ':' << c.second << '.' << c.millisecond);
        DateTime time = makeTime(2020, 6, 15, 12, 30, 45);
        EXPECT_FALSE(time.set(c.year, c.month, c.weekday, c.day, c.hour, c.minute, c.second, c.millisecond));
        EXPECT_EQ(time.format(), "2020-06-15 12:30:45");
        if (c.hour == 0 && c.minute == 0 && c.second == 0 && c.millisecond == 0 && c.weekday < 7) {
            EXPECT_FALSE(time.setDate(c.year, c.month, c.day));
            EXPECT_EQ(time.format(), "2020-06-15 12:30:45");
        }
    }
    DateTime leap;
    EXPECT_TRUE(leap.setDate(2024, 2, 29));
    EXPECT_EQ(leap.getWeekday(), 4);   // a Thursday
    EXPECT_TRUE(leap.setDate(2000, 2, 29));
    EXPECT_FALSE(leap.setDate(1900, 2, 29));
}

TEST(DateTime, ComparesFieldByFieldDownToTheMillisecond) {
    const DateTime ordered[] = {makeTime(0, 1, 1),
                                makeTime(1999, 12, 31, 23, 59, 59, 999),
                                makeTime(2000, 1, 1),
                                makeTime(2000, 1, 1, 0, 0, 0, 1),
                                makeTime(2000, 1, 1, 0, 0, 1),
                                makeTime(2000, 1, 1, 0, 1),
                                makeTime(2000, 1, 1, 1),
                                makeTime(2000, 1, 2),
                                makeTime(2000, 2, 1),
                                makeTime(2001, 1, 1)};
    for (std::size_t i = 0; i < std::size(ordered); ++i)
        for (std::size_t j = 0; j < std::size(ordered); ++j) {
            SCOPED_TRACE(testing::Message() << i << " vs " << j);
            const int expected = i < j ? -1 : (i > j ? 1 : 0);
            EXPECT_EQ(ordered[i].compare(ordered[j]), expected);
            EXPECT_EQ(ordered[i] < ordered[j], i < j);
            EXPECT_EQ(ordered[i] == ordered[j], i == j);
        }
}

TEST(DateTime, FormatsWithAndWithoutColons) {
    const DateTime time = makeTime(987, 5, 7, 9, 3, 4, 999);
    EXPECT_EQ(time.format(), "0987-05-07 09:03:04");
    EXPECT_EQ(time.formatForFileName(), "0987-05-07 09.03.04");
    EXPECT_EQ(makeTime(65535, 12, 31, 23, 59, 59).format(), "65535-12-31 23:59:59");
    EXPECT_LT(makeTime(32767, 12, 31).compare(makeTime(32768, 1, 1)), 0);   // past std::chrono's years
}

TEST(DateTime, ParsesWhatItFormatsAndADateAlone) {
    DateTime time;
    ASSERT_TRUE(time.parse("2024-05-07 09:03:04"));
    EXPECT_EQ(time, makeTime(2024, 5, 7, 9, 3, 4));
    ASSERT_TRUE(time.parse("1999-12-31"));
    EXPECT_EQ(time, makeTime(1999, 12, 31));
    const DateTime sample = makeTime(2020, 2, 29, 23, 59, 58);
    ASSERT_TRUE(time.parse(sample.format()));
    EXPECT_EQ(time, sample);
}

TEST(DateTime, RefusesTextThatIsNotADateAndKeepsItsValue) {
    const char* inputs[] = {"",
                            "2024",
                            "2024-5-07",
                            "2024-05-7",
                            "24-05-07",
                            "+024-05-07",
                            "2024/05/07",
                            "2024-05-07T09:03:04",
                            "2024-05-07 ",
                            "2024-05-07 09:03",
                            "2024-05-07 09:03:04 ",
                            "2024-05-07 09:03:04.5",
                            "2024-13-01",
                            "2023-02-29",
                            "2024-05-07 24:00:00",
                            "2024-05-07 09:60:00",
                            "2024-05-07 09:03:60",
                            " 2024-05-07"};
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        DateTime time = makeTime(2020, 6, 15, 12, 30, 45);
        EXPECT_FALSE(time.parse(input));
        EXPECT_EQ(time.format(), "2020-06-15 12:30:45");
    }
}

TEST(DateTime, NowIsTheLocalTimeWithItsZone) {
    const ZoneScope zone("UTC-02:00");   // POSIX spelling of two hours east of UTC
    const auto textOf = [](std::time_t seconds) {
        std::tm local{};
        localtime_r(&seconds, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        return std::string(text);
    };
    // Bracketed with the clock setToNow reads: std::time reads a coarser one, which can still show the
    // last second when this one has already turned. Read again if the clock was set back in between.
    const auto secondsNow = [] {
        return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    };
    std::time_t before = 0, after = 0;
    DateTime now;
    do {
        before = secondsNow();
        now.setToNow();
        after = secondsNow();
    } while (after < before);
    const std::string text(now.format().getView());
    EXPECT_TRUE(text == textOf(before) || text == textOf(after)) << text;

    // The same wall-clock text in zone 0 names an instant two hours later.
    DateTime sameText;
    ASSERT_TRUE(sameText.parse(now.format()));
    EXPECT_LT(now.compare(sameText), 0);
    DateTime twoHoursBefore;
    ASSERT_TRUE(twoHoursBefore.parse(textOf(before - 2 * 3600 - 1).c_str()));
    EXPECT_GT(now.compare(twoHoursBefore), 0);
}

}   // namespace
}   // namespace tarnwick
