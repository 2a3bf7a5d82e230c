#include <HostSystem.h>

#include <sys/utsname.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace host;

TEST(HostSystem, FindsOpenWindowsByExactTitleUntilTheyClose) {
    const WindowId report = openWindow("Report");
    const WindowId other = openWindow("Report 2");
    const WindowId again = openWindow("Report");
    EXPECT_NE(report, 0u);
    EXPECT_NE(other, report);
    EXPECT_NE(again, report);
    EXPECT_EQ(findWindowByTitle("Report"), report);   // the first of two alike
    EXPECT_EQ(findWindowByTitle("Report 2"), other);
    EXPECT_EQ(findWindowByTitle("report"), 0u);
    EXPECT_EQ(findWindowByTitle("Rep"), 0u);
    closeWindow(report);
    EXPECT_EQ(findWindowByTitle("Report"), again);
    closeWindow(again);
    closeWindow(again);   // closing twice, or closing nothing, does no harm
    closeWindow(0);
    EXPECT_EQ(findWindowByTitle("Report"), 0u);
    closeWindow(other);
    const WindowId reopened = openWindow("Report");
    EXPECT_NE(reopened, report);   // ids are not reused
    closeWindow(reopened);
}

TEST(HostSystem, ConvertsTimeValuesFromItsEpochAndRefusesEarlierOnes) {
    struct Case {
        std::int32_t time;
        TimeRecord expected;   // year, month, day, hour, minute, second, weekday
    };
    const Case cases[] = {
        {0, {1970, 1, 1, 0, 0, 0, 4}},
        {951782400 + 3661, {2000, 2, 29, 1, 1, 1, 2}},   // a leap day
        {2147483647, {2038, 1, 19, 3, 14, 7, 2}},        // the last second a value can hold
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        TimeRecord record{};
        ASSERT_TRUE(timeRecord(c.time, record));
        const auto fields = [](const TimeRecord& r) {
            return std::vector<int>{r.year, r.month, r.day, r.hour, r.minute, r.second, r.weekday};
        };
        EXPECT_EQ(fields(record), fields(c.expected));
    }
    TimeRecord untouched{};
    untouched.year = 1999;
    EXPECT_FALSE(timeRecord(-1, untouched));
    EXPECT_EQ(untouched.year, 1999);
}

TEST(HostSystem, DescribesThePlatformWithSystemAndLocale) {
    const char* const old = std::getenv("LANG");
    const std::optional<std::string> oldLang = old ? std::optional<std::string>(old) : std::nullopt;
    const char* const oldAll = std::getenv("LC_ALL");
    const std::optional<std::string> oldLcAll = oldAll ? std::optional<std::string>(oldAll) : std::nullopt;
    ::unsetenv("LC_ALL");
    ::setenv("LANG", "de_CH.UTF-8", 1);
    const std::string description = platformDescription();
    oldLang ? ::setenv("LANG", oldLang->c_str(), 1) : ::unsetenv("LANG");
    if (oldLcAll) ::setenv("LC_ALL", oldLcAll->c_str(), 1);

    utsname name{};
    ASSERT_EQ(uname(&name), 0);
    EXPECT_EQ(description,
              std::string(name.sysname) + " " + name.release + " " + name.machine + ", locale de_CH.UTF-8");
}

}   // namespace
