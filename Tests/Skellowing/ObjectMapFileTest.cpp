// The mapping table file: what is written, what is read back, and that the user's table is never lost.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFile.h"
#include "SkellowingFixture.h"

namespace {

using skellow::ObjectMap;
using skellow::ObjectMapType;
using tarnwick::String;

constexpr const char* kDefaults =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
    "<objectMap>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"IFC\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"DWG\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"GSM\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"missing\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"legacy\"/>\n"
    "</objectMap>\n";

// A table as a user's tables look: two configurations of one kind, a door, entities, parameters.
constexpr const char* kUserTable =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
    "<objectMap>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"IFC\">\n"
    "\t\t<objectSpecification>\n"
    "\t\t\t<originalName>Office Chair</originalName>\n"
    "\t\t\t<mappedName>Chair 22</mappedName>\n"
    "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n"
    "\t\t\t<customParameters>\n"
    "\t\t\t\t<parameter name=\"A\" type=\"length\">\n"
    "\t\t\t\t\t<value>0.6</value>\n"
    "\t\t\t\t</parameter>\n"
    "\t\t\t\t<parameter name=\"seatMat\" type=\"material\" columnCount=\"2\">\n"
    "\t\t\t\t\t<value>12</value>\n"
    "\t\t\t\t\t<value>13</value>\n"
    "\t\t\t\t\t<value>14</value>\n"
    "\t\t\t\t\t<value>15</value>\n"
    "\t\t\t\t</parameter>\n"
    "\t\t\t</customParameters>\n"
    "\t\t</objectSpecification>\n"
    "\t\t<objectSpecification mappedType=\"door\">\n"
    "\t\t\t<originalName>IfcDoor D1 &amp; frame &lt;x&gt;</originalName>\n"
    "\t\t\t<mappedName>Door 22</mappedName>\n"
    "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n"
    "\t\t</objectSpecification>\n"
    "\t</specificationList>\n"
    "\t<specificationList sourceName=\"Site &quot;B&quot;\" objectType=\"IFC\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"DWG\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"GSM\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"missing\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"legacy\"/>\n"
    "</objectMap>\n";

using ObjectMapFile = SkellowingFixture;

TEST_F(ObjectMapFile, MissingFileGivesTheDefaultTableWrittenAtOnce) {
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    EXPECT_EQ(readFile(tableFile()), kDefaults);
    EXPECT_EQ(table.size(), 5u);
    EXPECT_TRUE(host::recordedAlerts().empty());
}

TEST_F(ObjectMapFile, ReadsAndWritesBackATableUnchanged) {
    writeFile(tableFile(), kUserTable);
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_EQ(table.size(), 6u);
    const skellow::SpecificationList& list = table.at(0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(1).getMappedType(), host::kLibraryDoor);
    EXPECT_EQ(list.at(1).getOriginalName(), "IfcDoor D1 & frame <x>");
    const auto& parameters = list.at(0).getCustomParameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 2u);
    EXPECT_EQ(parameters->at(1)->getType(), tarnwick::ParameterType::finish);
    EXPECT_EQ(parameters->at(1)->getRowCount(), 2u);
    EXPECT_EQ(parameters->at(1)->getText(1, 0), "14");
    EXPECT_EQ(table.at(1).getName(), "Site \"B\"");

    std::filesystem::remove(tableFile());
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_EQ(readFile(tableFile()), kUserTable);
    EXPECT_FALSE(std::filesystem::exists(dataFolder() / "ObjectMap.xml.partial"));
}

