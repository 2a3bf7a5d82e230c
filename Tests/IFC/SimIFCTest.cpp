#include <gtest/gtest.h>

#include "Environment/HostApi.h"
#include "Foundation/StringSetting.h"
#include "IFC/IFCAttribute.h"
#include "IFC/IFCDataList.h"
#include "IFC/IFCSingleValue.h"
#include "IFCRecords.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {

// The door as an IFC import leaves it: attributes and Pset_DoorCommon.
host::SimElementData importedDoor() {
    host::SimElementData data;
    data.attributes = {{"Name", "IfcLabel", "Door 01", true, 0},
                       {"GlobalId", "IfcGloballyUniqueId", "2O2Fr$t4X7Zf8NOew3FLOH", true, 0},
                       {"ObjectType", "IfcLabel", "Single swing", true, 0},
                       {"Tag", "IfcIdentifier", "D-01", true, 0}};
    host::SimIFCProperty rating;
    rating.set = "Pset_DoorCommon";
    rating.name = "FireRating";
    rating.single = {0, 0, 0, false, "EI30", "IfcLabel"};
    host::SimIFCProperty external = rating;
    external.name = "IsExternal";
    external.single = {host::kIFCPrimitiveBoolean, 0, 0, true, "", "IfcBoolean"};
    data.properties = {rating, external};
    return data;
}

}   // namespace

class SimIFCTest : public DrawingFixture {
protected:
    host::GuidRecord door() const { return host::toGuidRecord(guidOf(kDoorIndex)); }

    IFCDataList load(std::uint8_t storedOnly) {
        IFCDataList list;
        host::Array<host::IFCAttributeRecord> attributes;
        host::Array<host::IFCPropertyRecord> properties;
        const host::GuidRecord guid = door();
        EXPECT_EQ(hostApi().call<host::HostSlot::getElementIFCAttributes>(&guid, storedOnly, &attributes),
                  0u);
        EXPECT_EQ(hostApi().call<host::HostSlot::getElementIFCProperties>(&guid, storedOnly, &properties),
                  0u);
        EXPECT_TRUE(list.appendAttributes(attributes));
        EXPECT_TRUE(list.appendProperties(properties));
        return list;
    }
};

TEST_F(SimIFCTest, ReadsAnElementsImportedDataAndWritesChangesBackUndoably) {
    host_->project().state.ifc.elements[guidOf(kDoorIndex)] = importedDoor();
    const host::ProjectState before = host_->project().state;

    IFCDataList list = load(/*storedOnly=*/1);
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(list.findAttribute("Name")->getValue().getText(), "Door 01");
    EXPECT_EQ(list.findAttribute("GlobalId")->getValue().getText(), "2O2Fr$t4X7Zf8NOew3FLOH");
    auto* external = static_cast<IFCSingleValue*>(list.findProperty("IsExternal", "Pset_DoorCommon"));
    ASSERT_NE(external, nullptr);
    EXPECT_TRUE(external->getValue().getBool());

    // Changed and written back: outside a command the host refuses, inside it takes the change.
    external->setValue(StringSetting("false"));
    host::IFCPropertyRecord record{};
    ASSERT_TRUE(external->toHost(record));
    const host::GuidRecord guid = door();
    EXPECT_EQ(hostApi().call<host::HostSlot::setElementIFCProperty>(&guid, &record),
              host::kErrOutsideUndoScope);
    EXPECT_EQ(
        inCommand([&] { return hostApi().call<host::HostSlot::setElementIFCProperty>(&guid, &record) == 0; }),
        0u);
    const auto& stored = host_->project().state.ifc.elements.find(guidOf(kDoorIndex))->properties;
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_FALSE(stored[1].single.boolean);
    IFCDataList reloaded = load(1);
    EXPECT_FALSE(static_cast<IFCSingleValue*>(reloaded.findProperty("IsExternal", ""))->getValue().getBool());

    // The project file keeps it; the undo gives back what the import left.
    host::SimProject copy;
    std::string error;
    ASSERT_TRUE(copy.loadText(host_->project().saveText(), error)) << error;
    EXPECT_EQ(copy.state.ifc, host_->project().state.ifc);
    EXPECT_TRUE(host_->undo());
    EXPECT_EQ(host_->project().state.ifc, before.ifc);
}

TEST_F(SimIFCTest, GivesTheDerivedGlobalIdOnlyWhenAllDataIsAskedFor) {
    EXPECT_EQ(load(/*storedOnly=*/1).size(), 0u);
    const IFCDataList all = load(/*storedOnly=*/0);
    ASSERT_NE(all.findAttribute("GlobalId"), nullptr);
    EXPECT_EQ(all.findAttribute("GlobalId")->getValue().getText(), tarnwickGuid(kDoorIndex).toString());

    const host::GuidRecord unknown = host::toGuidRecord(host::newGuidBytes());
    host::Array<host::IFCAttributeRecord> attributes;
    EXPECT_EQ(hostApi().call<host::HostSlot::getElementIFCAttributes>(&unknown, std::uint8_t{1}, &attributes),
              host::kErrBadIndex);
}

TEST_F(SimIFCTest, AProjectFileWithBadIFCDataIsRefusedWithAClearMessage) {
    host::SimProject& project = host_->project();
    const std::string good = project.saveText();
    const std::string door = host::guidToText(this->door());
    const struct {
        const char* what;
        std::string ifc;
        const char* message;
    } cases[] = {
        {"unknown element", R"({"elements": [{"guid": "11111111-2222-3333-4444-555555555555"}]})",
         "ifc.elements[0]: the project has no element 11111111-2222-3333-4444-555555555555"},
        {"property without a set",
         R"({"elements": [{"guid": ")" + door + R"(", "properties": [{"name": "A"}]}]})",
         "ifc.elements[0].properties[0]: needs \"set\""},
        {"unknown kind",
         R"({"elements": [{"guid": ")" + door +
             R"(", "properties": [{"set": "P", "name": "A", "kind": "x"}]}]})",
         "ifc.elements[0].properties[0]: \"kind\" must be one of"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = good;
        text.insert(text.rfind('}'), ",\n\"ifc\": " + c.ifc + "\n");
        std::string error;
        EXPECT_FALSE(project.loadText(text, error));
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
        EXPECT_TRUE(project.state.ifc.elements.empty());
    }
}
