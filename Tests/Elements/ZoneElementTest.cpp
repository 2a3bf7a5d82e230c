// Zones and zone categories on a fixture project (zones.json): a zone on the first storey placed with
// "Room Stamp" in the category "Hall", its polygon a 4 by 3 rectangle with a 1 by 1 hole; the category
// "Office" names "Office Stamp".
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <HostElementRecords.h>
#include <HostResult.h>

#include "Elements/ZoneElement.h"
#include "Foundation/StringSetting.h"
#include "Geometry/CadPolygon.h"
#include "Geometry/Cube.h"
#include "IFC/IFCAttribute.h"
#include "IFC/IFCProperty.h"
#include "IFC/PropertyMemo.h"
#include "IFC/PropertyName.h"
#include "LibraryParts/Parameter.h"
#include "LibraryParts/ParameterList.h"
#include "Project/AttributeFixture.h"
#include "Project/Finish.h"
#include "Project/Library.h"
#include "Project/Pen.h"
#include "Project/Plan.h"
#include "Project/Storey.h"
#include "Project/ZoneCategory.h"

namespace {

using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::CadPoint;
using tarnwick::Drawing;
using tarnwick::ElementLink;
using tarnwick::String;
using tarnwick::ZoneCategory;
using tarnwick::ZoneElement;

constexpr std::int16_t kOffice = 1, kHall = 2;             // zone categories
constexpr std::int32_t kRoomStamp = 1, kOfficeStamp = 2;   // library indices

class ZoneElementTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        std::ifstream file(std::string(TEST_SOURCE_DIR) + "/zones.json");
        std::stringstream text;
        text << file.rdbuf();
        std::string error;
        ASSERT_TRUE(host_->project().loadText(text.str(), error)) << error;
        setStampName(kOffice, u"Office Stamp");
        addPolygon(host_->project().state.elements[0]);
        tarnwick::Library::registerCreators();
        Drawing::unregisterCreators();
        Drawing::registerCreators();
        Drawing::registerCreator(ZoneElement::kType, &ZoneElement::create, false);
    }

    void TearDown() override {
        tarnwick::Library::unregisterCreators();
        AttributeFixture::TearDown();
    }

    void setStampName(std::int16_t category, const std::u16string& name) {
        host::SimAttribute* attribute = nullptr;
        for (host::SimAttribute& a : host_->project().state.attributes)
            if (a.type == host::kAttributeZoneCategory && a.index == category) attribute = &a;
        ASSERT_NE(attribute, nullptr);
        const std::size_t at =
            offsetof(tarnwick::ZoneCategoryRecord, stampName) - sizeof(host::AttributeHeader);
        std::memcpy(attribute->body.data() + at, name.data(), name.size() * sizeof(char16_t));
    }

    // The outline (0, 0)-(4, 3) with the hole (1, 1)-(2, 2), as the host lists contours: each closed
    // by its first vertex again, after the placeholder entry 0.
    static void addPolygon(host::SimElement& zone) {
        const host::PolygonCoord coords[] = {{0, 0}, {0, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 0},
                                             {1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1}};
        const std::int32_t ends[] = {0, 5, 10};
        auto bytes = [](const auto& array) {
            const auto* begin = reinterpret_cast<const unsigned char*>(&array);
            return std::vector<unsigned char>(begin, begin + sizeof array);
        };
        zone.memo.parts[offsetof(host::ElementMemo, coords)] = bytes(coords);
        zone.memo.parts[offsetof(host::ElementMemo, pends)] = bytes(ends);
        const host::PolygonCounts counts{11, 2, 0, {}};
        std::memcpy(zone.record.data() + host::kZoneCountsOffset, &counts, sizeof counts);
    }

    const host::SimElement& simZone() const { return std::as_const(host_->project()).state.elements[0]; }
    std::unique_ptr<ZoneElement> zone() {
        const tarnwick::Guid guid(host::toGuidRecord(simZone().guid()));
        auto made = plan().getElement(ElementLink(guid, &plan()));
        return std::unique_ptr<ZoneElement>(dynamic_cast<ZoneElement*>(made.release()));
    }
    template <typename T>
    static T field(const host::SimElement& element, std::size_t offset) {
        T value;
        std::memcpy(&value, element.record.data() + offset, sizeof value);
        return value;
    }
    static std::string text(tarnwick::ParameterList& list, const char* name) {
        const tarnwick::Parameter* parameter = list.find(name);
        return parameter != nullptr ? std::string(parameter->getText(0, 0).getView()) : "<missing>";
    }
};