// Whatever a read leaves out or changes stays in a copy of the file made before any save, and the user is
// told what; a clean table, in any encoding the reader converts faithfully, is read without a word.
TEST_F(ObjectMapFile, AReadThatLeavesAnythingOutKeepsTheFileAsItWasAndSaysWhat) {
    const std::string kept =
        "Some of the object mapping table could not be read and is left out of it. The file as it was is "
        "kept as \"ObjectMap backup.xml\" in the same folder.";
    struct Case {
        std::string text;
        std::vector<std::string> lines;   // what the user is told; none: no alert, no copy
    };
    const Case cases[] = {
        {"<objectMap><specificationList sourceName='Site' objectType='GSM'><objectSpecification>"
         "<originalName>Chair</originalName><customParameters>"
         "<parameter name='odd' type='length' "
         "columnCount='2'><value>1</value><value>2</value><value>3</value>"
         "</parameter>"
         "<parameter name='unknown' type='Unknown'><value>1</value></parameter>"
         "<parameter name='' type='length'><value>1</value></parameter>"
         "<parameter name='none' type='length'/>"
         "<parameter name='zero' type='pen' columnCount='x'><value>1</value></parameter>"
         "<parameter name='cells' type='pen' columnCount='2abc'><value>1</value><value>2</value></parameter>"
         "<parameter name='mat' type='buildingmaterial'><value>7</value></parameter>"
         "</customParameters></objectSpecification></specificationList></objectMap>",
         {"\"Chair\" in the configuration \"Site\": the parameter \"odd\" has 3 values, which do not fill "
          "rows "
          "of 2 columns.",
          "\"Chair\" in the configuration \"Site\": the parameter \"unknown\" has the type \"Unknown\", "
          "which "
          "the table does not know.",
          "\"Chair\" in the configuration \"Site\": the parameter \"\" has no name.",
          "\"Chair\" in the configuration \"Site\": the parameter \"none\" has no value.",
          "\"Chair\" in the configuration \"Site\": the parameter \"zero\" has a column count that is not a "
          "number of 1 or more."}},
        {"<objectMap><specificationList sourceName='Default' objectType='IFC'/>"
         "<specificationList sourceName='Default' objectType='GSM'/>"
         "<specificationList sourceName='Default' objectType='IFC'><objectSpecification>"
         "<originalName>Lost</originalName></objectSpecification></specificationList></objectMap>",
         {"The configuration \"Default\" (IFC) appears more than once: only the first is kept."}},
        {"<objectMap><specificationList sourceName='Office \xFF\xFE Chair' objectType='IFC'/></objectMap>",
         {"Some bytes of the file are not UTF-8 text and are read as other characters."}},
        {"<objectMap><specificationList sourceName='Caf\xC3\xA9' objectType='IFC'/></objectMap>", {}},
        {"<?xml version='1.0' encoding='ISO-8859-1'?><objectMap><specificationList sourceName='Caf\xE9' "
         "objectType='IFC'/></objectMap>",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::filesystem::remove_all(dataFolder());
        writeFile(tableFile(), c.text);
        for (int time = 0; time < 2; ++time) {   // a second read names the same copy
            host::clearRecordedAlerts();
            ObjectMap table;
            ASSERT_TRUE(skellow::loadObjectMap(table));
            const auto alerts = host::recordedAlerts();
            if (c.lines.empty()) {
                EXPECT_TRUE(alerts.empty());
                continue;
            }
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0].largeText, kept);
            std::string lines;
            for (const std::string& line : c.lines) lines += (lines.empty() ? "" : "\n") + line;
            EXPECT_EQ(alerts[0].smallText, lines);
            EXPECT_EQ(readFile(tableFile()), c.text);
            EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), c.text);
            EXPECT_FALSE(std::filesystem::exists(dataFolder() / "ObjectMap backup 2.xml"));
            if (time == 1) {   // what could be read is used, and written back as read
                ASSERT_TRUE(skellow::saveObjectMap(table));
                EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), c.text);
                if (&c == &cases[0]) {   // a building material keeps its own name, never "Unknown"
                    EXPECT_NE(
                        readFile(tableFile()).find("<parameter name=\"mat\" type=\"buildingmaterial\">"),
                        std::string::npos);
                }
            }
        }
    }
    // The parameters that could be read are kept; one configuration of each name and kind is left.
    ObjectMap table;
    writeFile(tableFile(), cases[0].text);
    ASSERT_TRUE(skellow::loadObjectMap(table));
    const auto& parameters = table.at(0).at(0).getCustomParameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 2u);
    EXPECT_EQ(parameters->at(0)->getName(), "cells");
    EXPECT_EQ(parameters->at(1)->getType(), tarnwick::ParameterType::material);
    writeFile(tableFile(), cases[1].text);
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table.at(0).size(), 0u);
}

