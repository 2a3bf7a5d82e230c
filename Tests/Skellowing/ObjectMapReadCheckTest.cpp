// What a read of the table's file leaves out is kept in a copy of the file and told, before a save can
// write the table without it.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFile.h"
#include "SkellowingFixture.h"

namespace {

using ObjectMapReadCheck = SkellowingFixture;

// A hand-edited row that names a value twice: the first is used and written back, the file as it was is
// kept beside it, and the user is told of each later copy. The values of a parameter are all read.
TEST_F(ObjectMapReadCheck, AValueGivenTwiceInARowKeepsItsFirstAndTheFileAsItWas) {
    const std::string text =
        "<objectMap>\n"
        "<specificationList sourceName='Default' objectType='IFC'>\n"
        "<objectSpecification><originalName>Office Chair</originalName><originalName>Other</originalName>"
        "<mappedName>Chair Modern</mappedName><mappedName>Door Glazed</mappedName>\n"
        "<mappedObjectGuid></mappedObjectGuid><mappedObjectGuid>{X}</mappedObjectGuid></"
        "objectSpecification>\n"
        "<objectSpecification><originalName>Desk</originalName><customParameters>"
        "<parameter name='seatMat' type='material' columnCount='2'><value>12</value><value>13</value>"
        "</parameter></customParameters></objectSpecification>\n"
        "</specificationList></objectMap>\n";
    writeFile(tableFile(), text);
    skellow::ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_EQ(table.at(0).size(), 2u);
    EXPECT_EQ(table.at(0).at(0).getOriginalName(), "Office Chair");
    EXPECT_EQ(table.at(0).at(0).getMappedName(), "Chair Modern");
    EXPECT_TRUE(table.at(0).at(0).getMappedObjectGuid().isEmpty());
    EXPECT_EQ(table.at(0).at(1).getOriginalName(), "Desk");
    const auto& parameters = table.at(0).at(1).getCustomParameters();   // values of a list are all read
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 1u);
    EXPECT_EQ(parameters->at(0)->getText(0, 1), "13");

    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText,
              "Some of the object mapping table could not be read and is left out of it. The file as it was "
              "is kept as \"ObjectMap backup.xml\" in the same folder.");
    EXPECT_EQ(
        alerts[0].smallText,
        "Line 3: the element <originalName> in <objectSpecification> is given again; only the first is "
        "read.\n"
        "Line 3: the element <mappedName> in <objectSpecification> is given again; only the first is "
        "read.\n"
        "Line 4: the element <mappedObjectGuid> in <objectSpecification> is given again; only the first "
        "is read.");
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), text);

    ASSERT_TRUE(skellow::saveObjectMap(table));
    const std::string saved = readFile(tableFile());
    EXPECT_NE(saved.find("<originalName>Office Chair</originalName>"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Other"), std::string::npos) << saved;
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), text);
}

// Names the file gives at any length are told by their first characters: no line repeats a whole file.
TEST_F(ObjectMapReadCheck, TellsALongNameItLeftOutByItsStart) {
    const std::string element(100000, 'e'), attribute(100000, 'a'), type(100000, 't'), name(100000, 'n');
    writeFile(tableFile(),
              "<objectMap><" + element + "/><specificationList sourceName='Site' objectType='GSM' " +
                  attribute +
                  "='1'><objectSpecification><originalName>Chair</originalName><customParameters>"
                  "<parameter name='p' type='" +
                  type + "'><value>1</value></parameter><parameter name='" + name +
                  "'/></customParameters></objectSpecification></specificationList></objectMap>");
    skellow::ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].smallText,
              "Line 1: the element <" + element.substr(0, 60) +
                  "...> in <objectMap>, which the table does not know.\n"
                  "Line 1: the attribute \"" +
                  attribute.substr(0, 60) +
                  "...\" of <specificationList>, which the table does not know.\n"
                  "\"Chair\" in the configuration \"Site\": the parameter \"p\" has the type \"" +
                  type.substr(0, 60) +
                  "...\", which the table does not know.\n"
                  "\"Chair\" in the configuration \"Site\": the parameter \"" +
                  name.substr(0, 60) + "...\" has no value.");
}

}   // namespace
