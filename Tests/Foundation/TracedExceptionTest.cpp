#include "Foundation/TracedException.h"

#include <exception>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include <HostDebug.h>
#include <HostSystem.h>

#include "Foundation/ActivityLog.h"
#include "Foundation/String.h"

using tarnwick::ActivityLog;
using tarnwick::String;
using tarnwick::TracedException;

namespace {

// Unregisters the logs however the test ends, so no other test lists a destroyed log.
struct RegisteredLogs {
    RegisteredLogs(const ActivityLog* transactions, const ActivityLog* events) {
        TracedException::setReportLogs(transactions, events);
    }
    ~RegisteredLogs() { TracedException::setReportLogs(nullptr, nullptr); }
};

[[noreturn]] void throwFromHere() { throw TracedException("out_of_range", "GableMemo::getGable"); }

// The lines of a section: those after its heading, up to the next empty line.
std::vector<std::string> sectionLines(const std::string& report, const std::string& heading) {
    std::vector<std::string> lines;
    auto at = report.find("\n" + heading + "\n");
    if (at == std::string::npos) return lines;
    at += heading.size() + 2;
    while (at < report.size() && report[at] != '\n') {
        const auto end = report.find('\n', at);
        lines.push_back(report.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

}   // namespace

TEST(TracedException, IsCaughtAsAStandardExceptionWithKindAndPlace) {
    try {
        throwFromHere();
    } catch (const std::exception& caught) {
        EXPECT_STREQ(caught.what(), "out_of_range in GableMemo::getGable");
        const auto* traced = dynamic_cast<const TracedException*>(&caught);
        ASSERT_NE(traced, nullptr);
        EXPECT_EQ(traced->getKind(), "out_of_range");
        EXPECT_EQ(traced->getPlace(), "GableMemo::getGable");
        EXPECT_FALSE(traced->getStack().empty());
    }
    const TracedException copy = TracedException("bad_alloc", "tarnwick::allocatePtr");
    const TracedException copied(copy);   // thrown by value: copies keep everything
    EXPECT_STREQ(copied.what(), "bad_alloc in tarnwick::allocatePtr");
    EXPECT_EQ(copied.getStack(), copy.getStack());
}

TEST(TracedException, ReportHasItsSectionsInOrder) {
    const TracedException exception("unknown", "InterfacePanel::broadcastEvent (fall-through to last catch)");
    const std::string report(exception.getReport().getView());
    const char* const headings[] = {
        "EXCEPTION REPORT\n", "\nTime: ",     "\nHost: ",         "\nPlatform: ",
        "\nType: unknown\n",  "\nMessage:\n", "\nStack Trace:\n", "\nRecent Transactions:\n",
        "\nRecent Events:\n"};
    std::size_t last = 0;
    for (const char* heading : headings) {
        const auto at = report.find(heading, last);
        ASSERT_NE(at, std::string::npos) << heading;
        EXPECT_GE(at, last) << heading;
        last = at;
    }
    EXPECT_EQ(report.rfind("EXCEPTION REPORT\n", 0), 0u);
    EXPECT_NE(report.find("Host: " + host::hostDescription() + "\n"), std::string::npos);
    EXPECT_NE(report.find("Platform: " + host::platformDescription() + "\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(report, std::regex("\nTime: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")));
    EXPECT_EQ(
        sectionLines(report, "Message:"),
        std::vector<std::string>{"unknown in InterfacePanel::broadcastEvent (fall-through to last catch)"});
    EXPECT_EQ(sectionLines(report, "Stack Trace:"), exception.getStack());
    EXPECT_TRUE(sectionLines(report, "Recent Transactions:").empty());   // no logs registered
    EXPECT_TRUE(sectionLines(report, "Recent Events:").empty());
}

TEST(TracedException, ReportListsTheRegisteredLogsOldestFirst) {
    ActivityLog transactions(25);
    ActivityLog events(100);
    const RegisteredLogs registered(&transactions, &events);
    transactions.add(String("transaction"), String("Skellow From IFC"));
    transactions.add(String("transaction"), String("BLOCKED: Save"));
    events.add(String("event"), String("HOST MENU 1"));

    const std::string report(TracedException("bad_access", "Drawing::getElement").getReport().getView());
    const auto listed = sectionLines(report, "Recent Transactions:");
    ASSERT_EQ(listed.size(), 2u);
    const std::regex line("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\ttransaction\t(.*)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(listed[0], match, line)) << listed[0];
    EXPECT_EQ(match[1], "Skellow From IFC");
    ASSERT_TRUE(std::regex_match(listed[1], match, line)) << listed[1];
    EXPECT_EQ(match[1], "BLOCKED: Save");
    const auto eventLines = sectionLines(report, "Recent Events:");
    ASSERT_EQ(eventLines.size(), 1u);
    EXPECT_NE(eventLines[0].find("\tevent\tHOST MENU 1"), std::string::npos);
}