TEST_F(ObjectMapFile, AddsTheMissingDefaultsAfterTheFilesOwnConfigurations) {
    writeFile(tableFile(),
              "<objectMap><specificationList sourceName='Site' objectType='IFC'/>"
              "<specificationList sourceName='Default' objectType='GSM'/></objectMap>");
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    std::vector<std::pair<std::string, ObjectMapType>> lists;
    for (std::size_t i = 0; i < table.size(); ++i)
        lists.emplace_back(std::string(table.at(i).getName().getView()), table.at(i).getKind());
    const std::vector<std::pair<std::string, ObjectMapType>> expected = {{"Site", ObjectMapType::ifc},
                                                                         {"Default", ObjectMapType::gsm},
                                                                         {"Default", ObjectMapType::dwg},
                                                                         {"Default", ObjectMapType::missing},
                                                                         {"Default", ObjectMapType::legacy}};
    EXPECT_EQ(lists, expected);
}

// Malformed, truncated and hostile files: the user is told why, and the file stays as it was unless the
// user asks for a new table, which then takes its place while the old one is kept beside it.
TEST_F(ObjectMapFile, AnUnreadableFileIsNamedWithItsReasonAndNeverLost) {
    struct Case {
        std::string text;
        std::string reason;
    };
    const Case cases[] = {
        {"<objectMap><specificationList sourceName='A' "
         "objectType='IFC'><objectSpecification><originalName>&bogus;"
         "</originalName></objectSpecification></specificationList></objectMap>",
         "\"ObjectMap.xml\", line 1, column 98: an entity is not one of &amp; &lt; &gt; &quot; &apos;."},
        {"<objectMap>\n<specificationList sourceName='A' objectType='ifc'/>\n</objectMap>",
         "\"ObjectMap.xml\", line 2, column 35: a value is not one the table allows"},
        {"<objectMap>\n<specificationList sourceName='A' objectType='IFC'>\n<objectSpecification "
         "mappedType='sofa'/>",
         "\"ObjectMap.xml\", line 3, column 22: a value is not one the table allows"},
        {"<objectMap>\n\n<specificationList objectType='IFC'/></objectMap>",
         "\"ObjectMap.xml\", line 3, column 2: a configuration has no name."},
        {std::string("<objectMap>\0</objectMap>", 24),
         "\"ObjectMap.xml\", line 1, column 12: it holds a NUL byte."},
        {"<objectMap>\n<specificationList sourceName='A' objectType='IFC'>",
         "the file ends inside an element."},
        {"<objectMap></objectMa>", "an end tag does not match its start tag."},
        {"<mappings/>", "its root element is not \"objectMap\"."},
        {"", "it holds no mapping table."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        for (const int answer : {2, 1}) {
            std::filesystem::remove_all(dataFolder());
            writeFile(tableFile(), c.text);
            host::clearRecordedAlerts();
            script("[{\"do\": \"answerAlert\", \"button\": " + std::to_string(answer) + "}]");
            ObjectMap table;
            table.addList("Mine", ObjectMapType::gsm);
            const bool loaded = skellow::loadObjectMap(table);
            const auto alerts = host::recordedAlerts();
            ASSERT_FALSE(alerts.empty());
            EXPECT_EQ(alerts[0].largeText,
                      "The file containing the object mapping table cannot be read - do you "
                      "wish to continue with a new mapping table?");
            EXPECT_NE(alerts[0].smallText.find(c.reason), std::string::npos) << alerts[0].smallText;
            EXPECT_NE(alerts[0].smallText.find("kept as \"ObjectMap backup.xml\""), std::string::npos);
            if (answer == 2) {
                EXPECT_FALSE(loaded);
                EXPECT_EQ(readFile(tableFile()), c.text);
                ASSERT_EQ(table.size(), 1u);   // nothing half-read was taken
                ASSERT_EQ(alerts.size(), 2u);
                EXPECT_EQ(alerts[1].largeText,
                          "Please replace or reinstall the file containing the object mapping "
                          "table (in the Skellowing add-on folder)");
            } else {
                EXPECT_TRUE(loaded);
                EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), c.text);
                EXPECT_EQ(readFile(tableFile()), kDefaults);
                EXPECT_EQ(table.size(), 5u);
            }
        }
    }
}