TEST_F(ZoneElementTest, TheCreatorMakesZonesThatKeepTheStampTheirRecordNames) {
    auto made = zone();
    ASSERT_NE(made, nullptr);
    // The category "Hall" names no stamp: the zone's own stays.
    EXPECT_EQ(made->getStampIndex(), kRoomStamp);
    EXPECT_EQ(made->getLibraryIndex(), kRoomStamp);
    EXPECT_EQ(made->getCategory().getLink().getShortIndex(), kHall);
    host::ElementRecord object{};
    object.head.type = host::kElementObject;
    ElementLink link;
    EXPECT_EQ(ZoneElement::create(object, link), nullptr);
}

TEST_F(ZoneElementTest, ReadsItsPolygonPlaceAndQuantities) {
    auto made = zone();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getQuantityI(), 1);
    EXPECT_DOUBLE_EQ(made->getQuantityJ(), 1.0);
    EXPECT_DOUBLE_EQ(made->getQuantityA(), 11.0);   // the host's area: the hole left out
    EXPECT_DOUBLE_EQ(made->getQuantityE(), 11.0 * 2.8);
    EXPECT_DOUBLE_EQ(made->getElevation(false), 0.5);
    EXPECT_DOUBLE_EQ(made->getElevation(true), 3.5);
    const CadPoint position = made->getPosition();
    EXPECT_DOUBLE_EQ(position.getZ(), 3.5);
    const auto outline = made->getOutline();
    ASSERT_NE(outline, nullptr);
    EXPECT_DOUBLE_EQ(outline->getArea(), 11.0);
    EXPECT_DOUBLE_EQ(made->getOutlineArea(), 11.0);
    EXPECT_DOUBLE_EQ(made->getOutlinePerimeter(), 14.0);   // the plan length of the outer contour
    // Without a polygon the position is point B.
    ZoneElement bare{ElementLink(), tarnwick::ComponentLink()};
    bare.setPointB(CadPoint(9, 8, 0));
    EXPECT_DOUBLE_EQ(bare.getPosition().getX(), 9.0);
    // A copy has its own polygon.
    auto copy = made->clone();
    made->setPosition(CadPoint(10, 10, 3.5));
    EXPECT_DOUBLE_EQ(copy->getOutline()->getArea(), 11.0);
    EXPECT_DOUBLE_EQ(copy->getPosition().getX(), position.getX());
}

TEST_F(ZoneElementTest, ElevationTextsAndUpperStoreyFollowTheirFields) {
    auto made = zone();
    ASSERT_NE(made, nullptr);
    made->setElevation(4.0, /*absolute=*/false);   // relative stays relative
    EXPECT_DOUBLE_EQ(made->getElevation(false), 4.0);
    EXPECT_DOUBLE_EQ(made->getElevation(true), 7.0);
    made->setElevation(4.0, /*absolute=*/true);   // the first storey's level is 3
    EXPECT_DOUBLE_EQ(made->getElevation(false), 1.0);

    const std::u16string long300(300, u'x');
    made->setName(String(long300));
    EXPECT_EQ(made->getName().toUniString(), std::u16string(256, u'x'));
    made->setNumber(String(std::u16string(40, u'7')));
    EXPECT_EQ(made->getNumber().toUniString(), std::u16string(32, u'7'));
    made->setNumber(String(u"A-12"));
    EXPECT_EQ(made->getNumber().toUniString(), u"A-12");

    tarnwick::Plan& floors = plan();
    for (std::int16_t index : {0, 1}) {   // below or the home storey itself: none
        made->setUpperStorey(floors.getStorey(index));
        EXPECT_EQ(made->getUpperStorey(), nullptr);
    }
    made->setUpperStorey(floors.getStorey(2));
    ASSERT_NE(made->getUpperStorey(), nullptr);
    EXPECT_EQ(made->getUpperStorey()->getIndex(), 2);
}

