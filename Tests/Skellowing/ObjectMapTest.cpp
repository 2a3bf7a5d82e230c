// The mapping table's model: finding mappings, configurations, custom parameters; the preference package
// and the legacy version numbers.
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "Elements/Door.h"
#include "Elements/Lamp.h"
#include "Elements/Object.h"
#include "Elements/Window.h"
#include "Environment/MenuEvent.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLWriter.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/StringParameter.h"
#include "Skellowing/ElementSearch.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapTransaction.h"
#include "Skellowing/SkellowingPrefs.h"
#include "SkellowingFixture.h"

namespace {

using skellow::ObjectMap;
using skellow::ObjectMapType;
using skellow::ObjectSpecification;
using skellow::SourceKey;
using tarnwick::String;

using ObjectMapModel = SkellowingFixture;

std::unique_ptr<tarnwick::Parameter> length(const char* name, double value) {
    auto parameter = std::make_unique<tarnwick::LengthParameter>(name, String(), 0, 0, 0, false);
    parameter->setText(String(std::to_string(value).c_str()), 0, 0);
    return parameter;
}

TEST_F(ObjectMapModel, FindsAMappingInItsConfigurationElseInheritsOne) {
    ObjectMap table;
    table.addList("Default", ObjectMapType::ifc);
    table.addList("Site", ObjectMapType::ifc);
    table.addList("Default", ObjectMapType::gsm);
    const SourceKey chair(host::kLibraryObject, "Chair");
    String name = "Default";
    ObjectSpecification* held = table.findSpecification(chair, name, ObjectMapType::gsm, /*create=*/true);
    ASSERT_NE(held, nullptr);

    // Another kind's mapping answers the walk, and says where it came from: both lists are "Default".
    skellow::SpecificationList* where = nullptr;
    EXPECT_EQ(table.findSpecification(SourceKey(host::kLibraryObject, "CHAIR"), name, ObjectMapType::ifc,
                                      false, false, &where),
              held);
    EXPECT_EQ(name, "Default");
    EXPECT_NE(where, table.findList("Default", ObjectMapType::ifc));
    EXPECT_EQ(table.findOwnSpecification(chair, "Default", ObjectMapType::ifc), nullptr);

    // Create makes one in the named configuration, which then answers.
    name = "Site";
    ObjectSpecification* made =
        table.findSpecification(chair, name, ObjectMapType::ifc, true, /*prefilled=*/true);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made, held);
    EXPECT_TRUE(made->isPrefilled());
    EXPECT_EQ(name, "Site");
    EXPECT_EQ(table.findOwnSpecification(chair, "Site", ObjectMapType::ifc), made);
    // Configuration names are exact (nothing is made in "site"): the walk answers, in table order.
    name = "site";
    EXPECT_EQ(table.findSpecification(chair, name, ObjectMapType::ifc, true), made);
    EXPECT_EQ(name, "Site");
    // Another type is another key.
    name = "Site";
    EXPECT_EQ(
        table.findSpecification(SourceKey(host::kLibraryDoor, "Chair"), name, ObjectMapType::gsm, false),
        nullptr);
}

TEST_F(ObjectMapModel, KeepsOneDefaultConfigurationPerKindAndEditsFirstMatches) {
    ObjectMap table;
    table.addList("Default", ObjectMapType::ifc);
    table.addList("Default", ObjectMapType::gsm);
    table.ensureDefaults();
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table.at(2).getKind(), ObjectMapType::dwg);
    EXPECT_EQ(table.at(3).getKind(), ObjectMapType::missing);
    EXPECT_EQ(table.at(4).getKind(), ObjectMapType::legacy);

    table.addList("Site", ObjectMapType::ifc);
    table.addList("Site", ObjectMapType::ifc);
    EXPECT_TRUE(table.renameList("Site", "North", ObjectMapType::ifc));
    EXPECT_EQ(table.at(5).getName(), "North");
    EXPECT_EQ(table.at(6).getName(), "Site");
    EXPECT_FALSE(table.renameList("Site", "X", ObjectMapType::gsm));
    EXPECT_TRUE(table.removeList("Site", ObjectMapType::ifc));
    EXPECT_FALSE(table.removeList("Site", ObjectMapType::ifc));
    table.clear();
    EXPECT_EQ(table.size(), 5u);
}