TEST_F(ObjectMapFile, ASecondUnreadableFileDoesNotReplaceTheFirstBackup) {
    writeFile(dataFolder() / "ObjectMap backup.xml", "first");
    writeFile(tableFile(), "second");
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));   // the default answer: a new table
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), "first");
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup 2.xml"), "second");
}

// The new file is the save's own, made beside the table: a link planted where it goes is never written
// through. A save that fails leaves the old file and nothing else, and says why.
TEST_F(ObjectMapFile, ASaveWritesOnlyAFileOfItsOwnAndAFailedOneSaysWhy) {
    writeFile(tableFile(), kUserTable);
    writeFile(home_ / "victim.txt", "mine");
    std::filesystem::create_symlink(home_ / "victim.txt", dataFolder() / "ObjectMap.xml.partial");
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_EQ(readFile(tableFile()), kUserTable);
    EXPECT_EQ(readFile(home_ / "victim.txt"), "mine");
    std::filesystem::remove(dataFolder() / "ObjectMap.xml.partial");

    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string why;
    };
    const Case cases[] = {
        {"a text the file cannot hold", [&] { table.at(0).at(0).setTypedName(String("Chair\x01")); },
         "The table holds a text that the file cannot hold, such as a control character."},
        {"a read-only table",
         [&] { std::filesystem::permissions(tableFile(), std::filesystem::perms::owner_read); },
         "\"ObjectMap.xml\" is read-only."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::clearRecordedAlerts();
        c.spoil();
        EXPECT_FALSE(skellow::saveObjectMap(table));
        EXPECT_EQ(readFile(tableFile()), kUserTable);
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::directory_iterator(dataFolder()))
            entries.push_back(entry.path().filename().string());
        EXPECT_EQ(entries, (std::vector<std::string>{"ObjectMap.xml"}));
        const auto alerts = host::recordedAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].largeText,
                  "The file containing the object mapping table cannot be written - please check "
                  "the permissions of the Skellowing add-on folder");
        EXPECT_EQ(alerts[0].smallText, c.why);
    }
    // Read-only, it is still read.
    host::clearRecordedAlerts();
    ObjectMap again;
    ASSERT_TRUE(skellow::loadObjectMap(again));
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_EQ(again.at(0).size(), 2u);
}

TEST_F(ObjectMapFile, ADataFolderThatCannotBeMadeOrWrittenStopsTheCommandNamingIt) {
    const std::string said = "The Skellowing add-on folder \"" + dataFolder().string() +
                             "\" cannot be found, made or written to - nothing was skellowed.";
    writeFile(dataFolder(), "not a folder");
    ObjectMap table;
    EXPECT_FALSE(skellow::loadObjectMap(table));
    auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertError);
    EXPECT_EQ(alerts[0].largeText, said);

    // A folder that takes no new file (every name a save could use is taken) stops it too, touching
    // nothing there.
    std::filesystem::remove(dataFolder());
    std::filesystem::create_directories(dataFolder());
    writeFile(dataFolder() / "ObjectMap.xml", "");
    for (int n = 1; n <= 100; ++n)
        writeFile(dataFolder() / ("ObjectMap.xml.partial" + (n > 1 ? " " + std::to_string(n) : "")), "");
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::loadObjectMap(table));
    alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText, said);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dataFolder()), {}), 101);
}

}   // namespace
