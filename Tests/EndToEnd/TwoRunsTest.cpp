// Two runs of the command-line host on one home at once, each adding a configuration to a large table:
// whichever saves last, both additions and the whole table are kept.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "EndToEndFixture.h"

namespace {

using TwoRuns = EndToEndFixture;

TEST_F(TwoRuns, BothRunsChangesToOneTableAreKept) {
    std::string table = readFile(fixture("house-table.xml"));
    std::string bulk = "\t<specificationList sourceName=\"Bulk\" objectType=\"GSM\">\n";
    for (int i = 0; i < 5000; ++i)
        bulk += "\t\t<objectSpecification>\n\t\t\t<originalName>Part " + std::to_string(i) +
                "</originalName>\n\t\t\t<mappedName>Chair Modern</mappedName>\n"
                "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n\t\t</objectSpecification>\n";
    bulk += "\t</specificationList>\n";
    table.insert(table.rfind("</objectMap>"), bulk);
    std::filesystem::create_directories(tableFile().parent_path());
    std::ofstream(tableFile(), std::ios::binary) << table;

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
        both += "('" + std::string(SKELLOW_HOST_PATH) + "' run '" + fixture("house.json").string() +
                "' --command 'Skellow From ArchiCAD' --answers '" + answers.string() + "' --home '" +
                home().string() + "' --out " + file(".out.json") + " --module '" + SKELLOWING_MODULE_PATH +
                "' >" + file(".stdout") + " 2>" + file(".stderr") + "; echo $? >" + file(".status") + ") & ";
    }
    ASSERT_EQ(std::system((both + "wait").c_str()), 0);
    for (const char* run : {"A", "B"}) {
        SCOPED_TRACE(run);
        EXPECT_EQ(readFile(scratch_ / (std::string(run) + ".status")), "0\n")
            << readFile(scratch_ / (std::string(run) + ".stderr"));
    }
    const std::string after = readFile(tableFile());
    EXPECT_NE(after.find("sourceName=\"Run A\""), std::string::npos);
    EXPECT_NE(after.find("sourceName=\"Run B\""), std::string::npos);
    EXPECT_NE(after.find("<originalName>Part 4999</originalName>"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(tableFile().parent_path() / "ObjectMap conflict.xml"));
}

}   // namespace