TEST_F(ZoneElementTest, PensAndSurfaceGoByPart) {
    auto made = zone();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getPen(1).getLink().getShortIndex(), 3);
    EXPECT_EQ(made->getPen(3).getLink().getShortIndex(), 0);   // a part without a pen
    EXPECT_EQ(made->setPen(AttributeLink(std::int16_t{5}, AttributeType::pen), 0), 5);
    for (std::int32_t part : {0, 1, 2, 6, 8}) EXPECT_EQ(made->getPen(part).getLink().getShortIndex(), 5);
    EXPECT_EQ(made->setPen(AttributeLink(std::int16_t{7}, AttributeType::pen), 4), 0);
    made->setPen(AttributeLink(std::int16_t{8}, AttributeType::pen), 6);
    EXPECT_EQ(made->getPen(6).getLink().getShortIndex(), 8);
    EXPECT_EQ(made->getPen(1).getLink().getShortIndex(), 5);
    made->setFinish(AttributeLink(std::int16_t{4}, AttributeType::finish), 1);
    EXPECT_EQ(made->getFinish(0).getLink().getShortIndex(), 4);
    EXPECT_EQ(made->getFinish(2).getLink().getShortIndex(), 0);
}

TEST_F(ZoneElementTest, TakingACategoryTakesItsStampAndWritesBack) {
    auto made = zone();
    ASSERT_NE(made, nullptr);
    const ZoneCategory office(AttributeLink(kOffice, AttributeType::zoneCategory));
    made->setPosition(CadPoint(10, 20, 3.0));
    ASSERT_TRUE(made->setCategory(office));
    EXPECT_EQ(made->getStampIndex(), kOfficeStamp);
    const ZoneElement placed(office);   // a new zone of the category
    EXPECT_EQ(placed.getStampIndex(), kOfficeStamp);
    EXPECT_EQ(placed.getCategory().getLink().getShortIndex(), kOffice);
    // "Hall" names no stamp: the zone keeps its own and its category.
    EXPECT_FALSE(made->setCategory(ZoneCategory(AttributeLink(kHall, AttributeType::zoneCategory))));
    EXPECT_EQ(made->getStampIndex(), kOfficeStamp);
    EXPECT_EQ(made->getCategory().getLink().getShortIndex(), kOffice);
    EXPECT_EQ(text(made->getParameters(), "font"), "Times");   // shared: the zone's value
    EXPECT_EQ(text(made->getParameters(), "desks"), "6");
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*made, /*create=*/false, /*withMemo=*/true); }),
              host::kNoError);
    EXPECT_EQ(field<std::int32_t>(simZone(), host::kZoneStampIndexOffset), kOfficeStamp);
    EXPECT_EQ(field<std::int16_t>(simZone(), host::kZoneCategoryOffset), kOffice);
    EXPECT_DOUBLE_EQ(field<double>(simZone(), host::kZoneElevationOffset), 0.0);
    // The polygon moved with the zone: read again from the host.
    auto reread = zone();
    const auto outline = reread->getOutline();
    ASSERT_NE(outline, nullptr);
    EXPECT_DOUBLE_EQ(outline->getArea(), 11.0);
    const auto bounds = outline->getBounds();
    ASSERT_TRUE(bounds.has_value());
    EXPECT_DOUBLE_EQ(bounds->getMinimum().getX(), 6.0);   // the first vertex, (4, 0), went to (10, 20)
    EXPECT_DOUBLE_EQ(bounds->getMinimum().getY(), 20.0);
    EXPECT_EQ(text(reread->getParameters(), "desks"), "6");
}

TEST_F(ZoneElementTest, AZoneCategoryKnowsItsStampAndItsParameters) {
    auto made = specification().getAttribute(AttributeLink(kOffice, AttributeType::zoneCategory));
    auto* office = dynamic_cast<ZoneCategory*>(made.get());
    ASSERT_NE(office, nullptr);
    EXPECT_EQ(office->getStampName().toUniString(), u"Office Stamp");
    EXPECT_EQ(office->getStampLink().getIndex(), kOfficeStamp);
    // No parameters of its own in the host: the stamp's defaults.
    EXPECT_EQ(text(office->getParameters(), "desks"), "6");
    office->setColourValue(0x8040C0);
    EXPECT_EQ(office->getColourValue(), 0x8040C0);
    office->setCode(String(u"OF"));
    EXPECT_EQ(office->getCode().toUniString(), u"OF");

    // A stamp the library does not hold: the name stays, the link is not valid, no GUIDs.
    office->setStampName(String(u"Missing Stamp"));
    EXPECT_EQ(office->getStampName().toUniString(), u"Missing Stamp");
    EXPECT_FALSE(office->getStampLink().isValid());
    office->setStampName(String(u"Room Stamp"));
    EXPECT_EQ(office->getStampLink().getIndex(), kRoomStamp);
    EXPECT_EQ(text(office->getParameters(), "font"), "Arial");

    // Written back, the host keeps the stamp and its parameters.
    ASSERT_EQ(inCommand([&] { return specification().write(*office); }), host::kNoError);
    ZoneCategory reread(AttributeLink(kOffice, AttributeType::zoneCategory));
    EXPECT_EQ(reread.getStampName().toUniString(), u"Room Stamp");
    EXPECT_EQ(reread.getColourValue(), 0x8040C0);
    EXPECT_EQ(text(reread.getParameters(), "font"), "Arial");
    EXPECT_EQ(text(reread.getParameters(), "size"), "2.5");
}

