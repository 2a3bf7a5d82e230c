#include "Foundation/ActivityLog.h"

#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDebug.h>

#include "Foundation/String.h"

using tarnwick::ActivityLog;
using tarnwick::String;

namespace {

std::vector<std::string> texts(const ActivityLog& log) {
    std::vector<std::string> out;
    for (const ActivityLog::Entry& entry : log.getEntries()) out.emplace_back(entry.text.getView());
    return out;
}

}   // namespace

TEST(ActivityLog, KeepsTheLastEntriesOldestFirst) {
    ActivityLog log(3);
    EXPECT_TRUE(log.getEntries().empty());
    const char* const added[] = {"one", "two", "three", "four", "five"};
    const std::vector<std::vector<std::string>> expected = {{"one"},
                                                            {"one", "two"},
                                                            {"one", "two", "three"},
                                                            {"two", "three", "four"},
                                                            {"three", "four", "five"}};
    for (std::size_t i = 0; i < 5; ++i) {
        log.add(String("kind"), String(added[i]));
        EXPECT_EQ(texts(log), expected[i]) << i;
    }
    EXPECT_EQ(log.getEntries().front().kind, "kind");
    // Each entry keeps the time it was added (not compared: the wall clock may be set back between two).
    for (const ActivityLog::Entry& entry : log.getEntries())
        EXPECT_NE(entry.time, ActivityLog::Clock::time_point{});
    log.clear();
    EXPECT_TRUE(log.getEntries().empty());
    log.add(String("kind"), String("six"));
    EXPECT_EQ(texts(log), std::vector<std::string>{"six"});
}

TEST(ActivityLog, WritesEveryEntryToTheDebugOutputAsTimeTabText) {
    host::clearDebugLines();
    ActivityLog log(0);   // keeps nothing, still writes
    log.add(String("transaction"), String("RUN ERROR: -2130313215 in Skellow"));
    const auto lines = host::debugLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\t"
                                                      "RUN ERROR: -2130313215 in Skellow")))
        << lines[0];
    EXPECT_TRUE(log.getEntries().empty());
    host::clearDebugLines();
}