// The dialog edits a copy; until it is accepted the table must not see the edit, parameters included.
TEST_F(ObjectMapModel, ACopyEditsItsOwnCustomParameters) {
    ObjectMap table;
    table.addList("Default", ObjectMapType::gsm);
    String name = "Default";
    ObjectSpecification* original =
        table.findSpecification(SourceKey(host::kLibraryObject, "Chair"), name, ObjectMapType::gsm, true);
    tarnwick::ParameterList defaults;
    defaults.push_back(length("A", 1.0));
    defaults.push_back(length("B", 2.0));
    defaults.push_back(std::make_unique<tarnwick::StringParameter>("mat", String(), 0, 0, 0, false));
    tarnwick::ParameterList edited(defaults);
    edited.find("A")->setText("1.5", 0, 0);
    edited.find("mat")->setText("Oak", 0, 0);
    original->setCustomParameters(defaults, edited);
    ASSERT_TRUE(original->getCustomParameters());
    ASSERT_EQ(original->getCustomParameters()->size(), 2u);   // the changed ones, last first
    EXPECT_EQ(original->getCustomParameters()->at(0)->getName(), "mat");
    EXPECT_EQ(original->getCustomParameters()->at(1)->getName(), "A");

    ObjectMap working(table);
    ObjectSpecification& copy = working.at(0).at(0);
    EXPECT_EQ(copy.getCustomParameters(), original->getCustomParameters());   // shared until edited
    edited.find("mat")->setText("", 0, 0);   // back to the default: the name goes
    copy.setCustomParameters(defaults, edited);
    EXPECT_EQ(copy.getCustomParameters()->size(), 1u);
    EXPECT_EQ(original->getCustomParameters()->size(), 2u);

    working.assign(working);   // itself: nothing
    EXPECT_EQ(working.size(), 1u);
    table.assign(working);
    EXPECT_EQ(table.at(0).at(0).getCustomParameters()->size(), 1u);
}

// The search by key is indexed: the answers must stay those of a walk in list order through every change.
TEST_F(ObjectMapModel, FindsTheFirstMappingOfAKeyThroughReadsCopiesAndRemovals) {
    const std::string_view text =
        "<objectMap><specificationList sourceName=\"Default\" objectType=\"GSM\">"
        "<objectSpecification><originalName>Chair</originalName><mappedName>First</mappedName>"
        "</objectSpecification>"
        "<objectSpecification mappedType=\"door\"><originalName>Chair</originalName></objectSpecification>"
        "<objectSpecification><originalName>CHAIR</originalName><mappedName>Second</mappedName>"
        "</objectSpecification></specificationList></objectMap>";
    ObjectMap table;
    tarnwick::DataBufferIn in(text);
    ASSERT_TRUE(tarnwick::XMLReader(in).read(table));
    skellow::SpecificationList& list = *table.findList("Default", ObjectMapType::gsm);
    const SourceKey chair(host::kLibraryObject, "chair");
    ASSERT_NE(list.findSpecification(chair), nullptr);
    EXPECT_EQ(list.findSpecification(chair)->getMappedName(), "First");
    EXPECT_EQ(list.findSpecification(SourceKey(host::kLibraryDoor, "Chair")), &list.at(1));

    // A copy answers with its own mappings; the first one removed, the later one of the key comes forward.
    const ObjectMap copy(table);
    EXPECT_EQ(copy.findOwnSpecification(chair, "Default", ObjectMapType::gsm), &copy.at(0).at(0));
    EXPECT_TRUE(list.removeSpecification(chair));
    EXPECT_EQ(list.findSpecification(chair)->getMappedName(), "Second");
    EXPECT_TRUE(list.removeSpecification(chair));
    EXPECT_EQ(list.findSpecification(chair), nullptr);
    EXPECT_FALSE(list.removeSpecification(chair));
    EXPECT_EQ(copy.findOwnSpecification(chair, "Default", ObjectMapType::gsm)->getMappedName(), "First");

    // A mapping added after a search is found by the next one.
    list.add(std::make_unique<ObjectSpecification>(SourceKey(host::kLibraryObject, "Stool"), false));
    EXPECT_EQ(list.findSpecification(SourceKey(host::kLibraryObject, "STOOL")), &list.at(1));
}

TEST_F(ObjectMapModel, PreferencesKeepTheActiveConfigurationOfEachKind) {
    skellow::SkellowingPrefs prefs;
    prefs.setSource("Site", ObjectMapType::legacy);
    EXPECT_THROW(prefs.getSource(ObjectMapType::none), std::out_of_range);
    EXPECT_THROW(prefs.setSource("X", ObjectMapType::none), std::out_of_range);
    String text;
    {
        tarnwick::DataBufferOut out;
        ASSERT_TRUE(out.open(text));
        ASSERT_TRUE(tarnwick::XMLWriter(out).write(*prefs.clone(), false, false, false));
        ASSERT_TRUE(out.close());
    }
    EXPECT_EQ(text,
              "<skellowingPrefs><ifcSource>Default</ifcSource><dwgSource>Default</dwgSource><gsmSource>"
              "Default</gsmSource><missingSource>Default</missingSource><legaceSource>Site</legaceSource>"
              "</skellowingPrefs>");
    prefs.reset();
    EXPECT_EQ(prefs.getSource(ObjectMapType::legacy), "Default");
}