TEST_F(ZoneElementTest, ANewZoneIsPlacedWithItsOwnStamp) {
    // From the tool's defaults: their category's stamp and its parameters.
    ZoneElement fresh(/*withMemo=*/false);
    EXPECT_DOUBLE_EQ(fresh.getHeight(), 2.6);
    EXPECT_EQ(fresh.getStampIndex(), kOfficeStamp);
    EXPECT_EQ(text(fresh.getParameters(), "desks"), "6");
    EXPECT_EQ(text(fresh.getParameters(), "font"), "Helvetica");   // no memo read: the stamp's own
    // With the defaults' memo: their parameters as they are.
    ZoneElement withMemo(/*withMemo=*/true);
    EXPECT_EQ(withMemo.getStampIndex(), kOfficeStamp);
    EXPECT_EQ(text(withMemo.getParameters(), "font"), "Courier");
    EXPECT_EQ(text(withMemo.getParameters(), "desks"), "<missing>");
    // With a stamp given, the record names that stamp, not the defaults' one.
    tarnwick::Library& library = *project().getLibrary();
    for (const std::int32_t stamp : {kRoomStamp, kOfficeStamp}) {
        const ZoneElement placed(tarnwick::ComponentLink(stamp, host::kLibraryZone, &library));
        EXPECT_EQ(placed.getStampIndex(), stamp);
        std::int32_t written = 0;
        std::memcpy(&written,
                    reinterpret_cast<const unsigned char*>(placed.getHostElement().get()) +
                        host::kZoneStampIndexOffset,
                    sizeof written);
        EXPECT_EQ(written, stamp);
    }
    const ZoneElement named(String("Room Stamp"), nullptr);
    EXPECT_EQ(named.getStampIndex(), kRoomStamp);
    const ZoneElement ofCategory(ZoneCategory(AttributeLink(kOffice, AttributeType::zoneCategory)));
    EXPECT_EQ(ofCategory.getStampIndex(), kOfficeStamp);
    EXPECT_EQ(ofCategory.getCategory().getLink().getShortIndex(), kOffice);
}

TEST_F(ZoneElementTest, PopulatingFindsTheDefaultsStampWhereAZoneKeepsIt) {
    std::vector<host::SimParameter> parameters = *simZone().memo.parameters;
    editParameter(parameters, "font", [](host::ParameterRecord& r) { setTextValue(r, u"Courier"); });
    host::SimToolDefault defaults;
    defaults.memo.parameters = parameters;
    auto placed = zone();
    for (const std::int32_t stamp : {kOfficeStamp, kRoomStamp}) {
        SCOPED_TRACE(stamp);
        std::memcpy(defaults.record.data() + host::kZoneStampIndexOffset, &stamp, sizeof stamp);
        host_->project().state.defaults[{ZoneElement::kType, 0}] = defaults;
        EXPECT_TRUE(placed->populate(/*samePartOnly=*/true, /*skipSizes=*/true, false, false));
        EXPECT_EQ(text(placed->getParameters(), "font"), stamp == kRoomStamp ? "Courier" : "Times");
    }
}

