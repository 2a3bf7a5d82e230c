// Two runs of the command-line host on one home at once, each adding a configuration to a large table:
// whichever saves last, both additions and the whole table are kept.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "EndToEndFixture.h"

namespace {

// The house table with a large configuration, so that the two runs' saves overlap.
std::string largeTable(const std::string& houseTable) {
    std::string table = houseTable;
    std::string bulk = "\t<specificationList sourceName=\"Bulk\" objectType=\"GSM\">\n";
    for (int i = 0; i < 5000; ++i)
        bulk += "\t\t<objectSpecification>\n\t\t\t<originalName>Part " + std::to_string(i) +
                "</originalName>\n\t\t\t<mappedName>Chair Modern</mappedName>\n"
                "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n\t\t</objectSpecification>\n";
    bulk += "\t</specificationList>\n";
    table.insert(table.rfind("</objectMap>"), bulk);
    return table;
}

class TwoRuns : public EndToEndFixture {
protected:
    // Runs A and B at once, each in its own home, each adding the configuration "Run A" or "Run B".
    void runBoth(const std::filesystem::path& homeA, const std::filesystem::path& homeB) {
        std::string both;
        for (const char* run : {"A", "B"}) {
            const std::filesystem::path answers = scratch_ / (std::string(run) + ".json");
            std::ofstream(answers) << R"([{"do":"selectPopup","item":4,"index":1},)"
                                   << R"({"do":"setText","item":4,"text":"Run )" << run
                                   << R"(","dialog":32600},{"do":"click","item":1,"dialog":32600},)"
                                   << R"({"do":"click","item":1}])";
            const auto file = [&](const char* kind) {
                return "'" + (scratch_ / (run + std::string(kind))).string() + "'";
            };
            const std::filesystem::path& runHome = std::string(run) == "A" ? homeA : homeB;
            both += "('" + std::string(SKELLOW_HOST_PATH) + "' run '" + fixture("house.json").string() +
                    "' --command 'Skellow From ArchiCAD' --answers '" + answers.string() + "' --home '" +
                    runHome.string() + "' --out " + file(".out.json") + " --module '" +
                    SKELLOWING_MODULE_PATH + "' >" + file(".stdout") + " 2>" + file(".stderr") +
                    "; echo $? >" + file(".status") + ") & ";
        }
        ASSERT_EQ(std::system((both + "wait").c_str()), 0);
        for (const char* run : {"A", "B"}) {
            SCOPED_TRACE(run);
            EXPECT_EQ(readFile(scratch_ / (std::string(run) + ".status")), "0\n")
                << readFile(scratch_ / (std::string(run) + ".stderr"));
        }
    }
    void expectBoth(const std::filesystem::path& table) {
        const std::string after = readFile(table);
        EXPECT_NE(after.find("sourceName=\"Run A\""), std::string::npos);
        EXPECT_NE(after.find("sourceName=\"Run B\""), std::string::npos);
        EXPECT_NE(after.find("<originalName>Part 4999</originalName>"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(table.parent_path() / "ObjectMap conflict.xml"));
    }
};

TEST_F(TwoRuns, BothRunsChangesToOneTableAreKept) {
    std::filesystem::create_directories(tableFile().parent_path());
    std::ofstream(tableFile(), std::ios::binary) << largeTable(readFile(fixture("house-table.xml")));
    runBoth(home(), home());
    expectBoth(tableFile());
}

// Two homes whose tables are links to one shared table take turns at that table.
TEST_F(TwoRuns, RunsInTwoHomesLinkingOneTableKeepBothChanges) {
    const std::filesystem::path shared = scratch_ / "shared" / "ObjectMap.xml";
    std::filesystem::create_directories(shared.parent_path());
    std::ofstream(shared, std::ios::binary) << largeTable(readFile(fixture("house-table.xml")));
    const std::filesystem::path other = scratch_ / "other";
    const std::filesystem::path inHome = tableFile().lexically_relative(home());
    for (const std::filesystem::path& h : {home(), other}) {
        std::filesystem::create_directories((h / inHome).parent_path());
        std::filesystem::create_symlink(shared, h / inHome);
    }
    runBoth(home(), other);
    expectBoth(shared);
    EXPECT_TRUE(std::filesystem::is_symlink(tableFile()));
    EXPECT_TRUE(std::filesystem::is_symlink(other / inHome));
}

}   // namespace