TEST_F(ObjectMapModel, StripsOnlyTheVersionNumbersOfEarlierLibraries) {
    const struct {
        const char* name;
        std::uint16_t version;
        const char* stripped;
    } cases[] = {{"Chair 19", 19, "Chair"},
                 {"Chair 45", 4, "Chair"},
                 {"Chair 30", 0, "Chair 30"},
                 {"Chair 5", 0, "Chair 5"},
                 {"Chair 100", 0, "Chair 100"},
                 {"123", 0, "123"},
                 {"", 0, ""},
                 {"Chair", 0, "Chair"},
                 {"Chair 19 ", 0, "Chair 19 "},
                 {"Door_v08", 8, "Door_v"},
                 {"Lamp \t21", 21, "Lamp"},
                 {"Chair 22", 0, "Chair 22"},
                 {"Chair 99999999999999999999", 0, "Chair 99999999999999999999"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        String name = c.name;
        EXPECT_EQ(skellow::stripLegacyVersion(name), c.version);
        EXPECT_EQ(name, c.stripped);
    }
}

}   // namespace

namespace {

TEST_F(ObjectMapModel, FindsPartsOfTheRowsTypeHoldingTheTypedText) {
    skellow::LibraryPartList parts;
    const auto add = [&](const char* name, std::uint32_t type) {
        parts.push_back(
            {name, tarnwick::ComponentLink(static_cast<std::int32_t>(parts.size() + 1), type, nullptr)});
    };
    add("Door 01", host::kLibraryDoor);
    add("Window 01", host::kLibraryWindow);
    add("Garage DOOR", host::kLibraryDoor);
    add("Doormat", host::kLibraryObject);
    add("Trapdoor", host::kLibraryDoor);
    skellow::LibraryPartList found;
    EXPECT_EQ(skellow::findPartsByName(host::kLibraryDoor, "door", parts, found), 3u);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, "Door 01");
    EXPECT_EQ(found[1].name, "Garage DOOR");
    EXPECT_EQ(found[2].name, "Trapdoor");
    EXPECT_EQ(skellow::findPartsByName(host::kLibraryDoor, "01", parts, found), 1u);
    EXPECT_EQ(skellow::findPartsByName(host::kLibraryLamp, "door", parts, found), 0u);
    EXPECT_TRUE(found.empty());
}

}   // namespace

namespace {

// The settings button makes an element of the row's part type; a row of another type has none.
TEST_F(ObjectMapModel, MakesTheWrapperOfTheRowsPartTypeOnly) {
    const struct {
        std::int32_t type;
        bool (*isKind)(const tarnwick::ComponentElem*);
    } cases[] = {
        {host::kLibraryWindow,
         [](const tarnwick::ComponentElem* e) {
             return dynamic_cast<const tarnwick::Window*>(e) != nullptr;
         }},
        {host::kLibraryDoor,
         [](const tarnwick::ComponentElem* e) { return dynamic_cast<const tarnwick::Door*>(e) != nullptr; }},
        {host::kLibraryObject,
         [](const tarnwick::ComponentElem* e) {
             return dynamic_cast<const tarnwick::Object*>(e) != nullptr &&
                    dynamic_cast<const tarnwick::Lamp*>(e) == nullptr;
         }},
        {host::kLibraryLamp,
         [](const tarnwick::ComponentElem* e) { return dynamic_cast<const tarnwick::Lamp*>(e) != nullptr; }},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.type);
        const SourceKey key(test.type, "Any");
        EXPECT_TRUE(test.isKind(skellow::makeElementWrapper(key, tarnwick::ComponentLink()).get()));
        EXPECT_TRUE(test.isKind(skellow::makeNewElementWrapper(key, false).get()));
    }
    for (const std::int32_t type : {0, 1, 6, 13}) {
        const SourceKey key(type, "Any");
        EXPECT_EQ(skellow::makeElementWrapper(key, tarnwick::ComponentLink()), nullptr);
        EXPECT_EQ(skellow::makeNewElementWrapper(key, true), nullptr);
    }
}

TEST_F(ObjectMapModel, AnotherItemOfTheMenuSaysItIsNotAvailableAndAnotherMenuIsIgnored) {
    const std::tuple<std::int16_t, std::int16_t, std::size_t> cases[] = {
        {32500, 6, 1}, {32500, 0, 1}, {32501, 1, 0}};
    for (const auto& [list, item, alerts] : cases) {
        SCOPED_TRACE(std::to_string(list) + "/" + std::to_string(item));
        host::clearRecordedAlerts();
        skellow::ObjectMapTransaction transaction(tarnwick::MenuEvent(list, item));
        EXPECT_EQ(transaction.getKind(), ObjectMapType::none);
        EXPECT_FALSE(transaction.prepare());
        ASSERT_EQ(host::recordedAlerts().size(), alerts);
        if (alerts) {
            EXPECT_EQ(host::recordedAlerts()[0].largeText,
                      "This functionality is coming in a future release");
        }
    }
    // A message whose text the host does not give is never shown blank.
    host::clearRecordedAlerts();
    host_->injectFault({host::HostSlot::getString, std::nullopt}, 0, host::kErrGeneral);
    skellow::ObjectMapTransaction transaction(tarnwick::MenuEvent(32500, 6));
    EXPECT_FALSE(transaction.prepare());
    host_->clearFaults();
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              "Skellowing: message 3 of string list 32523 cannot be read");
}

}   // namespace