TEST_F(ZoneElementTest, ReadsAndWritesItsIFCDataAndPropertiesAndACopyKeepsThem) {
    // The zone carries IFC data, and its classification (an item for zones) makes one property of
    // the group "Room" available.
    host::SimIFCState& ifc = host_->project().state.ifc;
    const host::GuidBytes zoneGuid = simZone().guid();
    host::SimElementData data;
    data.attributes = {{"Name", "IfcLabel", "Hall 1", true, 0}};
    host::SimIFCProperty finish;
    finish.set = "Pset_SpaceCommon";
    finish.name = "FloorFinish";
    finish.single = {0, 0, 0, false, "Oak", "IfcLabel"};
    data.properties = {finish};
    host::SimClassificationSystem system;
    system.guid = host::newGuidBytes();
    system.name = "Uniclass";
    const host::GuidBytes space = host::newGuidBytes();
    system.topItems = {space};
    ifc.classificationItems[space] = {system.guid, {}, "SL_20", "Spaces", "", host::kClassificationForZones,
                                      {}};
    ifc.classificationSystems.edit().push_back(system);
    host::SimPropertyGroup group{host::newGuidBytes(), host::kPropertyUserDefined, "Room"};
    ifc.propertyGroups.edit().push_back(group);
    host::SimPropertyDefinition occupancy;
    occupancy.guid = host::newGuidBytes();
    occupancy.group = group.guid;
    occupancy.name = "Occupancy";
    occupancy.collection = host::kPropertySingle;
    occupancy.valueType = host::kVariantString;
    occupancy.availability = {space};
    ifc.propertyDefinitions.edit().push_back(occupancy);
    data.classifications = {space};
    ifc.elements[zoneGuid] = data;

    auto made = zone();
    ASSERT_NE(made, nullptr);
    ASSERT_NE(made->findAttribute("Name"), nullptr);
    EXPECT_EQ(made->findAttribute("Name")->getValue().getText(), "Hall 1");
    ASSERT_NE(made->findProperty("Pset_SpaceCommon", "FloorFinish"), nullptr);
    ASSERT_EQ(inCommand([&] {
                  made->addAttribute(std::make_unique<tarnwick::IFCAttribute>(tarnwick::StringSetting("H-01"),
                                                                              "Tag", "IfcIdentifier", 0));
                  return true;
              }),
              host::kNoError);
    const host::SimElementData* held = ifc.elements.find(zoneGuid);
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(held->attributes.size(), 2u);
    EXPECT_EQ(held->attributes[1].value, "H-01");

    // A property value goes to the host with the zone.
    auto& properties = static_cast<tarnwick::PropertyMemo&>(*made);
    EXPECT_TRUE(properties.setValue(tarnwick::StringSetting("Office"),
                                    tarnwick::PropertyName("Occupancy", "Room"), 0));
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*made, /*create=*/false, /*withMemo=*/true); }),
              host::kNoError);
    held = ifc.elements.find(zoneGuid);
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(held->propertyValues.size(), 1u);
    EXPECT_EQ(held->propertyValues[0].value.single.text, "Office");

    // A copy has the IFC data and properties of its zone without asking the host again.
    host_->clearCalls();
    const auto copy = made->clone();
    auto& copied = dynamic_cast<ZoneElement&>(*copy);
    auto& copiedProperties = static_cast<tarnwick::PropertyMemo&>(copied);
    ASSERT_NE(copied.findAttribute("Tag"), nullptr);
    ASSERT_NE(copiedProperties.getValue(tarnwick::PropertyName("Occupancy", "Room"), 0), nullptr);
    EXPECT_EQ(copiedProperties.getValue(tarnwick::PropertyName("Occupancy", "Room"), 0)->getText(), "Office");
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementIFCAttributes), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementProperties), 0u);
}

TEST_F(ZoneElementTest, AFaultOnAnyHostCallOfACategoryChangeLeavesTheZoneAsItWas) {
    const host::SimElement original = simZone();
    for (std::uint64_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        host_->project().state.elements[0] = original;
        const std::size_t liveBefore = host::memoryStats().liveHandles;
        auto made = zone();
        ASSERT_NE(made, nullptr);
        host_->clearCalls();
        host_->injectFault({}, n, host::kErrBadIndex);
        const bool stored =
            inCommand([&] {
                const ZoneCategory office(AttributeLink(kOffice, AttributeType::zoneCategory));
                return made->setCategory(office) &&
                       plan().storeElement(*made, /*create=*/false, /*withMemo=*/true);
            }) == host::kNoError;
        host_->clearFaults();
        const std::size_t calls = host_->calls().size();
        if (stored) {   // what was written is the whole change
            EXPECT_EQ(field<std::int16_t>(simZone(), host::kZoneCategoryOffset), kOffice);
            EXPECT_EQ(field<std::int32_t>(simZone(), host::kZoneStampIndexOffset), kOfficeStamp);
            const auto outline = zone()->getOutline();   // the polygon as it was
            ASSERT_NE(outline, nullptr);
            EXPECT_DOUBLE_EQ(outline->getArea(), 11.0);
        } else {
            EXPECT_EQ(simZone(), original);
        }
        made.reset();
        EXPECT_EQ(host::memoryStats().liveHandles, liveBefore);
        if (calls < n) break;   // the fault fell past the last call
        ASSERT_LT(n, 500u);
    }
}

}   // namespace
